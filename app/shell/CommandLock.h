#pragma once
// While a device command runs the window, and every window it owns, takes no
// user input and no second command can start: input given meanwhile is
// dropped, so a click made during a 16-second write does not start another
// one. Only a modal box the command shows (Retry/Cancel, a message) is used.
// Closing the window meanwhile asks nothing: it stops the command, which
// checks Stopping() between its steps, and the window closes once it is over.
#include <QObject>
#include <functional>

class QWidget;

class TCommandLock : public QObject {
 public:
  // Installs itself on the application for events of `window`; create it
  // after any other application filter of the window so it sees events first.
  explicit TCommandLock(QWidget* window);
  ~TCommandLock() override;

  bool Busy() const { return Busy_; }
  // The window was closed during the running command.
  bool Stopping() const { return Stopping_; }
  // Runs from the event loop when a stopped command is over, before the window closes.
  std::function<void()> OnStopped;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The window or one it owns (the overview, say), unless it is the modal box shown now.
  bool Locks(const QWidget* window) const;
  friend class TDeviceCommand;
  QWidget* Window_;
  bool Busy_ = false;
  bool Stopping_ = false;
};

// One device command: holds the lock for its lifetime.
class TDeviceCommand {
 public:
  explicit TDeviceCommand(TCommandLock& lock);
  ~TDeviceCommand();
  TDeviceCommand(const TDeviceCommand&) = delete;
  TDeviceCommand& operator=(const TDeviceCommand&) = delete;

  // False when another command was running: this one must not start.
  explicit operator bool() const { return Owner_; }

 private:
  TCommandLock& Lock_;
  bool Owner_;
};
