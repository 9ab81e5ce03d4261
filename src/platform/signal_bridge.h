#pragma once
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace vistaloom {

// Turns SIGTERM, SIGINT and the other signals that would end the process (SIGHUP, SIGPIPE,
// SIGUSR1 ...) into a call on the Qt thread. Screen-saver daemons stop their
// programs with SIGTERM; the saver must then finish its frame, unload and remove its
// temporary files like any other exit, which cannot be done inside a signal handler. The
// handler only writes one byte to a pipe that the event loop watches.
// One bridge per process; the previous handlers are restored when it is destroyed.
class SignalBridge : public QObject {
    Q_OBJECT
  public:
    explicit SignalBridge(std::function<void(int signal_number)> on_signal,
                          QObject* parent = nullptr);
    ~SignalBridge() override;

    SignalBridge(const SignalBridge&) = delete;
    SignalBridge& operator=(const SignalBridge&) = delete;

    bool installed() const { return installed_; }

  private:
    void drain();

    std::function<void(int)> on_signal_;
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
};

}  // namespace vistaloom
