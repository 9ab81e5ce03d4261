#include "platform/install_path_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <ostream>

#include "platform/qsettings_backend.h"
#include "startup/settings_store.h"

namespace vistaloom {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool has_theme(const QString& folder) {
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::NoSort);
    for (const QString& name : files)
        if (name.size() > 4 &&
            name.right(4).compare(QStringLiteral(".icf"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Why `folder` gives no themes; empty when it holds at least one.
std::string why_no_themes(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists()) return "the folder does not exist";
    if (!info.isDir()) return "it is not a folder";
    if (!info.isReadable() || !info.isExecutable()) return "the folder cannot be read";
    if (!has_theme(folder)) return "the folder holds no theme (no .icf file)";
    return {};
}

std::string read_small_file(const QString& path) {
    QFile file(path);
    if (!usable_settings_file(path) || !file.open(QIODevice::ReadOnly)) return {};
    return file.read(1 << 20).toStdString();
}

}  // namespace

std::string raw_install_path_line(const std::string& ini_text) {
    bool in_config = false;
    size_t start = 0;
    while (start <= ini_text.size()) {
        size_t end = ini_text.find('\n', start);
        if (end == std::string::npos) end = ini_text.size();
        const std::string line = trimmed(ini_text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            in_config = line == "[Config]";
            continue;
        }
        if (!in_config || line.rfind(kInstallPathKey, 0) != 0) continue;
        const std::string rest = trimmed(line.substr(std::string(kInstallPathKey).size()));
        if (!rest.empty() && rest.front() == '=') return trimmed(rest.substr(1));
    }
    return {};
}

std::string raw_value_hint(const std::string& raw_value) {
    std::string hints;
    bool quoted = false;
    for (char c : raw_value) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            hints +=
                "an unquoted ';' starts a comment and cuts the path there; put the path in "
                "double quotes";
            break;
        }
    }
    // Stateless: a broken sequence at the very end counts as an error, not as a pending one.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = utf8(QByteArray::fromStdString(raw_value));
    if (utf8.hasError()) {
        if (!hints.empty()) hints += "; ";
        hints += "the line is not UTF-8 text, which the settings file must be";
    }
    return hints;
}

std::optional<std::string> InstallPathCheck::read(const std::string& application,
                                                  const std::string& section,
                                                  const std::string& key) {
    if (section == kConfigSection && key == kInstallPathKey) return read_install_path(application);
    return files_.read(application, section, key);
}

void InstallPathCheck::write(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) {
    files_.write(application, section, key, value);
}

std::optional<std::string> InstallPathCheck::read_install_path(const std::string& application) {
    const QString source = files_.source_file(application, kConfigSection, kInstallPathKey);
    std::optional<std::string> value = files_.read(application, kConfigSection, kInstallPathKey);
    // Nothing stored is no mistake: the installed themes may still be found elsewhere, and
    // start-up says so when they are not.
    if (!value || value->empty() || source.isEmpty()) return value;
    QString folder = QString::fromStdString(*value);
    // Relative to the file that says it, as an installer writing "themes" next to its
    // settings means; the folder the saver happens to be started in has nothing to do with it.
    if (QDir::isRelativePath(folder))
        folder = QDir::cleanPath(QFileInfo(source).absoluteDir().filePath(folder));
    const std::string why = why_no_themes(folder);
    if (!why.empty()) {
        diagnostics_ << "vistaloom: no themes: " << kInstallPathKey << " in "
                     << source.toStdString() << " reads \"" << *value << "\"";
        if (folder.toStdString() != *value) diagnostics_ << " (" << folder.toStdString() << ")";
        diagnostics_ << ": " << why;
        const std::string hint = raw_value_hint(raw_install_path_line(read_small_file(source)));
        if (!hint.empty()) diagnostics_ << "; " << hint;
        diagnostics_ << "\n";
    }
    return folder.toStdString();
}

}  // namespace vistaloom
