// The desktop's wish for less motion: which answers count, that the bus is only asked when
// there is one, and KDE's setting read from its file.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/desktop_motion.h"

using namespace vistaloom;

class DesktopMotionTest : public QObject {
    Q_OBJECT
  private slots:
    void any_desktop_that_asks_is_heard() {
        struct Case {
            std::optional<uint32_t> portal;
            std::optional<bool> gnome_animations;
            std::optional<double> kde;
            bool want;
        };
        const Case cases[] = {
            {{}, {}, {}, false},          {1u, {}, {}, true},          {0u, {}, {}, false},
            {0u, false, {}, true},        {{}, true, 1.0, false},      {{}, {}, 0.0, true},
            {{}, {}, 0.5, false},         {2u, true, 1.0, false},
        };
        for (const Case& c : cases)
            QCOMPARE(wants_reduced_motion({c.portal, c.gnome_animations, c.kde}), c.want);
    }

    // Without a session bus neither the portal nor GNOME's setting is asked; KDE's file is.
    void the_bus_is_asked_only_when_there_is_one() {
        for (const bool bus : {false, true}) {
            QStringList asked;
            DesktopMotion motion(MotionReaders{
                [&] { return bus; },
                [&]() -> std::optional<uint32_t> { asked << "portal"; return 1u; },
                [&]() -> std::optional<bool> { asked << "gnome"; return true; },
                [&]() -> std::optional<double> { asked << "kde"; return 1.0; }});
            QCOMPARE(motion.reduced_motion_wanted(), bus);
            const QStringList want =
                bus ? QStringList{"kde", "portal", "gnome"} : QStringList{"kde"};
            QCOMPARE(asked, want);
        }
    }

    void kde_factor_comes_from_kdeglobals() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kdeglobals"));
        QVERIFY(!DesktopMotion::read_kde_duration(path.toStdString()));
        const std::pair<QByteArray, std::optional<double>> files[] = {
            {"[General]\nColorScheme=Breeze\n\n[KDE]\nAnimationDurationFactor=0\n", 0.0},
            {"[KDE]\nAnimationDurationFactor=0.5\nSingleClick=false\n", 0.5},
            {"[KDE]\nSingleClick=false\n", std::nullopt},
            {"[KDE]\nAnimationDurationFactor=fast\n", std::nullopt},
        };
        for (const auto& [text, want] : files) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text);
            file.close();
            QCOMPARE(DesktopMotion::read_kde_duration(path.toStdString()), want);
        }
    }
};

QTEST_GUILESS_MAIN(DesktopMotionTest)
#include "desktop_motion_qt_test.moc"
