#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {

class Desktop;
class RandomSource;

// The plain rectangle copy, the only raster operation the saver uses.
inline constexpr uint32_t SRCCOPY = 0x00CC0020u;

// A 24-bit bottom-up bitmap in memory of its own, laid out as the JPEG decoder writes it:
// `height` rows of BytesPerScanLine() bytes, the first row in memory being the bottom row
// of the picture, pixel x of a row at bytes 3x .. 3x + 2 in blue, green, red order, padding
// up to a multiple of 4 bytes. Pictures go to and come from Surfaces (PaintPicture,
// LoadPictureBlt), which stand in for the device contexts of the window system.
class cDIBSection {
  public:
    using Handle = std::uintptr_t;  // 0 when there is none
    using MessageSink = std::function<void(const std::string&)>;

    // Largest pixel memory Create accepts: 512 MiB, enough for 10000 x 10000 and far more
    // than any sprite sheet, small enough that a hostile picture header cannot make the
    // saver allocate gigabytes.
    static constexpr int64_t kMaxPixelBytes = int64_t{512} * 1024 * 1024;

    cDIBSection() = default;
    ~cDIBSection() { ClearUp(); }
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Releases any current bitmap, then makes a black one of lWidth x lHeight. False (and
    // a size of 0 x 0) for sizes of 0 or less, for rows longer than the 32-bit range, for
    // pixel memory above kMaxPixelBytes and when the memory cannot be had.
    bool Create(int32_t lWidth, int32_t lHeight);
    // Fills in the header and allocates zeroed pixel memory; hDib receives its handle.
    bool CreateDIB(Handle lhDC, int32_t lWidth, int32_t lHeight, Handle& hDib);
    void ClearUp();

    // Row length in bytes: width x 3 rounded up to a multiple of 4 (0 when that leaves the
    // 32-bit range, which Create never lets happen).
    int32_t BytesPerScanLine() const;
    int32_t width() const { return bi_width_; }
    int32_t height() const { return bi_height_; }
    Handle hDC() const { return memory_dc_; }
    Handle hDib() const { return dib_handle_; }
    uint8_t* DIBSectionBitsPtr() { return bits_pointer_; }
    const uint8_t* DIBSectionBitsPtr() const { return bits_pointer_; }

    // Copies the lSrcWidth x lSrcHeight rectangle at (lSrcLeft, lSrcTop) of `source` to the
    // top left of this picture. Negative sizes mean this picture's width or height. Clipped
    // against both; nothing happens without a bitmap or with a raster operation other than
    // SRCCOPY.
    void LoadPictureBlt(const Surface& source, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth,
                        int32_t lSrcHeight, uint32_t eRop = SRCCOPY);
    void LoadPictureBlt(const cDIBSection& source, int32_t lSrcLeft, int32_t lSrcTop,
                        int32_t lSrcWidth, int32_t lSrcHeight, uint32_t eRop = SRCCOPY);
    // Copies the lDestWidth x lDestHeight rectangle at (lSrcLeft, lSrcTop) of this picture to
    // (lDestLeft, lDestTop) of `target`, the same rules applying.
    void PaintPicture(Surface& target, int32_t lDestLeft, int32_t lDestTop, int32_t lDestWidth,
                      int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop,
                      uint32_t eRop = SRCCOPY) const;

    // Puts the picture on the clipboard through the desktop. Only plain bitmaps are
    // offered: bAsDIB true tells the user so through `message` and gives false.
    bool CopyToClipboard(bool bAsDIB, Desktop& desktop, const MessageSink& message = {}) const;

    // Noise: grey (one draw per pixel, row by row), or green and red with no blue (two draws
    // per pixel, column by column). Reseeds `random` from the clock first.
    void RandomiseBits(bool bGray, RandomSource& random);

    // A new picture of the given size (height first) holding this one, resized bilinearly;
    // null when it cannot be made, or when the sizes differ and this picture is less than 2
    // pixels wide or high.
    std::unique_ptr<cDIBSection> Resample(int32_t lNewHeight, int32_t lNewWidth) const;
    // Fills `target` (already created at the new size) with this picture, resized.
    void ResampleInto(cDIBSection& target) const;

  private:
    Handle memory_dc_ = 0;
    Handle dib_handle_ = 0;
    uint8_t* bits_pointer_ = nullptr;
    int32_t bi_width_ = 0;
    int32_t bi_height_ = 0;
    int32_t bi_size_image_ = 0;
    std::vector<uint8_t> memory_;
};

}  // namespace vistaloom
