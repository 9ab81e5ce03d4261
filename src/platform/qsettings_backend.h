#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "ground/settings_backend.h"

namespace vistaloom {

// True when `file` may be handed to QSettings: it does not exist yet, or it is a regular
// file (links to one included). A FIFO or a device would block QSettings in open() for ever,
// deaf to SIGTERM; such a file reads as empty and is never written.
bool usable_settings_file(const QString& file);

// The settings store as INI files: one file per application, "<application>.conf", in the
// user's configuration folder, its sections as groups. A key the user's file lacks is looked
// up in the same file name in the system configuration folders, first folder first; that is
// where an installer leaves install_path for every user. Writes go to the user's file only,
// through a temporary file and a rename.
class QtSettingsBackend : public SettingsBackend {
  public:
    // $XDG_CONFIG_HOME (default ~/.config) and $XDG_CONFIG_DIRS (default /etc/xdg), read now.
    QtSettingsBackend();
    QtSettingsBackend(QString user_folder, QStringList system_folders);

    std::optional<std::string> read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;

    QString user_file(const std::string& application) const;
    // The file a read of this key takes its value from: the user's file, else the first
    // system file that has it. Empty when none has it.
    QString source_file(const std::string& application, const std::string& section,
                        const std::string& key) const;
    const QStringList& system_folders() const { return system_folders_; }

  private:
    QString user_folder_;
    QStringList system_folders_;
};

}  // namespace vistaloom
