#include "platform/desktop_motion.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>

namespace vistaloom {

namespace {

// Asking must never hold up the start of the saver for long.
constexpr int kBusTimeoutMs = 400;

bool session_bus_present() {
    // main() turns a missing address into one that cannot start a bus; only a real one counts.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address == nullptr || *address == '\0' || std::strncmp(address, "disabled:", 9) == 0)
        return false;
    return QDBusConnection::sessionBus().isConnected();
}

// The value may come wrapped once (ReadOne) or twice (the older Read).
std::optional<uint32_t> unwrap_uint(QVariant value) {
    for (int depth = 0; depth < 3 && value.canConvert<QDBusVariant>(); ++depth)
        value = value.value<QDBusVariant>().variant();
    bool ok = false;
    const uint32_t number = value.toUInt(&ok);
    if (!ok) return std::nullopt;
    return number;
}

std::optional<uint32_t> read_portal() {
    for (const char* method : {"ReadOne", "Read"}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Settings"), QString::fromLatin1(method));
        call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("reduced-motion");
        const QDBusMessage reply =
            QDBusConnection::sessionBus().call(call, QDBus::Block, kBusTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            return unwrap_uint(reply.arguments().first());
        // No portal at all: the older method will not be there either.
        if (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<bool> read_gnome() {
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (exe.isEmpty()) return std::nullopt;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(exe, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                        QStringLiteral("enable-animations")});
    if (!process.waitForFinished(kBusTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    const QString answer = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (answer == QStringLiteral("false")) return false;
    if (answer == QStringLiteral("true")) return true;
    return std::nullopt;
}

std::optional<double> read_kde() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return DesktopMotion::read_kde_duration((folder + QStringLiteral("/kdeglobals")).toStdString());
}

}  // namespace

bool wants_reduced_motion(const MotionAnswers& answers) {
    if (answers.portal && *answers.portal == 1) return true;
    if (answers.gnome_animations && !*answers.gnome_animations) return true;
    return answers.kde_duration && *answers.kde_duration == 0.0;
}

DesktopMotion::DesktopMotion() : readers_{session_bus_present, read_portal, read_gnome, read_kde} {}

bool DesktopMotion::reduced_motion_wanted() {
    MotionAnswers answers;
    answers.kde_duration = readers_.kde();
    if (readers_.session_bus_present()) {
        answers.portal = readers_.portal();
        // GNOME's setting lives in dconf, which gsettings may only reach over the bus.
        answers.gnome_animations = readers_.gnome();
    }
    return wants_reduced_motion(answers);
}

std::optional<double> DesktopMotion::read_kde_duration(const std::string& kdeglobals_path) {
    const QString path = QString::fromStdString(kdeglobals_path);
    if (!QFileInfo::exists(path)) return std::nullopt;
    QSettings file(path, QSettings::IniFormat);
    const QVariant value = file.value(QStringLiteral("KDE/AnimationDurationFactor"));
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    const double factor = value.toDouble(&ok);
    if (!ok) return std::nullopt;
    return factor;
}

}  // namespace vistaloom
