#include "platform/theme_folder_search.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "startup/settings_store.h"

namespace vistaloom {

namespace {

QString themes_under(const QString& data_folder) {
    return QDir(data_folder).filePath(QStringLiteral("vistaloom/themes"));
}

bool holds_a_theme(const QString& folder) {
    return !QDir(folder).entryList({QStringLiteral("*.icf")}, QDir::Files).isEmpty();
}

}  // namespace

std::optional<QString> find_theme_folder(const QStringList& data_folders) {
    std::optional<QString> first_existing;
    for (const QString& data_folder : data_folders) {
        if (data_folder.isEmpty()) continue;
        const QString folder = themes_under(data_folder);
        if (!QFileInfo(folder).isDir()) continue;
        // An empty themes folder left behind in the user's data folder must not hide the
        // themes a package installed.
        if (holds_a_theme(folder)) return folder + QLatin1Char('/');
        if (!first_existing) first_existing = folder + QLatin1Char('/');
    }
    return first_existing;
}

QStringList theme_data_folders() {
    // QStandardPaths applies the XDG defaults when the variables are unset or empty.
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    if (QCoreApplication::instance()) {
        const QString beside =
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share"));
        if (!folders.contains(beside)) folders.append(beside);
    }
    return folders;
}

ThemeFolderSearch::ThemeFolderSearch(SettingsBackend& store, QStringList data_folders)
    : store_(store), data_folders_(std::move(data_folders)) {}

std::optional<std::string> ThemeFolderSearch::read(const std::string& application,
                                                   const std::string& section,
                                                   const std::string& key) {
    std::optional<std::string> stored = store_.read(application, section, key);
    const bool is_install_path =
        application == kSettingsApplication && section == kConfigSection && key == kInstallPathKey;
    if (!is_install_path || (stored && !stored->empty())) return stored;
    if (auto folder = find_theme_folder(data_folders_)) return folder->toStdString();
    return stored;
}

void ThemeFolderSearch::write(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) {
    store_.write(application, section, key, value);
}

}  // namespace vistaloom
