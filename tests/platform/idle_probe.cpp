// Opens one idle source the way the watcher does and reports what it says, for the
// whole-program scripts: `idle_probe wayland|gnome MS [COUNT]` arms it for MS milliseconds,
// prints "armed NAME", then "idle ELAPSED_MS" each time it reports (arming again until it
// has reported COUNT times, default 1) and ends with status 0; on "lost" it ends with 3.
// A source the session does not offer ends it with status 2 and the reason on stderr.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/idle/idle_sources.h"

namespace {

class Probe : public vistaloom::IdleListener {
  public:
    Probe(int64_t ms, int count) : ms_(ms), left_(count) {}

    void start(vistaloom::IdleSource& source) {
        source_ = &source;
        std::printf("armed %s\n", source.name().c_str());
        std::fflush(stdout);
        arm();
    }
    void user_idle() override {
        std::printf("idle %lld\n", static_cast<long long>(since_arm_.elapsed()));
        std::fflush(stdout);
        if (--left_ > 0) return arm();
        QCoreApplication::exit(0);
    }
    void source_lost(const std::string& why) override {
        std::printf("lost\n");
        std::fflush(stdout);
        std::fprintf(stderr, "idle_probe: %s\n", why.c_str());
        QCoreApplication::exit(3);
    }

  private:
    void arm() {
        since_arm_.start();
        source_->arm(ms_);
    }

    int64_t ms_;
    int left_;
    vistaloom::IdleSource* source_ = nullptr;
    QElapsedTimer since_arm_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: idle_probe wayland|gnome MS [COUNT]\n");
        return 64;
    }
    const std::string kind = argv[1];
    Probe probe(std::atoll(argv[2]), argc > 3 ? std::atoi(argv[3]) : 1);
    std::string why;
    std::unique_ptr<vistaloom::IdleSource> source;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (kind == "wayland") {
        source = vistaloom::open_wayland_idle_source(probe, why);
    } else if (kind == "gnome") {
        source = vistaloom::open_gnome_idle_source(probe, bus, why);
    } else {
        std::fprintf(stderr, "idle_probe: unknown source %s\n", kind.c_str());
        return 64;
    }
    if (!source) {
        std::fprintf(stderr, "idle_probe: %s\n", why.c_str());
        return 2;
    }
    probe.start(*source);
    return app.exec();
}
