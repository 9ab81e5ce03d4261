#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "ground/settings_backend.h"

namespace vistaloom {

// The first "<folder>/vistaloom/themes/" among `data_folders` that holds a theme (an .icf
// file); failing that the first one that exists at all; nullopt when there is none. The
// result ends with '/'.
std::optional<QString> find_theme_folder(const QStringList& data_folders);

// Where an installed program looks for its themes: $XDG_DATA_HOME, then $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share), then the "share" folder beside the program's own
// "bin" folder, so an install under any prefix finds what it installed.
QStringList theme_data_folders();

// The settings store with one more place to look for the themes folder. A packaged program
// has no settings file of its own, and the folder its package filled is in the desktop's data
// folders, so a user without install_path still gets the installed themes. An install_path
// the user (or an administrator) stored always wins. Nothing is written: the folder found is
// looked up again at every start, so a package installed later is found too.
class ThemeFolderSearch : public SettingsBackend {
  public:
    ThemeFolderSearch(SettingsBackend& store, QStringList data_folders);

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;

  private:
    SettingsBackend& store_;
    QStringList data_folders_;
};

}  // namespace vistaloom
