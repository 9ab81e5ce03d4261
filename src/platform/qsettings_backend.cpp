#include "platform/qsettings_backend.h"

#include <sys/stat.h>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <cerrno>

namespace vistaloom {

namespace {

QString conf_name(const std::string& application) {
    return QString::fromStdString(application) + QStringLiteral(".conf");
}

// A hand-edited value may not be a plain text: unquoted commas make a list, "@Type(...)"
// makes some other value. A list is joined back with its commas; anything that has no text
// form counts as missing, so its default applies.
std::optional<std::string> read_text(const QString& file, const std::string& section,
                                     const std::string& key) {
    if (!usable_settings_file(file)) return std::nullopt;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(QString::fromStdString(section));
    QVariant value = settings.value(QString::fromStdString(key));
    if (!value.isValid()) return std::nullopt;
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    if (!value.canConvert<QString>()) return std::nullopt;
    return value.toString().toStdString();
}

}  // namespace

bool usable_settings_file(const QString& file) {
    struct stat status {};
    if (stat(QFile::encodeName(file).constData(), &status) != 0) return errno == ENOENT;
    return S_ISREG(status.st_mode);
}

QtSettingsBackend::QtSettingsBackend()
    : user_folder_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) {
    system_folders_ = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    system_folders_.removeAll(user_folder_);
}

QtSettingsBackend::QtSettingsBackend(QString user_folder, QStringList system_folders)
    : user_folder_(std::move(user_folder)), system_folders_(std::move(system_folders)) {}

QString QtSettingsBackend::user_file(const std::string& application) const {
    return QDir(user_folder_).filePath(conf_name(application));
}

QString QtSettingsBackend::source_file(const std::string& application, const std::string& section,
                                      const std::string& key) const {
    QStringList files{user_file(application)};
    for (const QString& folder : system_folders_) files << QDir(folder).filePath(conf_name(application));
    for (const QString& file : files) {
        if (!QFile::exists(file)) continue;
        if (read_text(file, section, key)) return file;
    }
    return {};
}

std::optional<std::string> QtSettingsBackend::read(const std::string& application,
                                                   const std::string& section,
                                                   const std::string& key) {
    const QString file = source_file(application, section, key);
    if (file.isEmpty()) return std::nullopt;
    return read_text(file, section, key);
}

void QtSettingsBackend::write(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) {
    if (!usable_settings_file(user_file(application))) return;
    QSettings settings(user_file(application), QSettings::IniFormat);
    settings.beginGroup(QString::fromStdString(section));
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
    settings.endGroup();
    // Written now, through QSettings' temporary file and rename, so a crash later in the
    // session cannot lose what a window saved.
    settings.sync();
}

}  // namespace vistaloom
