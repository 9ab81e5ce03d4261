#include "ui/screenshot_file.h"

#include <QImage>
#include <QSaveFile>
#include <cstdio>

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
    QSaveFile file(QString::fromStdString(path));
    // A temporary name renamed at commit(), which fails if any write failed.
    bool ok = file.open(QIODevice::WriteOnly) && image.save(&file, "PNG");
    if (ok) {
        ok = file.commit();
    } else {
        file.cancelWriting();
    }
    if (!ok)
        std::fprintf(stderr, "vistaloom: cannot write the screenshot %s: %s\n", path.c_str(),
                     file.errorString().toLocal8Bit().constData());
    return ok;
}

}  // namespace vistaloom
