// The sprite-sheet decoder on arbitrary bytes: a picture comes out whole, black, or not at
// all, and its bitmap always matches its stated size.
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "pixels/jpeg_loading.h"

using namespace vistaloom;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::scratch_folder() + "sheet.jpg";
    fuzz::write_file(path, data, size);
    cDIBSection dib;
    DecodeJpegToDib(dib, path);
    if (dib.width() < 0 || dib.height() < 0 ||
        (dib.width() > 0) != (dib.DIBSectionBitsPtr() != nullptr))
        std::abort();
    return 0;
}
