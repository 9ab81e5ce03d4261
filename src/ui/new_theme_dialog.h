#pragma once
#include <QDialog>
#include <optional>
#include <string>

#include "theme_maker/theme_maker.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vistaloom {

// Asks for a folder of photos and a name for the theme made from them. OK is refused, with
// the reason shown in the dialog, while the folder is missing or the name cannot name a new
// theme in `themes_folder` (not a plain file name, or a theme of that name is there).
class NewThemeDialog : public QDialog {
    Q_OBJECT
  public:
    explicit NewThemeDialog(std::string themes_folder, QWidget* parent = nullptr);

    std::string picture_folder() const;
    std::string theme_name() const;
    // Why OK cannot be taken now; empty when it can.
    QString problem() const;

    void accept() override;

  private:
    void choose_folder();
    void show_problem();

    std::string themes_folder_;
    QLineEdit* folder_edit_;
    QLineEdit* name_edit_;
    QLabel* problem_label_;
    QPushButton* ok_button_;
};

// themes_folder + name, whether or not the folder ends with a separator.
std::string theme_base_path_in(const std::string& themes_folder, const std::string& name);

// Makes the theme with a progress dialog whose Cancel stops it; a cancelled or failed
// making leaves nothing in the themes folder.
ThemeMakeResult make_theme_with_progress(QWidget* parent, const ThemeMakeRequest& request);

// The "New Theme From Pictures" action of the configuration window: the dialog, the making
// with progress, then a message for what was skipped or what went wrong. Returns the new
// theme's name, for the window to list and select, or nothing when no theme was made.
std::optional<std::string> make_theme_from_pictures(QWidget* parent,
                                                    const std::string& themes_folder);

}  // namespace vistaloom
