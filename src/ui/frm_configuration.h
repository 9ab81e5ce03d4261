#pragma once
#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "saver/theme_configuration.h"
#include "theme_files/theme_items.h"
#include "ui/message_boxes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace vistaloom {

class Desktop;
class SaverPreview;
class SettingsBackend;
class UserFolders;
struct SaverSettings;
struct StartupValues;

// The folder dialog, starting at `start`, or at the user's pictures folder when it is empty.
std::optional<std::string> ask_for_photo_folder(QWidget* parent, const std::string& start);

// What the configuration window works with. Message boxes and the file operations of a
// removal can be replaced, so tests answer the boxes and make a removal fail.
struct ConfigurationContext {
    SaverSettings& settings;
    StartupValues& values;
    SettingsBackend& backend;
    UserFolders& folders;
    Desktop& desktop;
    SaverPreview& preview;
    std::string help_page;  // the installed themes page
    MessageBoxFn message_box = show_message_box;
    ThemeFileOps file_ops = real_theme_file_ops();
    // Makes a theme from a folder of pictures in the themes folder; the new theme's name,
    // or nothing when the user gave up.
    std::function<std::optional<std::string>(QWidget* parent, const std::string& themes_folder)>
        make_theme = {};
    // Asks for the photo folder, starting at `start`; nothing when the user gave up.
    std::function<std::optional<std::string>(QWidget* parent, const std::string& start)>
        choose_photo_folder = ask_for_photo_folder;
};

// The theme configuration window: the theme list (and, last, the photo library) with the
// sample picture of the active theme or the library's first photo, removal, the random-theme
// switch, and the doors to the options dialog, the about window, a preview and the themes page.
// Closing it, however, saves the settings.
class FrmConfiguration : public QDialog {
    Q_OBJECT
  public:
    explicit FrmConfiguration(ConfigurationContext context, QWidget* parent = nullptr);

    // Fills the list and selects the active theme; shows the active theme's sample.
    void get_modules();
    void show_module();

    // For tests and the screenshots.
    QComboBox* theme_list() const { return combo_; }
    QLabel* sample_picture() const { return sample_; }
    QLabel* no_themes_label() const { return no_themes_; }
    QCheckBox* random_theme_box() const { return random_; }
    QPushButton* remove_button() const { return remove_; }
    QPushButton* more_themes_button() const { return more_themes_; }
    QPushButton* new_theme_button() const { return new_theme_; }
    QPushButton* about_button() const { return about_; }
    QPushButton* options_button() const { return options_; }
    QPushButton* preview_button() const { return preview_button_; }
    QPushButton* exit_button() const { return exit_; }
    bool welcome_shown() const { return welcome_shown_; }

  signals:
    // The window has closed and its settings are saved.
    void unloaded();

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* make_theme_group();
    QLayout* make_window_buttons();
    void form_activate();
    void theme_chosen(int index);
    void photos_chosen();
    void show_photo_sample();
    int photos_entry() const;
    void remove_clicked();
    void new_theme_clicked();
    void show_about();
    void show_options();
    void show_preview();

    ConfigurationContext context_;
    ConfigThemeList list_;
    ThemeItems items_;
    QComboBox* combo_ = nullptr;
    QLabel* sample_ = nullptr;
    QLabel* no_themes_ = nullptr;
    QCheckBox* random_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* more_themes_ = nullptr;
    QPushButton* new_theme_ = nullptr;
    QPushButton* about_ = nullptr;
    QPushButton* options_ = nullptr;
    QPushButton* preview_button_ = nullptr;
    QPushButton* exit_ = nullptr;
    bool welcome_shown_ = false;
    bool activation_queued_ = false;
    bool unloaded_ = false;
};

}  // namespace vistaloom
