#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QtTest>
#include <map>

#include "platform/desktop_qt.h"
#include "pixels/surface.h"
#include "ground/raw_registry.h"

using namespace vistaloom;

namespace {

class MemoryRegistry : public RawRegistry {
  public:
    std::map<std::string, std::string> values;  // "sub_key|name" -> text

    bool key_exists(uint32_t, const std::string&) override { return true; }
    std::optional<RawValue> query(uint32_t root, const std::string& sub_key,
                                  const std::string& name) override {
        if (root != HKEY_CURRENT_USER) return std::nullopt;
        auto it = values.find(sub_key + "|" + name);
        if (it == values.end()) return std::nullopt;
        RawValue v;
        v.data.assign(it->second.begin(), it->second.end());
        v.data.push_back(0);
        return v;
    }
    void set_string(uint32_t, const std::string& sub_key, const std::string& name,
                    const std::string& value) override {
        values[sub_key + "|" + name] = value;
    }
};

// Stand-ins for the desktop tools: each appends its arguments to one log file.
class FakeTools {
  public:
    QTemporaryDir dir;
    QString log() const { return dir.path() + "/calls.log"; }

    void add(const QString& name, const QString& body) {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QString("#!/bin/sh\necho \"%1 $*\" >> '%2'\n%3\n").arg(name, log(), body).toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    QStringList calls() const {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void clear() { QFile::remove(log()); }
    DesktopTools tools(int timeout_ms = 5000) const {
        return DesktopTools{{dir.path().toStdString()}, timeout_ms};
    }
};

}  // namespace

class DesktopQtTest : public QObject {
    Q_OBJECT
    QTemporaryDir pictures_;
    std::string wallpaper_;

  private slots:
    void initTestCase() {
        QVERIFY(pictures_.isValid());
        wallpaper_ = pictures_.path().toStdString() + "/vistaloom_wallpaper.bmp";
        QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(wallpaper_), "BMP");
    }

    void cursor_counter_follows_the_system_rules() {
        DesktopQt desktop;
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        // Hide until the count is below -5, as the saver window does.
        std::vector<int> counts;
        int c;
        do {
            c = desktop.show_cursor(false);
            counts.push_back(c);
            QVERIFY(QGuiApplication::overrideCursor() != nullptr);
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
        } while (c >= -5);
        QCOMPARE(counts, (std::vector<int>{-1, -2, -3, -4, -5, -6}));
        // Show until at least 6: the pointer comes back the moment the count reaches 0.
        counts.clear();
        do {
            c = desktop.show_cursor(true);
            counts.push_back(c);
            QCOMPARE(QGuiApplication::overrideCursor() != nullptr, c < 0);
        } while (c < 6);
        QCOMPARE(counts.front(), -5);
        QCOMPARE(counts.back(), 6);
        QCOMPARE(counts.size(), size_t(12));
        // Hiding again from 6 needs seven calls before the pointer disappears.
        for (int i = 0; i < 6; ++i) desktop.show_cursor(false);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QCOMPARE(desktop.show_cursor(false), -1);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        desktop.show_cursor(false);
        QCOMPARE(desktop.show_cursor(true), -1);
        // Only one override cursor was ever pushed: coming back to 0 clears it completely.
        QCOMPARE(desktop.show_cursor(true), 0);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void a_destroyed_desktop_gives_the_pointer_back() {
        {
            DesktopQt desktop;
            desktop.show_cursor(false);
            desktop.show_cursor(false);
            QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        }
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void linux_platform_answers() {
        DesktopQt desktop;
        QCOMPARE(desktop.platform_id(), 2);
        QCOMPARE(desktop.verify_screen_save_password(0), 1);
        desktop.set_screen_saver_running(true);
        desktop.set_screen_saver_running(false);
        QCOMPARE(desktop.system_color(5), 0x00FFFFFFu);  // window background, white
    }

    void clipboard_gets_the_exact_pixels() {
        DesktopQt desktop;
        Surface s(3, 2);
        const uint32_t px[6] = {0x00FF0000, 0x0000FF00, 0x000000FF,
                                0x00123456, 0x00FFFFFF, 0x00000000};
        for (int i = 0; i < 6; ++i) s.at(i % 3, i / 3) = px[i];
        QVERIFY(desktop.copy_to_clipboard(s));
        // The surface may go away; the clipboard keeps its own copy.
        s.fill(0x00ABCDEF);
        const QImage got =
            QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(got.size(), QSize(3, 2));
        for (int i = 0; i < 6; ++i) QCOMPARE(got.pixel(i % 3, i / 3) & 0xFFFFFFu, px[i]);
        QVERIFY(!desktop.copy_to_clipboard(Surface()));
    }

    void wallpaper_goes_to_gnome_with_the_stored_style() {
        FakeTools fake;
        fake.add("gsettings", "[ \"$1\" = writable ] && echo true; exit 0");
        fake.add("feh", "exit 0");
        MemoryRegistry registry;
        registry.set_string(HKEY_CURRENT_USER, "Control Panel\\Desktop", "TileWallpaper", "0");
        registry.set_string(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle", "2");
        DesktopQt desktop(&registry, fake.tools());
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        QVERIFY(desktop.set_wallpaper(wallpaper_));
        const QString uri = QUrl::fromLocalFile(QString::fromStdString(wallpaper_)).toString();
        const QStringList calls = fake.calls();
        QVERIFY2(
            calls.contains("gsettings set org.gnome.desktop.background picture-options stretched"),
            qPrintable(calls.join('\n')));
        QVERIFY(calls.contains("gsettings set org.gnome.desktop.background picture-uri " + uri));
        QVERIFY(
            calls.contains("gsettings set org.gnome.desktop.background picture-uri-dark " + uri));
        QVERIFY(!calls.join('\n').contains("feh"));

        fake.clear();
        registry.set_string(HKEY_CURRENT_USER, "Control Panel\\Desktop", "TileWallpaper", "1");
        registry.set_string(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle", "0");
        QVERIFY(desktop.set_wallpaper(wallpaper_));
        QVERIFY(fake.calls().contains(
            "gsettings set org.gnome.desktop.background picture-options wallpaper"));
    }

    void wallpaper_falls_back_and_reports_failure_honestly() {
        FakeTools fake;
        // A GNOME session whose settings are locked: gsettings says not writable.
        fake.add("gsettings", "[ \"$1\" = writable ] && echo false; exit 0");
        fake.add("feh", "exit 0");
        DesktopQt desktop(nullptr, fake.tools());
        qputenv("XDG_CURRENT_DESKTOP", "GNOME");
        QVERIFY(desktop.set_wallpaper(wallpaper_));
        QVERIFY(
            fake.calls().contains(QString("feh --bg-scale ") + QString::fromStdString(wallpaper_)));
        QVERIFY(!fake.calls().join('\n').contains("gsettings set"));

        // A file that is not there is never handed to the desktop.
        fake.clear();
        QVERIFY(!desktop.set_wallpaper(pictures_.path().toStdString() + "/none.bmp"));
        QVERIFY(!desktop.set_wallpaper(""));
        QVERIFY(fake.calls().isEmpty());

        // Every tool failing is a failure.
        fake.add("feh", "exit 2");
        qputenv("XDG_CURRENT_DESKTOP", "");
        QVERIFY(!desktop.set_wallpaper(wallpaper_));

        // No tools at all.
        QTemporaryDir empty;
        DesktopQt bare(nullptr, DesktopTools{{empty.path().toStdString()}, 5000});
        QVERIFY(!bare.set_wallpaper(wallpaper_));
    }

    void a_hanging_tool_is_cut_short() {
        FakeTools fake;
        fake.add("feh", "exec sleep 20");
        DesktopQt desktop(nullptr, fake.tools(300));
        qputenv("XDG_CURRENT_DESKTOP", "");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!desktop.set_wallpaper(wallpaper_));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    void xfce_gets_every_monitor() {
        FakeTools fake;
        fake.add("xfconf-query",
                 "[ \"$3\" = -l ] && printf '/backdrop/screen0/monitor0/workspace0/last-image\\n"
                 "/backdrop/screen0/monitor0/workspace0/image-style\\n"
                 "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\\n'; exit 0");
        MemoryRegistry registry;
        registry.set_string(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle", "2");
        DesktopQt desktop(&registry, fake.tools());
        qputenv("XDG_CURRENT_DESKTOP", "XFCE");
        QVERIFY(desktop.set_wallpaper(wallpaper_));
        const QStringList calls = fake.calls();
        const QString w = QString::fromStdString(wallpaper_);
        for (const char* mon : {"monitor0", "monitorHDMI-1"}) {
            const QString base =
                QString("xfconf-query -c xfce4-desktop -p /backdrop/screen0/%1/workspace0/")
                    .arg(mon);
            QVERIFY2(calls.contains(base + "last-image -s " + w), qPrintable(calls.join('\n')));
            QVERIFY(calls.contains(base + "image-style -s 3"));
        }
    }
};

QTEST_MAIN(DesktopQtTest)
#include "desktop_qt_test.moc"
