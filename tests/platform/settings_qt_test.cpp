#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <sstream>

#include "ui/install_path_message.h"
#include "platform/install_path_check.h"
#include "platform/qsettings_backend.h"
#include "platform/raw_registry_store.h"
#include "platform/screen_metrics.h"
#include "startup/settings_store.h"
#include "startup/startup.h"

using namespace vistaloom;

class SettingsQtTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home_;
    QString config_;
    QString system_;

    void write_file(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QString user_file() const { return config_ + QStringLiteral("/Brindle Vistaloom.conf"); }

    // The install path as start-up reads it, with what was said about it.
    std::optional<std::string> install_path(std::string& said) {
        QtSettingsBackend files(config_, {system_});
        std::ostringstream diagnostics;
        InstallPathCheck check(files, diagnostics);
        auto value = check.read(kSettingsApplication, kConfigSection, kInstallPathKey);
        said = diagnostics.str();
        return value;
    }

  private slots:
    void init() {
        QVERIFY(home_.isValid());
        config_ = home_.filePath(QStringLiteral("config"));
        system_ = home_.filePath(QStringLiteral("etc-xdg"));
        QDir(config_).removeRecursively();
        QDir(system_).removeRecursively();
        qputenv("XDG_CONFIG_HOME", config_.toUtf8());
        qputenv("XDG_CONFIG_DIRS", system_.toUtf8());
    }

    void roundTripThroughTheUserFile() {
        QtSettingsBackend backend;
        QCOMPARE(backend.user_file(kSettingsApplication),
                 config_ + QStringLiteral("/Brindle Vistaloom.conf"));
        QVERIFY(backend.system_folders().contains(system_));

        SaverSettings fresh;
        load_settings(fresh, backend);
        QCOMPARE(fresh.sprite_active, 4);
        QVERIFY(!QFile::exists(backend.user_file(kSettingsApplication)));  // reading writes nothing

        SaverSettings s;
        s.active_module = "Autumn, Leaves";  // a comma must survive the round trip
        s.sprite_active = 7;
        s.frame_rate = "35";
        save_settings(s, backend);

        QSettings file(config_ + QStringLiteral("/Brindle Vistaloom.conf"), QSettings::IniFormat);
        QCOMPARE(file.childGroups(), QStringList{QStringLiteral("Options")});
        file.beginGroup(QStringLiteral("Options"));
        QCOMPARE(file.childKeys().size(), 27);
        QCOMPARE(file.value(QStringLiteral("sprite_active")).toString(), QStringLiteral("7"));
        file.endGroup();

        SaverSettings back;
        QtSettingsBackend again;
        load_settings(back, again);
        QCOMPARE(back.active_module, std::string("Autumn, Leaves"));
        QCOMPARE(back.sprite_active, 7);
        QCOMPARE(back.frame_rate, std::string("35"));

        // Written through a temporary file and renamed: nothing else is left in the folder.
        QCOMPARE(QDir(config_).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Brindle Vistaloom.conf")});
    }

    void installPathFallsBackToTheSystemFile() {
        write_file(system_ + QStringLiteral("/Brindle Vistaloom.conf"),
                   "[Config]\ninstall_path=/usr/share/vistaloom/themes/\n");
        QtSettingsBackend backend;
        QCOMPARE(load_install_path(backend), std::string("/usr/share/vistaloom/themes/"));

        // The user's own value wins, and saving options leaves the system file alone.
        write_file(config_ + QStringLiteral("/Brindle Vistaloom.conf"),
                   "[Config]\ninstall_path=/home/me/.local/share/vistaloom/themes\n");
        QCOMPARE(load_install_path(backend), std::string("/home/me/.local/share/vistaloom/themes"));
        save_settings(SaverSettings{}, backend);
        QFile system_file(system_ + QStringLiteral("/Brindle Vistaloom.conf"));
        QVERIFY(system_file.open(QIODevice::ReadOnly));
        QCOMPARE(system_file.readAll(),
                 QByteArray("[Config]\ninstall_path=/usr/share/vistaloom/themes/\n"));
        QCOMPARE(load_install_path(backend), std::string("/home/me/.local/share/vistaloom/themes"));
    }

    void handEditedGarbageDoesNotCrash() {
        QByteArray garbage =
            "[Options\nsprite_active=@Variant(\\0\\0\\0\\x7f)\nframe_rate=1,2\n"
            "speed_scale=abc\n\x01\x02\xff\xfe=\n[Options]\nmouse_sensitivity\n=5\n"
            "objects_off=@Rect(1 2 3 4)\n";
        garbage.append('\0');
        garbage.append("welcome=0\n");
        write_file(config_ + QStringLiteral("/Brindle Vistaloom.conf"), garbage);
        QtSettingsBackend backend;
        SaverSettings s;
        load_settings(s, backend);
        QVERIFY(sprite_active_in_range(s) >= 1 && sprite_active_in_range(s) <= 10);
        QVERIFY(frame_rate_in_range(s) >= 10 && frame_rate_in_range(s) <= 60);
        QVERIFY(speed_scale_in_range(s) >= 1);
        save_settings(s, backend);
        SaverSettings back;
        load_settings(back, backend);
        QCOMPARE(back.sprite_active, s.sprite_active);
    }

    void rawRegistryKeepsStringsAndNumbers() {
        QtRawRegistry registry;
        QCOMPARE(registry.file(), config_ + QStringLiteral("/vistaloom/registry.conf"));
        const std::string desktop = "Control Panel\\Desktop";
        QCOMPARE(read_registry_value(registry, HKEY_CURRENT_USER, desktop, "WallpaperStyle"),
                 std::string());
        write_registry_string(registry, HKEY_CURRENT_USER, desktop, "WallpaperStyle", "2");
        write_registry_string(registry, HKEY_CURRENT_USER, desktop, "Odd", "dword:00000001");
        QCOMPARE(read_registry_value(registry, HKEY_CURRENT_USER, desktop, "WallpaperStyle"),
                 std::string("2"));
        QVERIFY(QFile::exists(registry.file()));
        QCOMPARE(read_registry_value(registry, HKEY_CURRENT_USER, desktop, "Odd"),
                 std::string("dword:00000001"));
        QCOMPARE(read_registry_value(registry, HKEY_LOCAL_MACHINE, desktop, "WallpaperStyle"),
                 std::string());
        QVERIFY(registry.key_exists(HKEY_CURRENT_USER, "Control Panel"));
        QVERIFY(!registry.key_exists(HKEY_CURRENT_USER, "Control Panel\\Mouse"));

        // A number put there by hand, as an exported registry file writes it.
        QSettings file(registry.file(), QSettings::IniFormat);
        file.setValue(
            QStringLiteral("HKEY_CURRENT_USER/Control Panel/Desktop/ScreenSaveUsePassword"),
            QStringLiteral("dword:00000001"));
        file.sync();
        QCOMPARE(read_registry_value(registry, HKEY_CURRENT_USER, desktop, "ScreenSaveUsePassword"),
                 std::string("001"));
    }

    void installPathMessageHasTheExactTextAndTitle() {
        QString text, title;
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            buttons = box->buttons().size();
            box->accept();
        });
        show_install_path_message();
        QCOMPARE(text, QStringLiteral(
                           "Install path error! Please uninstall, then Reinstall this program!"));
        QCOMPARE(title, QStringLiteral("Vistaloom"));
        QCOMPARE(buttons, 1);
    }

    void twipsPerPixelFromTheScreen() {
        QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        TwipsPerPixel twips = screen_twips_per_pixel();
        QCOMPARE(twips.x, twips_per_pixel_from_dpi(screen->logicalDotsPerInchX()));
        QCOMPARE(twips.y, twips_per_pixel_from_dpi(screen->logicalDotsPerInchY()));
    }

    // open() on a FIFO waits for a writer that never comes; the test process is ended by an
    // alarm if the store ever tries.
    void fifoInPlaceOfTheSettingsFileReadsAsEmpty() {
        QDir().mkpath(config_);
        QCOMPARE(::mkfifo(QFile::encodeName(user_file()).constData(), 0600), 0);
        write_file(system_ + QStringLiteral("/Brindle Vistaloom.conf"),
                   "[Config]\ninstall_path=/themes\n");
        ::alarm(20);
        QtSettingsBackend backend(config_, {system_});
        QCOMPARE(backend.read(kSettingsApplication, kConfigSection, kInstallPathKey),
                 std::optional<std::string>("/themes"));
        SaverSettings settings;
        load_settings(settings, backend);
        QCOMPARE(settings.sprite_active, 4);
        save_settings(settings, backend);  // refused, not blocked
        QtRawRegistry registry(user_file());
        QVERIFY(!registry.query(1, "Control Panel", "x"));
        registry.set_string(1, "Control Panel", "x", "1");
        ::alarm(0);
        QFileInfo info(user_file());
        QVERIFY(!info.isFile());
    }

    void relativeInstallPathIsTakenFromTheSettingsFilesFolder() {
        write_file(config_ + QStringLiteral("/themes/Demo.icf"), "a,b,0,0\n");
        write_file(user_file(), "[Config]\ninstall_path=themes\n");
        std::string said;
        QCOMPARE(install_path(said),
                 std::optional<std::string>((config_ + "/themes").toStdString()));
        QCOMPARE(said, std::string());
        QVERIFY(QDir::setCurrent(QDir::rootPath()));  // where we run from does not matter
        QCOMPARE(install_path(said),
                 std::optional<std::string>((config_ + "/themes").toStdString()));
    }

    void aFolderWithoutThemesSaysWhatWasReadAndWhy() {
        write_file(config_ + QStringLiteral("/a;b/Demo.icf"), "a,b,0,0\n");
        write_file(user_file(), "[Config]\ninstall_path=" + config_.toUtf8() + "/a;b\n");
        std::string said;
        install_path(said);
        QVERIFY2(said.find("reads \"" + config_.toStdString() + "/a\"") != std::string::npos,
                 said.c_str());
        QVERIFY2(said.find("does not exist") != std::string::npos, said.c_str());
        QVERIFY2(said.find("double quotes") != std::string::npos, said.c_str());

        write_file(user_file(), "[Config]\ninstall_path=" + config_.toUtf8() + "/caf\xe9\n");
        install_path(said);
        QVERIFY2(said.find("not UTF-8") != std::string::npos, said.c_str());

        // Nothing stored is no mistake here: the installed themes may be found elsewhere.
        write_file(user_file(), "[Options]\nframe_rate=20\n");
        install_path(said);
        QVERIFY2(said.empty(), said.c_str());
    }

    void rawLinesAreFoundOnlyInTheConfigGroup() {
        QCOMPARE(raw_install_path_line(
                     "[Options]\ninstall_path=x\n[Config]\n install_path = \"a;b\"\r\n"),
                 std::string("\"a;b\""));
        QCOMPARE(raw_install_path_line("[Options]\ninstall_path=x\n"), std::string());
        QCOMPARE(raw_value_hint("\"a;b\""), std::string());
        QVERIFY(!raw_value_hint("a;b").empty());
    }
};

QTEST_MAIN(SettingsQtTest)
#include "settings_qt_test.moc"
