// Paints the demo theme's parts: the 640 x 2401 sprite sheet of twenty 320 x 240 pictures,
// a 320 x 240 sample picture and a short MIDI tune. `vistaloom-theme pack` then puts them
// into a theme. Everything is computed here; nothing is read from elsewhere.
#include <turbojpeg.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "midi_tune.h"
#include "pixels/surface.h"
#include "scenes.h"

namespace {

using vistaloom::Surface;

constexpr int kCellWidth = 320;
constexpr int kCellHeight = 240;

uint32_t to_pixel(demo::Rgb c) {
    auto channel = [](double v) { return static_cast<uint32_t>(demo::clamp01(v) * 255.0 + 0.5); };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

// Four samples per pixel keep the edges of hills, buildings and fractals smooth.
Surface paint(demo::Painter painter, int width, int height) {
    Surface out(width, height);
    const double scale = 1.0 / height;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            demo::Rgb sum;
            for (int s = 0; s < 4; ++s) {
                double x = (px + 0.25 + 0.5 * (s & 1)) * scale;
                double y = (py + 0.25 + 0.5 * (s >> 1)) * scale;
                sum = sum + painter(x, y);
            }
            out.at(px, py) = to_pixel(sum * 0.25);
        }
    }
    return out;
}

// Halves a picture by averaging 2 x 2 blocks.
Surface half(const Surface& in) {
    Surface out(in.width / 2, in.height / 2);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            uint32_t r = 0, g = 0, b = 0;
            for (int s = 0; s < 4; ++s) {
                uint32_t p = in.at(2 * x + (s & 1), 2 * y + (s >> 1));
                r += (p >> 16) & 0xFF;
                g += (p >> 8) & 0xFF;
                b += p & 0xFF;
            }
            out.at(x, y) = ((r + 2) / 4) << 16 | ((g + 2) / 4) << 8 | ((b + 2) / 4);
        }
    }
    return out;
}

bool write_file(const std::string& path, const unsigned char* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

bool write_jpeg(const Surface& picture, const std::string& path, int quality) {
    tjhandle handle = tjInitCompress();
    if (handle == nullptr) return false;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    // Surface pixels are 0x00RRGGBB words: B, G, R, X bytes in memory on little-endian hosts.
    int pixel_format = TJPF_BGRX;
    if (std::endian::native == std::endian::big) pixel_format = TJPF_XRGB;
    int result = tjCompress2(handle, reinterpret_cast<const unsigned char*>(picture.pixels.data()),
                             picture.width, picture.stride * 4, picture.height, pixel_format, &jpeg,
                             &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
    bool ok = result == 0 && write_file(path, jpeg, size);
    tjFree(jpeg);
    tjDestroy(handle);
    return ok;
}

// Test themes want pictures that are told apart at a glance and compress to almost nothing:
// each cell one plain colour with a darker frame.
demo::Rgb plain_cell(int n, double x, double y) {
    demo::Rgb c = demo::hsv((n - 1) / 20.0, 0.8, 0.95);
    bool frame = x < 0.03 || y < 0.03 || x > 4.0 / 3.0 - 0.03 || y > 0.97;
    return frame ? c * 0.5 : c;
}

template <int N>
demo::Rgb plain(double x, double y) {
    return plain_cell(N, x, y);
}

constexpr demo::Painter kPlainCells[20] = {plain<1>,  plain<2>,  plain<3>,  plain<4>,  plain<5>,
                                           plain<6>,  plain<7>,  plain<8>,  plain<9>,  plain<10>,
                                           plain<11>, plain<12>, plain<13>, plain<14>, plain<15>,
                                           plain<16>, plain<17>, plain<18>, plain<19>, plain<20>};

}  // namespace

int main(int argc, char** argv) {
    const bool plain_cells = argc == 3 && std::string(argv[1]) == "--plain";
    if (!(argc == 2 || plain_cells) || std::string(argv[1]) == "--help") {
        std::cerr << "Usage: vistaloom-demo-theme [--plain] OUTPUT_FOLDER\n"
                     "Writes sheet.jpg, sample.jpg and tune.mid for the demo theme\n"
                     "(--plain: one flat colour per picture, for test themes).\n";
        return argc == 2 ? 0 : 2;
    }
    const std::string folder = std::string(argv[argc - 1]) + "/";
    const demo::Painter* scenes = plain_cells ? kPlainCells : demo::kScenes;
    const int quality = plain_cells ? 60 : 90;

    // Row 0 of the sheet is never shown: cells start one line down.
    Surface sheet(2 * kCellWidth, 10 * kCellHeight + 1, 0);
    std::vector<Surface> cells;
    for (int n = 1; n <= 20; ++n) {
        cells.push_back(paint(scenes[n - 1], kCellWidth, kCellHeight));
        int row = (n - 1) / 2 + 1, column = (n - 1) % 2 + 1;
        vistaloom::blit(sheet, kCellWidth * (column - 1), kCellHeight * (row - 1) + 1, cells.back(),
                        0, 0, kCellWidth, kCellHeight);
    }

    // The sample shows four of the pictures side by side, split by thin pale lines.
    Surface sample(kCellWidth, kCellHeight, 0xF4EEE6);
    const int picks[4] = {0, 2, 6, 10};
    for (int i = 0; i < 4; ++i) {
        Surface small = half(cells[static_cast<size_t>(picks[i])]);
        int dx = (i % 2) * (kCellWidth / 2) + (i % 2 ? 1 : 0);
        int dy = (i / 2) * (kCellHeight / 2) + (i / 2 ? 1 : 0);
        vistaloom::blit(sample, dx, dy, small, i % 2 ? 1 : 0, i / 2 ? 1 : 0, small.width - 1,
                        small.height - 1);
    }

    std::vector<uint8_t> tune = demo::make_demo_tune();
    if (!write_jpeg(sheet, folder + "sheet.jpg", quality) ||
        !write_jpeg(sample, folder + "sample.jpg", quality) ||
        !write_file(folder + "tune.mid", tune.data(), tune.size())) {
        std::cerr << "vistaloom-demo-theme: cannot write into " << folder << "\n";
        return 1;
    }
    return 0;
}
