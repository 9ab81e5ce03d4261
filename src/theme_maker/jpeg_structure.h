#pragma once
#include <atomic>
#include <cstdint>

class QIODevice;

namespace vistaloom {

// What a JPEG file's markers say before anything is decoded.
struct JpegStructure {
    bool is_jpeg = false;  // starts with a start-of-image marker
    int width = 0;         // from the first frame header; 0 when there is none
    int height = 0;
    int scans = 0;  // start-of-scan markers counted, up to one more than the limit asked for
};

// Walks the markers of the file on `device` from its current position, counting scans until
// the end of the picture, the end of the file, or `max_scans` + 1 scans (no need to read
// further: the picture is refused then). Reads the file once, without decoding; stops early
// when `cancel` becomes true.
JpegStructure read_jpeg_structure(QIODevice& device, int max_scans,
                                  const std::atomic<bool>* cancel);

}  // namespace vistaloom
