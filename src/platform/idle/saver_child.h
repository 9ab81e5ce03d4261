#pragma once
#include <QObject>
#include <QProcess>
#include <functional>

#include "ground/idle_source.h"

namespace vistaloom {

// The saver as a child process: this same program with /S, its output on the watcher's
// own. However it ends (input, a crash, a signal), `on_ended` is told once.
class SaverChild : public QObject, public SaverLauncher {
  public:
    explicit SaverChild(std::function<void()> on_ended);
    // A running saver ends with the watcher.
    ~SaverChild() override;

    bool start_saver() override;
    void stop_saver() override;

    bool running() const { return process_.state() != QProcess::NotRunning; }

  private:
    QProcess process_;
    std::function<void()> on_ended_;
};

}  // namespace vistaloom
