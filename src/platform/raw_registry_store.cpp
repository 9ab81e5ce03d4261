#include "platform/raw_registry_store.h"

#include "platform/qsettings_backend.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace vistaloom {

namespace {

const QString kDwordPrefix = QStringLiteral("dword:");
const QString kStringPrefix = QStringLiteral("sz:");

QString root_name(uint32_t root) {
    switch (root) {
        case HKEY_CLASSES_ROOT:
            return QStringLiteral("HKEY_CLASSES_ROOT");
        case HKEY_CURRENT_USER:
            return QStringLiteral("HKEY_CURRENT_USER");
        case HKEY_LOCAL_MACHINE:
            return QStringLiteral("HKEY_LOCAL_MACHINE");
        case HKEY_USERS:
            return QStringLiteral("HKEY_USERS");
        case HKEY_PERFORMANCE_DATA:
            return QStringLiteral("HKEY_PERFORMANCE_DATA");
        case HKEY_CURRENT_CONFIG:
            return QStringLiteral("HKEY_CURRENT_CONFIG");
        case HKEY_DYN_DATA:
            return QStringLiteral("HKEY_DYN_DATA");
        default:
            return QStringLiteral("root_%1").arg(root, 8, 16, QLatin1Char('0'));
    }
}

// Sub-keys are separated by backslashes; QSettings nests groups on slashes.
QString group_of(uint32_t root, const std::string& sub_key) {
    QString path = QString::fromStdString(sub_key);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return root_name(root) + QLatin1Char('/') + path;
}

// A value name with a separator in it would land in another group; such names are not
// stored at all.
bool usable_value_name(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

std::optional<uint32_t> dword_of(const QString& text) {
    if (!text.startsWith(kDwordPrefix)) return std::nullopt;
    QStringView digits = QStringView(text).mid(kDwordPrefix.size());
    if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
    bool ok = false;
    uint32_t number = digits.toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return number;
}

}  // namespace

QtRawRegistry::QtRawRegistry()
    : QtRawRegistry(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                        .filePath(QStringLiteral("vistaloom/registry.conf"))) {}

QtRawRegistry::QtRawRegistry(QString file) : file_(std::move(file)) {}

bool QtRawRegistry::key_exists(uint32_t root, const std::string& sub_key) {
    if (sub_key.empty()) return true;  // the root key itself is always there
    if (!usable_settings_file(file_)) return false;
    QSettings settings(file_, QSettings::IniFormat);
    settings.beginGroup(group_of(root, sub_key));
    return !settings.allKeys().isEmpty();
}

std::optional<RawValue> QtRawRegistry::query(uint32_t root, const std::string& sub_key,
                                             const std::string& value_name) {
    if (!usable_value_name(value_name) || !usable_settings_file(file_)) return std::nullopt;
    QSettings settings(file_, QSettings::IniFormat);
    settings.beginGroup(group_of(root, sub_key));
    QVariant stored = settings.value(QString::fromStdString(value_name));
    if (!stored.isValid()) return std::nullopt;
    QString text;
    if (stored.typeId() == QMetaType::QStringList) {
        text = stored.toStringList().join(QLatin1Char(','));
    } else if (stored.canConvert<QString>()) {
        text = stored.toString();
    } else {
        return std::nullopt;
    }

    RawValue value;
    if (auto number = dword_of(text)) {
        value.type = RawValueType::Dword;
        for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(*number >> (8 * i)));
        return value;
    }
    if (text.startsWith(kStringPrefix)) text.remove(0, kStringPrefix.size());
    QByteArray bytes = text.toUtf8();
    value.type = RawValueType::String;
    value.data.assign(bytes.begin(), bytes.end());
    value.data.push_back(0);
    return value;
}

void QtRawRegistry::set_string(uint32_t root, const std::string& sub_key,
                               const std::string& value_name, const std::string& value) {
    if (!usable_value_name(value_name) || !usable_settings_file(file_)) return;
    QString text = QString::fromStdString(value);
    if (text.startsWith(kDwordPrefix) || text.startsWith(kStringPrefix))
        text.prepend(kStringPrefix);
    QSettings settings(file_, QSettings::IniFormat);
    settings.beginGroup(group_of(root, sub_key));
    settings.setValue(QString::fromStdString(value_name), text);
    settings.endGroup();
    settings.sync();
}

}  // namespace vistaloom
