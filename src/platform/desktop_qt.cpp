#include "platform/desktop_qt.h"

#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <xcb/dpms.h>
#include <cstdlib>
#include <xcb/xcb.h>
#include <cstring>
#include <optional>

#include "pixels/system_colors.h"
#include "platform/surface_image.h"
#include "platform/system/power_supply.h"
#include "platform/x11_connection.h"
#include "pixels/surface.h"
#include "ground/numeric_text.h"
#include "ground/raw_registry.h"

namespace vistaloom {

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";

std::optional<std::string> registry_text(RawRegistry* registry, const char* name) {
    if (registry == nullptr) return std::nullopt;
    auto value = registry->query(HKEY_CURRENT_USER, kDesktopKey, name);
    if (!value) return std::nullopt;
    if (value->type == RawValueType::Dword) {
        uint32_t n = 0;
        std::memcpy(&n, value->data.data(), std::min<size_t>(value->data.size(), sizeof n));
        return std::to_string(n);
    }
    std::string text(value->data.begin(), value->data.end());
    // Stored string data ends in its zero byte; anything after a zero is not part of the text.
    if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
}

QStringList to_qt(const std::vector<std::string>& args) {
    QStringList out;
    for (const auto& a : args) out << QString::fromStdString(a);
    return out;
}

// Which desktop family this session belongs to, from XDG_CURRENT_DESKTOP (a colon list).
bool desktop_is(const QStringList& names) {
    const QString current = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    for (const auto& part : current.split(':', Qt::SkipEmptyParts)) {
        for (const auto& n : names) {
            if (part.contains(n)) return true;
        }
    }
    return false;
}

}  // namespace

DesktopQt::DesktopQt(RawRegistry* registry, DesktopTools tools)
    : registry_(registry), tools_(std::move(tools)) {}

DesktopQt::~DesktopQt() {
    // Never leave the pointer hidden behind when the saver goes away early.
    if (override_set_ && QGuiApplication::instance() != nullptr)
        QGuiApplication::restoreOverrideCursor();
}

int DesktopQt::show_cursor(bool show) {
    cursor_count_ += show ? 1 : -1;
    const bool hide = cursor_count_ < 0;
    if (QGuiApplication::instance() != nullptr && hide != override_set_) {
        if (hide) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        } else {
            QGuiApplication::restoreOverrideCursor();
        }
        override_set_ = hide;
    }
    return cursor_count_;
}

// Linux desktops have no "a screen saver is running" switch to flip: the screen-saver daemon
// that started us already knows.
void DesktopQt::set_screen_saver_running(bool) {}

int32_t DesktopQt::platform_id() {
    return 2;
}

// The password belongs to the session's locker, not to us; the password gate never runs with
// platform 2, and should it be asked anyway it lets the saver end.
int DesktopQt::verify_screen_save_password(int64_t) {
    return 1;
}

std::string DesktopQt::wallpaper_placement() const {
    if (numeric_int(registry_text(registry_, "TileWallpaper").value_or("0")) != 0) return "tiled";
    const auto style = registry_text(registry_, "WallpaperStyle");
    if (!style) return "stretched";
    switch (numeric_int(*style)) {
        case 0:
            return "centered";
        case 6:
            return "scaled";
        case 10:
            return "zoom";
        default:
            return "stretched";
    }
}

std::string DesktopQt::find_tool(const std::string& program) const {
    QStringList paths;
    for (const auto& p : tools_.tool_path) paths << QString::fromStdString(p);
    return QStandardPaths::findExecutable(QString::fromStdString(program), paths).toStdString();
}

bool DesktopQt::run_tool(const std::string& program, const std::vector<std::string>& args,
                         std::string* output) const {
    const std::string exe = find_tool(program);
    if (exe.empty()) return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QString::fromStdString(exe), to_qt(args));
    if (!process.waitForStarted(tools_.timeout_ms)) return false;
    if (!process.waitForFinished(tools_.timeout_ms)) {
        // A tool that hangs (a desktop bus that never answers) must not hang the saver's exit.
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (output != nullptr) *output = process.readAllStandardOutput().toStdString();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool DesktopQt::apply_gnome(const std::string& path, const std::string& placement) const {
    const std::string schema = "org.gnome.desktop.background";
    std::string writable;
    if (!run_tool("gsettings", {"writable", schema, "picture-uri"}, &writable)) return false;
    if (QString::fromStdString(writable).trimmed() != "true") return false;
    const std::string uri =
        QUrl::fromLocalFile(QString::fromStdString(path)).toString().toStdString();
    const std::string options = placement == "tiled" ? "wallpaper" : placement;
    if (!run_tool("gsettings", {"set", schema, "picture-options", options})) return false;
    if (!run_tool("gsettings", {"set", schema, "picture-uri", uri})) return false;
    // Only newer GNOME has a separate dark-style picture; older ones refuse the key.
    run_tool("gsettings", {"set", schema, "picture-uri-dark", uri});
    return true;
}

bool DesktopQt::apply_xfce(const std::string& path, const std::string& placement) const {
    std::string listing;
    if (!run_tool("xfconf-query", {"-c", "xfce4-desktop", "-l"}, &listing)) return false;
    const char* style = placement == "centered" ? "1"
                        : placement == "tiled"  ? "2"
                        : placement == "scaled" ? "4"
                        : placement == "zoom"   ? "5"
                                                : "3";
    // Xfce keeps one picture per monitor and workspace; set every one so the picture shows
    // wherever the user looks.
    bool any = false;
    const QString suffix = "/last-image";
    for (const auto& line : QString::fromStdString(listing).split('\n', Qt::SkipEmptyParts)) {
        const QString property = line.trimmed();
        if (!property.endsWith(suffix)) continue;
        const std::string base = property.left(property.size() - suffix.size()).toStdString();
        if (!run_tool("xfconf-query",
                      {"-c", "xfce4-desktop", "-p", property.toStdString(), "-s", path})) {
            continue;
        }
        run_tool("xfconf-query", {"-c", "xfce4-desktop", "-p", base + "/image-style", "-s", style});
        any = true;
    }
    return any;
}

bool DesktopQt::apply_feh(const std::string& path, const std::string& placement) const {
    const char* option = placement == "centered" ? "--bg-center"
                         : placement == "tiled"  ? "--bg-tile"
                         : placement == "scaled" ? "--bg-max"
                         : placement == "zoom"   ? "--bg-fill"
                                                 : "--bg-scale";
    return run_tool("feh", {option, path});
}

bool DesktopQt::set_wallpaper(const std::string& path) {
    // Telling the desktop about a file that is not there would leave it showing nothing.
    if (path.empty() || !QFileInfo(QString::fromStdString(path)).isFile()) return false;
    const std::string absolute =
        QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    const std::string placement = wallpaper_placement();
    if (desktop_is({"xfce"}) && apply_xfce(absolute, placement)) return true;
    if (desktop_is({"gnome", "unity", "budgie", "pantheon", "ubuntu"}) &&
        apply_gnome(absolute, placement)) {
        return true;
    }
    // A plain window manager draws whatever is on the root window.
    return apply_feh(absolute, placement);
}

bool DesktopQt::copy_to_clipboard(const Surface& picture) {
    if (QGuiApplication::instance() == nullptr || picture.empty()) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    // The surface's pixels are exactly QImage::Format_RGB32; copy() detaches from our memory
    // because the clipboard outlives the surface.
    clipboard->setImage(wrap(picture).copy());
    return true;
}

bool DesktopQt::open_url(const std::string& url) {
    if (QGuiApplication::instance() == nullptr || url.empty()) return false;
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url)));
}

// Linux desktops have no system colour table the old scheme could be read from; the classic
// one stands in.
bool DesktopQt::display_on() {
    X11Connection* x11 = qGuiApp ? X11Connection::for_toolkit() : nullptr;
    if (x11 == nullptr || !x11->alive()) return true;  // not on X11: nothing tells us, so keep drawing
    xcb_connection_t* c = x11->get();
    // A request of an extension the server lacks would break the whole connection.
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_dpms_id);
    if (extension == nullptr || !extension->present) return true;
    xcb_dpms_info_reply_t* info = xcb_dpms_info_reply(c, xcb_dpms_info(c), nullptr);
    if (info == nullptr) return true;  // no DPMS extension: the display is never powered down
    const bool on = !info->state || info->power_level == XCB_DPMS_DPMS_MODE_ON;
    std::free(info);
    return on;
}

bool DesktopQt::on_battery() {
    return on_battery_power();
}

std::string DesktopQt::time_designator(bool pm) {
    const QLocale locale = QLocale::system();
    return (pm ? locale.pmText() : locale.amText()).toStdString();
}

uint32_t DesktopQt::system_color(int index) {
    return classic_system_color(index);
}

}  // namespace vistaloom
