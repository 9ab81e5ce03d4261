#include "pixels/jpeg_loading.h"

#include <turbojpeg.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "theme_files/theme_files.h"

namespace vistaloom {

namespace {

// Reads the whole file, or nothing when it cannot be read or is larger than the cap.
bool read_capped(const std::string& path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxJpegFileBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(bytes.data()), size));
}

struct Decompressor {
    tjhandle handle = tjInitDecompress();
    ~Decompressor() {
        if (handle) tjDestroy(handle);
    }
};

}  // namespace

bool DecodeJpegToDib(cDIBSection& target, const std::string& path) {
    std::vector<unsigned char> jpeg;
    if (!read_capped(path, jpeg)) return false;
    Decompressor decoder;
    if (!decoder.handle) return false;

    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(decoder.handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                            &width, &height, &subsampling, &colorspace) != 0) {
        return false;
    }
    if (width > kMaxJpegSide || height > kMaxJpegSide) return false;
    if (int64_t{width} * height > static_cast<int64_t>(jpeg.size()) * kMaxJpegPixelsPerByte)
        return false;
    if (!target.Create(width, height)) return false;

    // Warnings (truncated or corrupt data) stop the decoding: a picture that only partly
    // decoded is no sprite sheet. The scan limit keeps a crafted progressive file from
    // spinning for minutes.
    const int flags = TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    const int result = tjDecompress2(
        decoder.handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()),
        target.DIBSectionBitsPtr(), width, target.BytesPerScanLine(), height, TJPF_BGR, flags);
    if (result == 0) return true;
    // Whatever the decoder wrote before it gave up is wiped: a failed sheet is black.
    std::memset(target.DIBSectionBitsPtr(), 0,
                static_cast<size_t>(target.BytesPerScanLine()) * static_cast<size_t>(height));
    return false;
}

void load_theme_pictures(SceneSurfaces& surfaces, const ThemeItems& items,
                         const std::string& install_path, const std::string& active_module) {
    const std::string path = extract_theme_item(items, install_path + active_module, 2);
    cDIBSection sheet;
    // "False" is the extractor's failure, not a file name to open.
    if (path != "False") DecodeJpegToDib(sheet, path);
    surfaces.sprite.resize(sheet.width(), sheet.height());
    sheet.PaintPicture(surfaces.sprite, 0, 0, -1, -1, 0, 0, SRCCOPY);
    surfaces.work = surfaces.sprite;
    sheet.ClearUp();
}

}  // namespace vistaloom
