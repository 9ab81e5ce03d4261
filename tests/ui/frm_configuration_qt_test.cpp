#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "config_rig.h"
#include "saver/theme_configuration.h"
#include "support/many_scans_jpeg.h"
#include "support/photo_tree.h"
#include "theme_files/theme_choice.h"
#include "ui/frm_configuration.h"
#include "ui/frm_main.h"
#include "ui/info_windows.h"

using namespace vistaloom;

namespace {

ConfigurationContext context_for(ConfigRig& rig, std::string page = "/nowhere/help.html") {
    ConfigurationContext context{rig.settings, rig.values,  rig.store,      rig.folders,
                                 rig.desktop,  rig.preview, std::move(page)};
    context.message_box = rig.message_box();
    return context;
}

// The themes listed; the last entry is always the photo library's.
QStringList listed(const FrmConfiguration& window) {
    QStringList names;
    for (int i = 0; i + 1 < window.theme_list()->count(); ++i)
        names << window.theme_list()->itemText(i);
    return names;
}

QStringList folder_order(const ConfigRig& rig) {
    QStringList names;
    for (const auto& name : list_themes(rig.values.install_path, "").names)
        names << QString::fromStdString(name);
    return names;
}

bool has_sample(const FrmConfiguration& window) {
    return !window.sample_picture()->pixmap().isNull();
}

class FailingDesktop : public testing::RecordingDesktop {
  public:
    bool open_url(const std::string& url) override {
        opened_urls.push_back(url);
        return false;
    }
};

}  // namespace

class FrmConfigurationTest : public QObject {
    Q_OBJECT
  private slots:
    void lists_themes_in_folder_order_and_selects_the_active_one() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.add_theme("Birds", "ICF");
        rig.add_theme("Coast", "Icf");
        rig.settings.active_module = "Birds";
        FrmConfiguration window(context_for(rig));
        QCOMPARE(window.windowTitle(), QStringLiteral("Vistaloom - Configuration"));
        QCOMPARE(listed(window), folder_order(rig));
        QCOMPARE(listed(window).size(), 3);
        QCOMPARE(window.theme_list()->currentText(), QStringLiteral("Birds"));
        QVERIFY(has_sample(window));
        QVERIFY(window.no_themes_label()->isHidden());
    }

    void a_vanished_active_theme_gives_way_to_the_first() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.add_theme("Birds");
        rig.settings.active_module = "birds";  // letter case counts
        FrmConfiguration window(context_for(rig));
        QCOMPARE(window.theme_list()->currentIndex(), 0);
        QCOMPARE(QString::fromStdString(rig.settings.active_module), folder_order(rig).front());
    }

    void no_themes_says_so() {
        ConfigRig rig;
        rig.settings.active_module = "Autumn";
        FrmConfiguration window(context_for(rig));
        QCOMPARE(listed(window).size(), 0);
        QVERIFY(!window.no_themes_label()->isHidden());
        QCOMPARE(window.no_themes_label()->text(), QStringLiteral("No Themes Found!"));
        QCOMPARE(rig.settings.active_module, std::string());
        QVERIFY(!has_sample(window));
    }

    // A sample of hundreds of scans would hold the window for seconds (deaf to SIGTERM): it is
    // refused as the saver refuses such a sheet.
    void a_sample_of_too_many_scans_shows_an_empty_picture() {
        ConfigRig rig;
        const std::string base = rig.values.install_path + "Scans";
        const std::string sample = testing::many_scans_jpeg(320, 240);
        std::ofstream(base + ".icf")
            << "\"Scans\",\"x\",\"0\"\n2\n\"sample.jpg\"," << sample.size() << "\n\"s.jpg\",1\n";
        std::ofstream(base + ".img", std::ios::binary) << sample << "x";
        rig.settings.active_module = "Scans";
        FrmConfiguration window(context_for(rig));
        QCOMPARE(window.theme_list()->currentText(), QStringLiteral("Scans"));
        QVERIFY(!has_sample(window));
    }

    void a_sample_that_is_no_picture_shows_an_empty_picture() {
        ConfigRig rig;
        const std::string base = rig.values.install_path + "Broken";
        std::ofstream(base + ".icf")
            << "\"Broken\",\"x\",\"0\"\n2\n\"sample.jpg\",8\n\"s.jpg\",8\n";
        std::ofstream(base + ".img") << "notapicturenotapic";
        rig.settings.active_module = "Broken";
        FrmConfiguration window(context_for(rig));
        QCOMPARE(window.theme_list()->currentText(), QStringLiteral("Broken"));
        QVERIFY(!has_sample(window));
        QVERIFY(window.no_themes_label()->isHidden());
    }

    // A choice in the list and the random switch go into the settings; closing saves them
    // and removes the extracted sample files.
    // The last entry asks for a folder (starting where the last one was) and shows its first
    // photo; giving up keeps what was chosen; a theme chosen afterwards ends the photos.
    void the_pictures_folder_entry_asks_for_a_folder_and_shows_its_first_photo() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        const std::string photos = rig.install.path().toStdString() + "/../photos-" +
                                   std::to_string(QCoreApplication::applicationPid());
        testing::make_photo_tree(photos, 3, 2, 1, false, 200, 150);
        std::vector<std::string> asked_from;
        std::optional<std::string> answer;
        ConfigurationContext context = context_for(rig);
        context.choose_photo_folder = [&](QWidget*, const std::string& start) {
            asked_from.push_back(start);
            return answer;
        };
        FrmConfiguration window(std::move(context));
        window.show();
        QComboBox* list = window.theme_list();
        QCOMPARE(list->itemText(list->count() - 1), QStringLiteral("Pictures Folder..."));

        list->setCurrentIndex(list->count() - 1);  // given up at once
        QCOMPARE(asked_from, std::vector<std::string>{""});
        QCOMPARE(list->currentText(), QStringLiteral("Autumn"));
        QVERIFY(rig.settings.photo_folder.empty());

        answer = photos;
        list->setCurrentIndex(list->count() - 1);
        QCOMPARE(rig.settings.photo_folder, photos);
        QVERIFY(has_sample(window));
        QCOMPARE(window.sample_picture()->pixmap().height(), 120);  // upright: a phone photo
        QVERIFY(window.no_themes_label()->isHidden());
        window.close();
        QCOMPARE(rig.store.get("Options", "photo_folder"), photos);

        // Opened again: the entry is chosen and the dialog starts at the folder.
        FrmConfiguration again(context_for(rig));
        QCOMPARE(again.theme_list()->currentText(), QStringLiteral("Pictures Folder..."));
        QVERIFY(has_sample(again));
        again.theme_list()->setCurrentIndex(0);
        QVERIFY(rig.settings.photo_folder.empty());
        std::filesystem::remove_all(photos);
    }

    void a_pictures_folder_without_photos_says_so() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.settings.photo_folder = rig.install.path().toStdString() + "/no-such-folder";
        FrmConfiguration window(context_for(rig));
        QVERIFY(!has_sample(window));
        QCOMPARE(window.no_themes_label()->text(), QStringLiteral("Folder Not Found!"));
        window.theme_list()->setCurrentIndex(0);
        QVERIFY(has_sample(window));
        QVERIFY(window.no_themes_label()->isHidden());
    }

    void choices_are_saved_when_it_closes() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.add_theme("Birds");
        FrmConfiguration window(context_for(rig));
        window.show();
        const int other = 1 - window.theme_list()->currentIndex();
        window.theme_list()->setCurrentIndex(other);
        const std::string chosen = window.theme_list()->itemText(other).toStdString();
        QCOMPARE(rig.settings.active_module, chosen);
        window.random_theme_box()->click();
        QCOMPARE(rig.settings.random_theme, std::string("1"));
        QVERIFY(rig.store.writes.empty());
        QSignalSpy unloaded(&window, &FrmConfiguration::unloaded);
        window.close();
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(rig.store.get("Options", "active_module"), chosen);
        QCOMPARE(rig.store.get("Options", "random_theme"), std::string("1"));
        const auto dir = rig.folders.private_dir();
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            QFAIL(qPrintable("left behind: " + QString::fromStdString(entry.path().string())));
    }

    void the_only_theme_cannot_be_removed() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        FrmConfiguration window(context_for(rig));
        window.remove_button()->click();
        QCOMPARE(rig.messages.size(), size_t(1));
        QCOMPARE(rig.messages[0].title, QStringLiteral("Only 1 theme available!"));
        QCOMPARE(rig.messages[0].text, QStringLiteral("You must keep at least 1 theme available!"));
        QVERIFY(rig.has_file("Autumn.icf") && rig.has_file("Autumn.img"));
    }

    void removal_asks_first_and_no_deletes_nothing() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.add_theme("Birds");
        rig.settings.active_module = "Birds";
        FrmConfiguration window(context_for(rig));
        rig.answers = {false};
        window.remove_button()->click();
        QCOMPARE(rig.messages.size(), size_t(1));
        const MessageSpec& ask = rig.messages[0];
        QCOMPARE(ask.title, QStringLiteral("Remove Theme?"));
        QCOMPARE(ask.text, QStringLiteral("You will not be able to view this theme again if you "
                                          "remove it!\n\nDo you want to remove this theme?\n"));
        QVERIFY(ask.buttons == MessageSpec::Buttons::YesNo);
        QVERIFY(ask.icon == MessageSpec::Icon::Critical);
        QVERIFY(ask.default_no);
        QVERIFY(rig.has_file("Birds.icf") && rig.has_file("Birds.img"));
        QCOMPARE(listed(window).size(), 2);

        rig.answers = {true};
        window.remove_button()->click();
        QVERIFY(!rig.has_file("Birds.icf") && !rig.has_file("Birds.img"));
        QCOMPARE(listed(window), QStringList{"Autumn"});
        QCOMPARE(rig.settings.active_module, std::string("Autumn"));
        QVERIFY(has_sample(window));
    }

    void a_failed_removal_says_so_and_loses_nothing() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.add_theme("Birds");
        ConfigurationContext context = context_for(rig);
        const auto real_rename = context.file_ops.rename;
        context.file_ops.rename = [&](const std::string& from, const std::string& to) {
            return from.ends_with(".img") ? false : real_rename(from, to);
        };
        FrmConfiguration window(std::move(context));
        const QStringList before = listed(window);
        rig.answers = {true};
        window.remove_button()->click();
        QCOMPARE(rig.messages.size(), size_t(2));
        QCOMPARE(rig.messages[1].title, QStringLiteral("File Error"));
        QCOMPARE(rig.messages[1].text, QStringLiteral("Error removing theme data!"));
        QCOMPARE(listed(window), before);
        for (const char* file : {"Autumn.icf", "Autumn.img", "Birds.icf", "Birds.img"})
            QVERIFY2(rig.has_file(file), file);
    }

    // The new theme, once made, is listed, chosen and shown; giving up changes nothing.
    void a_theme_made_from_pictures_is_listed_and_chosen() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.settings.active_module = "Autumn";
        ConfigurationContext context = context_for(rig);
        std::string asked_folder;
        bool give_up = true;
        context.make_theme = [&](QWidget*,
                                 const std::string& folder) -> std::optional<std::string> {
            asked_folder = folder;
            if (give_up) return std::nullopt;
            rig.add_theme("Holiday");
            return std::string("Holiday");
        };
        FrmConfiguration window(std::move(context));
        QVERIFY(window.new_theme_button()->text().startsWith(QStringLiteral("&New Theme")));
        window.new_theme_button()->click();
        QCOMPARE(asked_folder, rig.values.install_path);
        QCOMPARE(window.theme_list()->currentText(), QStringLiteral("Autumn"));
        give_up = false;
        window.new_theme_button()->click();
        QVERIFY(listed(window).contains(QStringLiteral("Holiday")));
        QCOMPARE(window.theme_list()->currentText(), QStringLiteral("Holiday"));
        QCOMPARE(rig.settings.active_module, std::string("Holiday"));
    }

    void get_more_themes_opens_the_installed_page_or_says_why_not() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        FrmConfiguration window(context_for(rig, "/opt/vl/themes-help.html"));
        window.more_themes_button()->click();
        QCOMPARE(rig.desktop.opened_urls,
                 std::vector<std::string>{"file:///opt/vl/themes-help.html"});
        QVERIFY(rig.messages.empty());

        FailingDesktop no_browser;
        ConfigurationContext context = context_for(rig);
        FrmAbout about(no_browser, "/opt/vl/themes-help.html", rig.message_box());
        about.address_button()->click();
        QCOMPARE(rig.messages.size(), size_t(1));
        QCOMPARE(rig.messages[0].text,
                 QStringLiteral("Shell Execute Error. (No default browser?)"));
        QVERIFY(rig.messages[0].buttons == MessageSpec::Buttons::Ok);
        QVERIFY(rig.messages[0].title.isEmpty());  // the default title
    }

    void about_shows_version_and_this_year() {
        ConfigRig rig;
        FrmAbout about(rig.desktop, "", rig.message_box());
        QCOMPARE(about.windowTitle(), QStringLiteral("About... Vistaloom"));
        QVERIFY(about.version_label()->text().contains(
            QRegularExpression("^Version: [1-9]?\\d\\.[1-9]?\\d\\.[1-9]?\\d+$")));
        QVERIFY(
            about.notice_label()->text().contains(QString::number(QDate::currentDate().year())));
        QCOMPARE(
            about.address_button()->toolTip(),
            QStringLiteral(" Click here to visit the Brindlecode home page on the internet! "));
    }

    // The themes page is named by its title, never by where its file lies; a page that is
    // not installed is said to be missing.
    void about_names_the_themes_page_readably() {
        ConfigRig rig;
        const struct {
            std::string page;
            QString name;
        } cases[] = {
            {"/usr/share/vistaloom/themes-help.html", QStringLiteral("Vistaloom Themes")},
            {"", QStringLiteral("(the themes page is not installed)")},
        };
        for (const auto& c : cases) {
            FrmAbout about(rig.desktop, c.page, rig.message_box());
            QCOMPARE(about.address_button()->text(), c.name);
            QVERIFY(about.notice_label()->text().endsWith(QStringLiteral("\n") + c.name));
            QVERIFY(!about.notice_label()->text().contains(QLatin1Char('/')));
        }
    }

    // Cleared, the welcome window's box is stored at once and the window stays away after.
    void welcome_shows_once_and_not_again_when_cleared() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        rig.settings.welcome = "1";
        FrmConfiguration window(context_for(rig));
        bool seen = false;
        when_modal_opens([&](QWidget* modal) {
            auto* welcome = qobject_cast<FrmWelcome*>(modal);
            QVERIFY(welcome);
            seen = true;
            QCOMPARE(welcome->windowTitle(), QStringLiteral("Welcome!"));
            QVERIFY(welcome->show_next_time()->isChecked());
            welcome->show_next_time()->click();
            welcome->close();
        });
        window.show();
        QTRY_VERIFY(seen);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY(window.welcome_shown());
        QCOMPARE(rig.store.get("Options", "welcome"), std::string("0"));
        QCOMPARE(rig.settings.welcome, std::string("0"));
        window.hide();
        window.show();  // activated again: still once per opening

        FrmConfiguration next(context_for(rig));
        next.show();
        QTest::qWait(50);
        QVERIFY(!next.welcome_shown());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void preview_saves_first_and_runs_as_a_preview() {
        ConfigRig rig;
        rig.add_theme("Autumn");
        FrmConfiguration window(context_for(rig));
        window.show();
        window.random_theme_box()->click();
        bool saved_before = false;
        when_modal_opens([&](QWidget* modal) {
            QVERIFY(qobject_cast<FrmMain*>(modal));
            saved_before = rig.store.get("Options", "random_theme") == std::string("1");
        });
        window.preview_button()->click();
        QVERIFY(saved_before);
        QCOMPARE(rig.preview.runs(), 1);
        QVERIFY(rig.desktop.verified_windows.empty());
        QCOMPARE(rig.desktop.cursor_calls, 0);
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(FrmConfigurationTest)
#include "frm_configuration_qt_test.moc"
