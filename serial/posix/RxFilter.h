// What the receive path makes of the bytes a driver hands over (internal to unit CPort): NUL bytes
// dropped for DiscardNull, and bytes the driver marked as received with a line error (PARMRK:
// \377 \0 byte; a data byte \377 comes doubled) replaced by Parity.ReplaceChar.
#pragma once

#include <cstddef>
#include <vector>

class TRxFilter {
 public:
  void Configure(bool DropNull, bool Marked, char ReplaceChar);
  // Whether the driver marks bytes received in error, the rest as it was.
  void SetMarked(bool Marked);
  // A new session: nothing of a mark the last one cut is carried over.
  void Reset() { FMarkBytes = 0; }
  // Nothing to do: the bytes pass as they are.
  bool Passes() const { return !FDropNull && !FMarked; }
  // Appends what Raw gives to Out; a mark split between two reads is carried over.
  void Apply(const char* Raw, size_t Count, std::vector<char>& Out);

 private:
  bool FDropNull = false;
  bool FMarked = false;
  char FReplaceChar = 0;
  // Bytes of a mark seen so far: \377, then \0.
  int FMarkBytes = 0;
};
