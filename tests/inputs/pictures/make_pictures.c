/* Writes the JPEG pictures the imaging tests decode, good and broken ones.
 *
 *   cc -O2 -o /tmp/make_pictures make_pictures.c -ljpeg && /tmp/make_pictures .
 *
 * Every picture is drawn here from plain colour blocks, so its expected pixels are known.
 * The broken ones are good ones with bytes cut off or patched. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

static const char* out_dir = ".";

static void save(const char* name, const unsigned char* bytes, unsigned long size) {
    char path[1024];
    snprintf(path, sizeof path, "%s/%s", out_dir, name);
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(bytes, 1, size, f) != size) {
        perror(path);
        exit(1);
    }
    fclose(f);
}

enum { PLAIN, PROGRESSIVE, ARITHMETIC };

/* Compresses `pixels` (components per pixel as given by the colour space) into memory. */
static unsigned long compress(unsigned char** out, const unsigned char* pixels, int w, int h,
                              J_COLOR_SPACE space, int components, int coding) {
    struct jpeg_compress_struct c;
    struct jpeg_error_mgr err;
    unsigned long size = 0;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    *out = NULL;
    jpeg_mem_dest(&c, out, &size);
    c.image_width = (JDIMENSION)w;
    c.image_height = (JDIMENSION)h;
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    /* No chroma subsampling: colour blocks then decode close to their colours. */
    for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (coding == PROGRESSIVE) jpeg_simple_progression(&c);
    if (coding == ARITHMETIC) c.arith_code = TRUE;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = (JSAMPROW)(pixels + (size_t)c.next_scanline * w * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return size;
}

/* 64 x 48: red, green / blue, white quadrants. */
static unsigned char* quadrants(int w, int h) {
    unsigned char* p = malloc((size_t)w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* q = p + ((size_t)y * w + x) * 3;
            int right = x >= w / 2, bottom = y >= h / 2;
            q[0] = (!bottom && !right) || (bottom && right) ? 255 : 0;
            q[1] = (!bottom && right) || (bottom && right) ? 255 : 0;
            q[2] = bottom ? 255 : 0;
        }
    return p;
}

/* Offset of the first SOF marker's segment (the byte after FF Cx). */
static size_t find_sof(const unsigned char* b, unsigned long size) {
    for (size_t i = 2; i + 9 < size; ++i)
        if (b[i] == 0xFF && b[i + 1] >= 0xC0 && b[i + 1] <= 0xCF && b[i + 1] != 0xC4 &&
            b[i + 1] != 0xC8 && b[i + 1] != 0xCC)
            return i + 2;
    fprintf(stderr, "no SOF marker\n");
    exit(1);
}

/* Offset of the first byte of entropy-coded data (after the first SOS segment). */
static size_t find_scan_data(const unsigned char* b, unsigned long size) {
    for (size_t i = 2; i + 3 < size; ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xDA) return i + 2 + ((size_t)b[i + 2] << 8 | b[i + 3]);
    fprintf(stderr, "no SOS marker\n");
    exit(1);
}

static void patched_size(const char* name, const unsigned char* jpeg, unsigned long size, int w, int h) {
    unsigned char* copy = malloc(size);
    memcpy(copy, jpeg, size);
    size_t sof = find_sof(copy, size); /* length(2) precision(1) height(2) width(2) */
    copy[sof + 3] = (unsigned char)(h >> 8), copy[sof + 4] = (unsigned char)h;
    copy[sof + 5] = (unsigned char)(w >> 8), copy[sof + 6] = (unsigned char)w;
    save(name, copy, size);
    free(copy);
}

int main(int argc, char** argv) {
    if (argc > 1) out_dir = argv[1];
    unsigned char* jpeg = NULL;
    unsigned long size = 0;

    unsigned char* colour = quadrants(64, 48);
    size = compress(&jpeg, colour, 64, 48, JCS_RGB, 3, PLAIN);
    save("baseline_64x48.jpg", jpeg, size);
    unsigned char* baseline = jpeg;
    unsigned long baseline_size = size;

    size = compress(&jpeg, colour, 64, 48, JCS_RGB, 3, PROGRESSIVE);
    save("progressive_64x48.jpg", jpeg, size);
    free(jpeg);
    size = compress(&jpeg, colour, 64, 48, JCS_RGB, 3, ARITHMETIC);
    save("arithmetic_64x48.jpg", jpeg, size);
    free(jpeg);

    /* 40 x 30 grey: 50 on the left half, 200 on the right. */
    unsigned char grey[40 * 30];
    for (int i = 0; i < 40 * 30; ++i) grey[i] = (i % 40) < 20 ? 50 : 200;
    size = compress(&jpeg, grey, 40, 30, JCS_GRAYSCALE, 1, PLAIN);
    save("grey_40x30.jpg", jpeg, size);
    free(jpeg);

    /* 101 x 8: red up to x = 47, blue from x = 48 (a block edge). */
    unsigned char wide[101 * 8 * 3];
    for (int i = 0; i < 101 * 8; ++i) {
        int left = (i % 101) < 48;
        wide[i * 3] = left ? 255 : 0, wide[i * 3 + 1] = 0, wide[i * 3 + 2] = left ? 0 : 255;
    }
    size = compress(&jpeg, wide, 101, 8, JCS_RGB, 3, PLAIN);
    save("wide_101x8.jpg", jpeg, size);
    free(jpeg);

    /* CMYK (stored as YCCK): the decoder is asked for BGR, which it cannot give. */
    unsigned char cmyk[32 * 32 * 4];
    for (int i = 0; i < 32 * 32 * 4; ++i) cmyk[i] = (unsigned char)(i * 7);
    size = compress(&jpeg, cmyk, 32, 32, JCS_CMYK, 4, PLAIN);
    save("cmyk_32x32.jpg", jpeg, size);
    free(jpeg);

    /* Broken versions of the baseline picture. */
    const size_t data = find_scan_data(baseline, baseline_size);
    save("truncated_half.jpg", baseline, data + (baseline_size - data) / 2);
    save("truncated_header.jpg", baseline, 100);
    save("empty.jpg", baseline, 0);
    {
        const char text[] = "This is a text file with a picture's name.\n";
        save("not_a_jpeg.jpg", (const unsigned char*)text, sizeof text - 1);
    }
    {  /* Precision 12 in an extended-sequential frame header. */
        unsigned char* copy = malloc(baseline_size);
        memcpy(copy, baseline, baseline_size);
        size_t sof = find_sof(copy, baseline_size);
        copy[sof - 1] = 0xC1;
        copy[sof + 2] = 12;
        save("precision_12bit.jpg", copy, baseline_size);
        free(copy);
    }
    {  /* An end-of-image marker in the middle of the entropy-coded data. */
        unsigned char* copy = malloc(baseline_size);
        memcpy(copy, baseline, baseline_size);
        size_t at = data + (baseline_size - data) / 3;
        copy[at] = 0xFF, copy[at + 1] = 0xD9;
        save("marker_in_data.jpg", copy, baseline_size);
        free(copy);
    }
    patched_size("zero_width.jpg", baseline, baseline_size, 0, 48);
    patched_size("size_16384x16384.jpg", baseline, baseline_size, 16384, 16384);
    patched_size("size_65500x65500.jpg", baseline, baseline_size, 65500, 65500);
    /* Header says more rows than the data holds: the decoder runs out of data. */
    patched_size("taller_than_data.jpg", baseline, baseline_size, 64, 480);

    free(baseline);
    free(colour);
    return 0;
}
