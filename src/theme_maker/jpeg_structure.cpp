#include "theme_maker/jpeg_structure.h"

#include <QIODevice>
#include <vector>

namespace vistaloom {

namespace {

// Bytes of the device one at a time, read in large blocks.
class ByteSource {
  public:
    ByteSource(QIODevice& device, const std::atomic<bool>* cancel)
        : device_(device), cancel_(cancel), buffer_(1 << 16) {}

    // False at the end of the file, on a read error or when cancelled.
    bool next(uint8_t& byte) {
        if (at_ == filled_ && !refill()) return false;
        byte = buffer_[at_++];
        return true;
    }
    bool skip(int64_t count) {
        uint8_t ignored = 0;
        for (; count > 0; --count)
            if (!next(ignored)) return false;
        return true;
    }

  private:
    bool refill() {
        if (cancel_ != nullptr && cancel_->load()) return false;
        const qint64 got = device_.read(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (got <= 0) return false;
        filled_ = static_cast<size_t>(got);
        at_ = 0;
        return true;
    }
    QIODevice& device_;
    const std::atomic<bool>* cancel_;
    std::vector<char> buffer_;
    size_t filled_ = 0, at_ = 0;
};

bool is_frame_header(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// After a scan's header comes its entropy-coded data, which ends at the first 0xFF that is
// neither a stuffed 0x00 nor a restart marker. Returns the marker that follows, 0 at the end.
uint8_t skip_entropy_data(ByteSource& bytes) {
    uint8_t byte = 0;
    for (;;) {
        if (!bytes.next(byte)) return 0;
        if (byte != 0xFF) continue;
        do {
            if (!bytes.next(byte)) return 0;
        } while (byte == 0xFF);
        if (byte != 0x00 && (byte < 0xD0 || byte > 0xD7)) return byte;
    }
}

}  // namespace

JpegStructure read_jpeg_structure(QIODevice& device, int max_scans,
                                  const std::atomic<bool>* cancel) {
    JpegStructure found;
    ByteSource bytes(device, cancel);
    uint8_t a = 0, b = 0;
    if (!bytes.next(a) || !bytes.next(b) || a != 0xFF || b != 0xD8) return found;
    found.is_jpeg = true;
    uint8_t marker = 0;
    while (found.scans <= max_scans) {
        if (marker == 0) {
            // Anything between segments is skipped, as decoders do, up to the next marker.
            uint8_t byte = 0;
            do {
                if (!bytes.next(byte)) return found;
            } while (byte != 0xFF);
            do {
                if (!bytes.next(byte)) return found;
            } while (byte == 0xFF);
            marker = byte;
        }
        if (marker == 0xD9) return found;
        if (marker == 0xD8 || marker == 0x01 || marker == 0x00 ||
            (marker >= 0xD0 && marker <= 0xD7)) {
            marker = 0;
            continue;
        }
        uint8_t high = 0, low = 0;
        if (!bytes.next(high) || !bytes.next(low)) return found;
        const int length = high << 8 | low;
        if (length < 2) return found;
        if (is_frame_header(marker) && found.width == 0 && length >= 7) {
            uint8_t h[5];
            for (uint8_t& byte : h)
                if (!bytes.next(byte)) return found;
            found.height = h[1] << 8 | h[2];
            found.width = h[3] << 8 | h[4];
            if (!bytes.skip(length - 7)) return found;
            marker = 0;
        } else if (marker == 0xDA) {
            ++found.scans;
            if (!bytes.skip(length - 2)) return found;
            marker = skip_entropy_data(bytes);
            if (marker == 0) return found;
        } else {
            if (!bytes.skip(length - 2)) return found;
            marker = 0;
        }
    }
    return found;
}

}  // namespace vistaloom
