#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/theme_folder_search.h"
#include "startup/settings_store.h"
#include "support/memory_settings.h"

using namespace vistaloom;

class ThemeFolderTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;

    QString data(const QString& name) { return root_.filePath(name); }
    QString themes(const QString& name) { return data(name) + QStringLiteral("/vistaloom/themes"); }
    void make_theme(const QString& folder) {
        QVERIFY(QDir().mkpath(folder));
        QFile f(folder + QStringLiteral("/Demo.icf"));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

  private slots:
    // The user's data folder first, then the system's, in the order the desktop lists them;
    // an empty themes folder does not hide a filled one behind it.
    void first_folder_with_a_theme_wins() {
        QVERIFY(QDir().mkpath(themes(QStringLiteral("home-empty"))));
        make_theme(themes(QStringLiteral("usr-local")));
        make_theme(themes(QStringLiteral("usr")));
        const QStringList folders{data(QStringLiteral("missing")),
                                  data(QStringLiteral("home-empty")),
                                  data(QStringLiteral("usr-local")), data(QStringLiteral("usr"))};
        QCOMPARE(find_theme_folder(folders).value_or(QString()),
                 themes(QStringLiteral("usr-local")) + QLatin1Char('/'));
        // No themes anywhere: an existing folder still beats none (the saver shows its
        // no-themes picture instead of the install-path error).
        const QStringList empty{data(QStringLiteral("missing")),
                                data(QStringLiteral("home-empty"))};
        QCOMPARE(find_theme_folder(empty).value_or(QString()),
                 themes(QStringLiteral("home-empty")) + QLatin1Char('/'));
        QVERIFY(!find_theme_folder({data(QStringLiteral("missing"))}));
    }

    void stored_install_path_wins_and_nothing_is_written() {
        make_theme(themes(QStringLiteral("share")));
        testing::MemorySettings store;
        ThemeFolderSearch search(store, {data(QStringLiteral("share"))});
        const std::string found =
            (themes(QStringLiteral("share")) + QLatin1Char('/')).toStdString();
        QCOMPARE(load_install_path(search), found);
        store.set(kConfigSection, kInstallPathKey, "");
        QCOMPARE(load_install_path(search), found);
        store.set(kConfigSection, kInstallPathKey, "/home/me/themes");
        QCOMPARE(load_install_path(search), std::string("/home/me/themes"));
        QVERIFY(store.writes.empty());
        // Other keys pass straight through.
        QVERIFY(!search.read(kSettingsApplication, kOptionsSection, "gradients_on"));
    }
};

QTEST_GUILESS_MAIN(ThemeFolderTest)
#include "theme_folder_qt_test.moc"
