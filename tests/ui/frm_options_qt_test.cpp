#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "config_rig.h"
#include "platform/autostart_entry.h"
#include "startup/setting_ranges.h"
#include "ui/frm_main.h"
#include "ui/frm_options.h"

using namespace vistaloom;

namespace {

QPushButton* button_named(QWidget& window, const QString& text) {
    for (auto* b : window.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

}  // namespace

class FrmOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void defaults_are_shown_when_it_opens() {
        ConfigRig rig;
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Vistaloom - Configuration"));
        QCOMPARE(dialog.frame_rate_label()->text(), QStringLiteral("20 Frames Per Second"));
        QCOMPARE(dialog.frame_rate_bar()->value(), 20);
        QCOMPARE(dialog.sprite_bar()->value(), 4);
        QCOMPARE(dialog.sensitivity_bar()->value(), 7);
        QCOMPARE(dialog.speed_bar()->value(), 10);
        QStringList ticked;
        for (QCheckBox* box : dialog.switches())
            if (box->isChecked()) ticked << box->text();
        QCOMPARE(ticked, (QStringList{"&Display Border Around Images", "&Gradient Backgrounds",
                                      "Play &Music Files In A Random Order", "Show &Time Of Day"}));
        QCOMPARE(dialog.switches()[6]->text(), QStringLiteral("Still Picture On &Battery Power"));
        QCOMPARE(dialog.sensitivity_bar()->minimum(), 2);
        QCOMPARE(dialog.sensitivity_bar()->singleStep(), 2);
        QCOMPARE(dialog.frame_rate_bar()->pageStep(), 10);
        QVERIFY(rig.store.writes.empty());
    }

    // Tab walks every switch of the group top to bottom, then the bars, then the buttons,
    // and comes round to the first switch again.
    void tab_visits_every_control_in_reading_order() {
        ConfigRig rig;
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QList<QWidget*> expected(dialog.switches().begin(), dialog.switches().end());
        expected << dialog.sprite_bar() << dialog.frame_rate_bar() << dialog.speed_bar()
                 << dialog.sensitivity_bar() << dialog.choices()[0] << dialog.choices()[1]
                 << dialog.choices()[2] << dialog.idle_minutes_box() << dialog.autostart_box()
                 << button_named(dialog, QStringLiteral("&Preview"))
                 << button_named(dialog, QStringLiteral("&Ok")) << dialog.switches()[0];
        QList<QWidget*> visited{QApplication::focusWidget()};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, expected);
    }

    // The bars cover the ranges the command line and the run use, from the same table.
    void every_bar_covers_its_settings_range() {
        ConfigRig rig;
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        const std::pair<const SettingRange&, QScrollBar*> bars[] = {
            {kSpriteActiveRange, dialog.sprite_bar()},
            {kFrameRateRange, dialog.frame_rate_bar()},
            {kSpeedScaleRange, dialog.speed_bar()},
            {kMouseSensitivityRange, dialog.sensitivity_bar()},
        };
        QCOMPARE(std::size(bars), kSettingRanges.size());
        for (const auto& [range, bar] : bars) {
            QCOMPARE(bar->minimum(), range.low);
            QCOMPARE(bar->maximum(), range.high);
            QCOMPARE(bar->value(), range.fallback);
        }
    }

    // Every change goes straight into the settings; the close box saves like Ok does.
    void changes_are_written_at_once_and_saved_however_it_closes() {
        for (const bool close_box : {false, true}) {
            ConfigRig rig;
            FrmOptions dialog(rig.settings, rig.store, rig.preview);
            dialog.show();
            dialog.frame_rate_bar()->setValue(60);
            QCOMPARE(dialog.frame_rate_label()->text(), QStringLiteral("60 Frames Per Second"));
            QCOMPARE(rig.settings.frame_rate, std::string("60"));
            dialog.sprite_bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // 4 + 5
            dialog.sensitivity_bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            dialog.speed_bar()->setValue(19);
            QTest::keyClick(dialog.speed_bar(), Qt::Key_Right);  // the keys raise it too
            dialog.switches()[0]->click();                       // borders off
            dialog.switches()[3]->click();                       // mute on
            QVERIFY(rig.store.writes.empty());

            if (close_box) {
                dialog.close();
            } else {
                button_named(dialog, QStringLiteral("&Ok"))->click();
            }
            QVERIFY(!dialog.isVisible());
            QCOMPARE(rig.store.get("Options", "frame_rate"), std::string("60"));
            QCOMPARE(rig.store.get("Options", "sprite_active"), std::string("9"));
            QCOMPARE(rig.store.get("Options", "mouse_sensitivity"), std::string("9"));
            QCOMPARE(rig.store.get("Options", "speed_scale"), std::string("20"));
            QCOMPARE(rig.store.get("Options", "borders_on"), std::string("0"));
            QCOMPARE(rig.store.get("Options", "mute_audio"), std::string("1"));
        }
    }

    // A value edited by hand outside a bar's range shows at the bar's end and is kept as it
    // is until that bar is moved.
    void out_of_range_values_are_kept_until_their_bar_moves() {
        ConfigRig rig;
        rig.settings.frame_rate = "5";
        rig.settings.sprite_active = 99;
        rig.settings.mouse_sensitivity = "abc";
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        dialog.show();
        QCOMPARE(dialog.frame_rate_bar()->value(), 10);
        QCOMPARE(dialog.frame_rate_label()->text(), QStringLiteral("10 Frames Per Second"));
        QCOMPARE(dialog.sprite_bar()->value(), 10);
        QCOMPARE(dialog.sensitivity_bar()->value(), 2);
        dialog.sprite_bar()->setValue(3);
        dialog.close();
        QCOMPARE(rig.store.get("Options", "frame_rate"), std::string("5"));
        QCOMPARE(rig.store.get("Options", "mouse_sensitivity"), std::string("abc"));
        QCOMPARE(rig.store.get("Options", "sprite_active"), std::string("3"));
    }

    // The three choices show the stored word, write the one picked (here with the keys), and
    // a word no choice has (edited by hand) shows as the first and is kept until a pick.
    void screen_choices_show_store_and_keep_unknown_words() {
        ConfigRig rig;
        rig.settings.screen_mode = "span";
        rig.settings.picture_scale = "3";
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        dialog.show();
        QComboBox* screens = dialog.choices()[0];
        QComboBox* scale = dialog.choices()[1];
        QComboBox* motion = dialog.choices()[2];
        QCOMPARE(screens->currentData().toString(), QStringLiteral("span"));
        QCOMPARE(scale->currentData().toString(), QStringLiteral("auto"));
        QCOMPARE(motion->currentData().toString(), QStringLiteral("auto"));
        QCOMPARE(screens->count(), 4);
        QTest::keyClick(screens, Qt::Key_Down);  // span -> main
        QTest::keyClick(motion, Qt::Key_Down);   // auto -> on
        dialog.close();
        QCOMPARE(rig.store.get("Options", "screen_mode"), std::string("main"));
        QCOMPARE(rig.store.get("Options", "picture_scale"), std::string("3"));
        QCOMPARE(rig.store.get("Options", "reduced_motion"), std::string("on"));
    }

    // The idle time is a setting like the others; "Start With My Desktop" writes or removes
    // the desktop's autostart entry at once and starts a watcher now, and a folder it cannot
    // write to says so and leaves the box as the file is. A path with blanks, quotes and a
    // percent sign stays one word of the entry's command.
    void idle_time_and_start_with_the_desktop() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString entry = config.path() + QStringLiteral("/autostart/vistaloom-watch.desktop");
        ConfigRig rig;
        rig.settings.idle_minutes = 500;  // edited by hand: shown at the end, kept until moved
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        int started = 0;
        QStringList said;
        dialog.set_watcher_hooks([&] { ++started; },
                                 [&](QWidget*, const MessageSpec& m) {
                                     said << m.text;
                                     return true;
                                 });
        dialog.show();
        QCOMPARE(dialog.idle_minutes_box()->value(), 120);
        QCOMPARE(dialog.idle_minutes_box()->minimum(), 1);
        QVERIFY(!dialog.autostart_box()->isChecked());

        dialog.autostart_box()->click();
        QVERIFY(QFile::exists(entry));
        QVERIFY(autostart_entry_enabled());
        QCOMPARE(started, 1);
        if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
            QProcess validate;
            validate.start(QStringLiteral("desktop-file-validate"), {entry});
            QVERIFY(validate.waitForFinished());
            QCOMPARE(validate.readAllStandardOutput() + validate.readAllStandardError(),
                     QByteArray());
        }
        ConfigRig again;
        FrmOptions reopened(again.settings, again.store, again.preview);
        QVERIFY(reopened.autostart_box()->isChecked());
        dialog.autostart_box()->click();
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(started, 1);

        QVERIFY(QDir(config.path() + QStringLiteral("/autostart")).removeRecursively());
        QFile blocker(config.path() + QStringLiteral("/autostart"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
        blocker.close();
        dialog.autostart_box()->click();
        QVERIFY(!dialog.autostart_box()->isChecked());
        QCOMPARE(said.size(), 1);
        QCOMPARE(started, 1);

        dialog.idle_minutes_box()->setValue(3);
        dialog.close();
        QCOMPARE(rig.store.get("Options", "idle_minutes"), std::string("3"));
        QCOMPARE(QString::fromStdString(autostart_entry_text("/opt/my \"apps\"/50%/vistaloom")),
                 QStringLiteral("[Desktop Entry]\nType=Application\nName=Vistaloom Idle Watcher\n"
                                "Comment=Starts the Vistaloom screen saver when the computer has "
                                "been idle\nExec=\"/opt/my \\\\\"apps\\\\\"/50%%/vistaloom\" "
                                "--watch\nIcon=preferences-desktop-screensaver\nNoDisplay=true\n"
                                "Terminal=false\nX-GNOME-Autostart-enabled=true\n"));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Preview saves first, then runs the saver as a preview: no password, the cursor left
    // alone, not kept on top.
    void preview_saves_first_and_runs_without_password_cursor_or_topmost() {
        ConfigRig rig;
        FrmOptions dialog(rig.settings, rig.store, rig.preview);
        dialog.show();
        dialog.frame_rate_bar()->setValue(45);
        bool seen_running = false;
        when_modal_opens([&](QWidget* modal) {
            auto* saver = qobject_cast<FrmMain*>(modal);
            QVERIFY(saver);
            seen_running = true;
            QVERIFY(rig.values.config_preview);
            QVERIFY(!(saver->windowFlags() & Qt::WindowStaysOnTopHint));
            QCOMPARE(rig.store.get("Options", "frame_rate"), std::string("45"));
        });
        button_named(dialog, QStringLiteral("&Preview"))->click();  // returns when it ended
        QVERIFY(seen_running);
        QCOMPARE(rig.preview.runs(), 1);
        QVERIFY(!rig.values.config_preview);
        QVERIFY(rig.desktop.verified_windows.empty());
        QCOMPARE(rig.desktop.cursor_calls, 0);
        QVERIFY(rig.desktop.screen_saver_running.empty());
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(FrmOptionsTest)
#include "frm_options_qt_test.moc"
