#include "platform/autostart_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "ground/file_replace.h"

namespace vistaloom {

namespace {

// An Exec argument in double quotes with the characters reserved inside quotes escaped, and
// a field code's % doubled, so that any path stays one word; then the value escapes of the
// entry file itself (a backslash doubled, a line break written as \n).
std::string quoted_argument(const std::string& word) {
    std::string exec = "\"";
    for (char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') exec += '\\';
        if (c == '%') exec += '%';
        exec += c;
    }
    exec += '"';
    std::string value;
    for (char c : exec) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else
            value += c;
    }
    return value;
}

bool key_says_off(const QSettings& entry, const char* key, const char* off_value) {
    return entry.value(QString::fromLatin1(key))
               .toString()
               .compare(QString::fromLatin1(off_value), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::string autostart_entry_path() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (config + QStringLiteral("/autostart/vistaloom-watch.desktop")).toStdString();
}

std::string autostart_entry_text(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vistaloom Idle Watcher\n"
           "Comment=Starts the Vistaloom screen saver when the computer has been idle\n"
           "Exec=" +
           quoted_argument(program) +
           " --watch\n"
           "Icon=preferences-desktop-screensaver\n"
           "NoDisplay=true\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool autostart_entry_enabled() {
    const QString path = QString::fromStdString(autostart_entry_path());
    if (!QFileInfo(path).isFile()) return false;
    QSettings entry(path, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    return !key_says_off(entry, "Hidden", "true") &&
           !key_says_off(entry, "X-GNOME-Autostart-enabled", "false");
}

bool set_autostart_entry(bool on, const std::string& program, std::string& why) {
    const QString path = QString::fromStdString(autostart_entry_path());
    if (!on) {
        if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
        why = "could not remove " + path.toStdString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        why = "could not make the folder " + QFileInfo(path).absolutePath().toStdString();
        return false;
    }
    const std::string text = autostart_entry_text(program);
    if (replace_file(path.toStdString(), text.data(), text.size())) return true;
    why = "could not write " + path.toStdString();
    return false;
}

}  // namespace vistaloom
