#include "ui/screenshot_file.h"

#include <QImage>
#include <QBuffer>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ground/file_replace.h"

#include "startup/output_files.h"

namespace vistaloom {

bool write_screenshot_file(const QImage& image, const std::string& path) {
    // Checked before the run too; a FIFO or device put there since must neither block the
    // exit nor be renamed away (as root, a device node would be replaced).
    const std::string problem = output_file_problem(path);
    if (!problem.empty()) {
        std::fprintf(stderr, "vistaloom: cannot write the screenshot %s: %s\n", path.c_str(),
                     problem.c_str());
        return false;
    }
    // Encoded first, then put in place whole: a full disk must neither leave an empty or
    // half-written picture nor pass for success.
    QByteArray png;
    QBuffer buffer(&png);
    bool ok = buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
    ok = ok && replace_file(path, png.constData(), static_cast<size_t>(png.size()));
    if (!ok)
        std::fprintf(stderr, "vistaloom: cannot write the screenshot %s: %s\n", path.c_str(),
                     std::strerror(errno != 0 ? errno : EIO));
    return ok;
}

}  // namespace vistaloom
