#pragma once
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/seeded_random.h"
#include "platform/steady_clock.h"
#include "saver/saver_session.h"
#include "startup/saver_settings.h"
#include "startup/startup_values.h"
#include "support/memory_registry.h"
#include "support/memory_settings.h"
#include "support/recording_desktop.h"
#include "support/recording_media.h"
#include "support/temp_user_folders.h"
#include "ui/message_boxes.h"
#include "ui/saver_preview.h"
#include "support/test_paths.h"

// What the configuration side works with, with doubles for everything but the clock, the
// event loop and the files: settings in memory, a desktop that records, message boxes that
// answer as queued. A preview ends by itself after a few frames.
struct ConfigRig {
    QTemporaryDir install;
    QTemporaryDir runtime;
    vistaloom::SaverSettings settings;
    vistaloom::StartupValues values;
    vistaloom::testing::MemorySettings store;
    vistaloom::SteadyClock clock;
    vistaloom::SeededRandom random{7};
    vistaloom::testing::RecordingDesktop desktop;
    vistaloom::testing::RecordingMedia media;
    vistaloom::testing::MemoryRegistry registry;
    vistaloom::testing::TempUserFolders folders{runtime.path().toStdString()};
    vistaloom::SaverPreview preview;

    std::vector<vistaloom::MessageSpec> messages;
    std::deque<bool> answers;  // front first; No (false) when empty

    ConfigRig()
        : preview(settings, values, store,
                  vistaloom::SaverSeams{clock, random, desktop, media, registry, folders},
                  quick_session()) {
        values.install_path = install.path().toStdString() + "/";
        settings.welcome = "0";
        // A system that would ask for a password and hide the cursor if a preview let it.
        desktop.platform = 1;
        registry.set_string(0x80000001u, "Control Panel\\Desktop", "ScreenSaveUsePassword", "1");
    }

    vistaloom::MessageBoxFn message_box() {
        return [this](QWidget*, const vistaloom::MessageSpec& message) {
            messages.push_back(message);
            if (answers.empty()) return message.buttons == vistaloom::MessageSpec::Buttons::Ok;
            const bool answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }

    // A copy of the test theme under `name` (`icf` is the extension's spelling).
    void add_theme(const QString& name, const QString& icf = QStringLiteral("icf")) const {
        namespace fs = std::filesystem;
        const fs::path from = fs::path(vistaloom::testing::test_inputs()) / "themes";
        const fs::path to = install.path().toStdString();
        fs::copy_file(from / "Valid.icf", to / (name + "." + icf).toStdString());
        fs::copy_file(from / "Valid.img", to / (name + ".img").toStdString());
    }
    bool has_file(const QString& name) const {
        return std::filesystem::exists(install.path().toStdString() + "/" + name.toStdString());
    }

    static vistaloom::SaverSessionOptions quick_session() {
        vistaloom::SaverSessionOptions options;
        options.max_frames = 3;
        return options;
    }
};

// Runs `check` once the next modal window (a dialog opened with exec()) is up.
inline void when_modal_opens(std::function<void(QWidget*)> check) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, check] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        poll->stop();
        poll->deleteLater();
        check(modal);
    });
    poll->start();
}
