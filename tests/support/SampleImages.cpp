#include "SampleImages.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

namespace samples {
namespace {

void Put16(Bytes& b, std::uint16_t v)
{
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}

void Put32(Bytes& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

int PaletteSize(int bits)
{
    return bits <= 8 ? 1 << bits : 0;
}

// Palette entry i of a palette picture: a grey ramp, so that every index means a distinct colour.
std::uint32_t PaletteColor(int i, int bits)
{
    const int n = PaletteSize(bits);
    const int v = n > 1 ? i * 255 / (n - 1) : 0;
    return (v << 16) | (v << 8) | v;
}

int PaletteIndex(int x, int y, int bits)
{
    return (x + 2 * y) % PaletteSize(bits);
}

Bytes PackedRow(int width, int y, int bits)
{
    Bytes row;
    if (bits <= 8) {
        int acc = 0, used = 0;
        for (int x = 0; x < width; ++x) {
            acc = (acc << bits) | PaletteIndex(x, y, bits);
            used += bits;
            if (used == 8) {
                row.push_back(acc);
                acc = used = 0;
            }
        }
        if (used)
            row.push_back(acc << (8 - used));
    } else {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = SampleColor(x, y);
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, bl = c & 0xFF;
            if (bits == 16) {
                Put16(row, ((r >> 3) << 10) | ((g >> 3) << 5) | (bl >> 3));
            } else {
                row.push_back(bl);
                row.push_back(g);
                row.push_back(r);
                if (bits == 32)
                    row.push_back(0);
            }
        }
    }
    while (row.size() % 4)
        row.push_back(0);
    return row;
}

// Encodes one row in absolute runs of equal indices; each row ends with an end-of-line marker.
void RleRow(Bytes& out, int width, int y, int bits)
{
    int x = 0;
    while (x < width) {
        const int index = PaletteIndex(x, y, bits);
        int run = 1;
        while (x + run < width && run < 255 && PaletteIndex(x + run, y, bits) == index)
            ++run;
        out.push_back(run);
        out.push_back(bits == 4 ? (index << 4) | index : index);
        x += run;
    }
    out.push_back(0);
    out.push_back(0);
}

} // namespace

std::uint32_t SampleColor(int x, int y)
{
    return ((x * 37) & 0xFF) << 16 | ((y * 53) & 0xFF) << 8 | (((x + y) * 11) & 0xFF);
}

std::uint32_t ExpectedBmpColor(int x, int y, int bits)
{
    if (bits <= 8)
        return PaletteColor(PaletteIndex(x, y, bits), bits);
    const std::uint32_t c = SampleColor(x, y);
    if (bits != 16)
        return c;
    // Five bits per channel, read back as the top five bits of each byte.
    return c & 0xF8F8F8;
}

Bytes MakeBmp(int width, int height, int bits, bool rle)
{
    Bytes pixels;
    for (int y = height - 1; y >= 0; --y) {
        if (rle)
            RleRow(pixels, width, y, bits);
        else {
            const Bytes row = PackedRow(width, y, bits);
            pixels.insert(pixels.end(), row.begin(), row.end());
        }
    }
    if (rle) {
        pixels.push_back(0);
        pixels.push_back(1);
    }
    const int paletteBytes = PaletteSize(bits) * 4;
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + static_cast<std::uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, rle ? (bits == 8 ? 1 : 2) : 0);
    Put32(b, static_cast<std::uint32_t>(pixels.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, PaletteSize(bits));
    Put32(b, 0);
    for (int i = 0; i < PaletteSize(bits); ++i)
        Put32(b, PaletteColor(i, bits));
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes MakeJpeg(int width, int height, JpegKind kind, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    switch (kind) {
    case JpegKind::Greyscale:
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case JpegKind::Cmyk:
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        break;
    default:
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        break;
    }
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = SampleColor(x, y);
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, bl = c & 0xFF;
            JSAMPLE* p = &row[static_cast<size_t>(x) * cinfo.input_components];
            if (kind == JpegKind::Greyscale) {
                p[0] = static_cast<JSAMPLE>((r * 30 + g * 59 + bl * 11) / 100);
            } else if (kind == JpegKind::Cmyk) {
                p[0] = 255 - r;
                p[1] = 255 - g;
                p[2] = 255 - bl;
                p[3] = 0;
            } else {
                p[0] = r;
                p[1] = g;
                p[2] = bl;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes result(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return result;
}

Bytes EncodeJpeg(int width, int height, int components, const Bytes& pixels, int quality)
{
    if (components != 1 && components != 3)
        throw std::invalid_argument("EncodeJpeg takes 1 or 3 components");
    if (pixels.size() != static_cast<std::size_t>(width) * height * components)
        throw std::invalid_argument("EncodeJpeg needs width x height x components bytes");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() +
                                            static_cast<std::size_t>(cinfo.next_scanline) * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes result(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return result;
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace samples
