#pragma once
// The tool's end of a simulated line, played by hand: raw bytes in and out.
#include <string>

class TRawClient {
 public:
  explicit TRawClient(const std::string& path);
  ~TRawClient();
  TRawClient(const TRawClient&) = delete;
  TRawClient& operator=(const TRawClient&) = delete;

  // False once the line has hung up.
  bool Send(const std::string& bytes);
  // Up to Count bytes, waiting at most TimeoutMs for all of them.
  std::string Receive(size_t count, int timeoutMs = 3000);
  // Waits for the other end to drop the line.
  bool WaitForHangUp(int timeoutMs = 3000);

 private:
  int Fd_ = -1;
};
