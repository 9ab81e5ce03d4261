#pragma once
// A valid progressive JPEG with as many scans as the format allows one grey picture (704):
// every coefficient sent on its own and then refined bit by bit. A decoder without a scan
// limit works through the whole picture once per scan. Made with libjpeg's own scan scripts.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace vistaloom::testing {

inline std::string many_scans_jpeg(int width, int height) {
    std::vector<jpeg_scan_info> script;
    auto add = [&](int ss, int se, int ah, int al) {
        jpeg_scan_info scan{};
        scan.comps_in_scan = 1;
        scan.component_index[0] = 0;
        scan.Ss = ss;
        scan.Se = se;
        scan.Ah = ah;
        scan.Al = al;
        script.push_back(scan);
    };
    for (int coefficient = 0; coefficient < 64; ++coefficient) {
        add(coefficient, coefficient, 0, 10);
        for (int bit = 9; bit >= 0; --bit) add(coefficient, coefficient, bit + 1, bit);
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    c.optimize_coding = TRUE;
    c.scan_info = script.data();
    c.num_scans = static_cast<int>(script.size());
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width));
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < width; ++x)
            row[static_cast<size_t>(x)] =
                static_cast<JSAMPLE>((x * 7 + c.next_scanline * 3) & 0xFF);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    std::free(out);
    return bytes;
}

}  // namespace vistaloom::testing
