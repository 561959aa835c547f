#include "JpegDecoder.h"

#include "ImageDocument.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; it jumps back
// into the call that was protected. Only C frames of libjpeg lie in between, so no destructor
// is skipped.
struct TJpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<TJpegErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (a truncated scan, for instance) are left unshown: libjpeg fills in and goes on.
void OutputMessage(j_common_ptr) {}

/// Hands libjpeg the device's bytes block by block, so that a file is never held whole.
struct TDeviceSource {
    jpeg_source_mgr pub{};
    QIODevice* device = nullptr;
    bool startOfFile = true;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(1 << 16);
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<TDeviceSource*>(cinfo->src);
    qint64 count = src->device->read(reinterpret_cast<char*>(src->buffer.data()), qint64(src->buffer.size()));
    if (count < 0)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (count == 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A cut-off file ends as if its end marker followed, as libjpeg's own sources do.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        count = 2;
    }
    src->pub.next_input_byte = src->buffer.data();
    src->pub.bytes_in_buffer = static_cast<std::size_t>(count);
    src->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<TDeviceSource*>(cinfo->src);
    if (count <= 0)
        return;
    while (static_cast<unsigned long>(count) > src->pub.bytes_in_buffer) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

/// Stops a file whose scans outnumber MaxJpegScans, or whose scans together pass over every
/// coefficient of the picture more than MaxJpegCoefficientPasses times, at the start of the scan
/// that goes too far. The second bound keeps a few expensive scans (an AC refinement of a large
/// picture repeated) as short as the first keeps many cheap ones.
struct TScanLimit {
    jpeg_progress_mgr pub{};
    int seenScan = 0;
    std::uint64_t work = 0; ///< blocks times coefficients of the scans so far
    bool exceeded = false;
};

void CountScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* limit = reinterpret_cast<TScanLimit*>(cinfo->progress);
    if (d->input_scan_number == limit->seenScan)
        return;
    limit->seenScan = d->input_scan_number;
    const auto blocks = [](const jpeg_component_info& c) {
        return std::uint64_t(c.width_in_blocks) * std::uint64_t(c.height_in_blocks);
    };
    std::uint64_t scanBlocks = 0;
    for (int i = 0; i < d->comps_in_scan; ++i)
        scanBlocks += blocks(*d->cur_comp_info[i]);
    std::uint64_t allBlocks = 0;
    for (int i = 0; i < d->num_components; ++i)
        allBlocks += blocks(d->comp_info[i]);
    limit->work += scanBlocks * std::uint64_t(std::max(d->Se - d->Ss + 1, 1));
    if (d->input_scan_number > MaxJpegScans || limit->work > allBlocks * DCTSIZE2 * MaxJpegCoefficientPasses) {
        limit->exceeded = true;
        (*cinfo->err->error_exit)(cinfo);
    }
}

/// The decompressor with its error manager, source and scan limit; destroyed whatever happens.
struct TJpegSession {
    jpeg_decompress_struct cinfo{};
    TJpegErrorManager err{};
    TDeviceSource source;
    TScanLimit scans;
    explicit TJpegSession(QIODevice& device)
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        err.pub.output_message = OutputMessage;
        source.device = &device;
        source.pub.init_source = InitSource;
        source.pub.fill_input_buffer = FillInputBuffer;
        source.pub.skip_input_data = SkipInputData;
        source.pub.resync_to_restart = jpeg_resync_to_restart;
        source.pub.term_source = TermSource;
        scans.pub.progress_monitor = CountScans;
    }
    ~TJpegSession() { jpeg_destroy_decompress(&cinfo); }
    TJpegSession(const TJpegSession&) = delete;
    TJpegSession& operator=(const TJpegSession&) = delete;
    int Code() const { return err.pub.msg_code; }
};

// The protected steps keep only trivially destructible locals, so a jump out of libjpeg is sound.
bool ReadHeader(TJpegSession& s, long maxMemory)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = maxMemory;
    s.cinfo.src = &s.source.pub;
    s.cinfo.progress = &s.scans.pub;
    jpeg_read_header(&s.cinfo, TRUE);
    s.cinfo.dct_method = JDCT_FLOAT;
    s.cinfo.do_block_smoothing = TRUE;
    s.cinfo.scale_num = 1;
    s.cinfo.scale_denom = 1;
    s.cinfo.buffered_image = FALSE;
    if (s.cinfo.jpeg_color_space == JCS_GRAYSCALE) {
        s.cinfo.out_color_space = JCS_GRAYSCALE;
        s.cinfo.quantize_colors = TRUE;
        s.cinfo.desired_number_of_colors = 236;
    } else {
        s.cinfo.out_color_space = JCS_EXT_BGR;
    }
    return true;
}

bool StartDecompress(TJpegSession& s)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_start_decompress(&s.cinfo);
    return true;
}

bool ReadRows(TJpegSession& s, unsigned char* first, std::ptrdiff_t stride)
{
    if (setjmp(s.err.jump))
        return false;
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW rows[4];
        int count = 0;
        for (; count < 4 && s.cinfo.output_scanline + count < s.cinfo.output_height; ++count)
            rows[count] = first + stride * (s.cinfo.output_scanline + count);
        jpeg_read_scanlines(&s.cinfo, rows, count);
    }
    // No jpeg_finish_decompress: the picture is complete, and whatever follows its last row (up
    // to gigabytes of it) would only be read to be thrown away.
    return true;
}

[[noreturn]] void Fail(const TJpegSession& s)
{
    if (s.scans.exceeded)
        throw TImageError(QStringLiteral("Das JPEG-Bild hat zu viele Durchläufe"));
    throw TImageError(QStringLiteral("JPEG-Fehler #%1").arg(s.Code()));
}

} // namespace

QImage DecodeJpeg(QIODevice& device)
{
    TJpegSession s(device);
    if (!ReadHeader(s, static_cast<long>(MaxPictureBytes())))
        Fail(s);
    const bool grey = s.cinfo.out_color_space == JCS_GRAYSCALE;
    CheckPictureSize(s.cinfo.image_width, s.cinfo.image_height, grey ? 1 : 3);
    if (!StartDecompress(s))
        Fail(s);

    QImage image = AllocatePicture(static_cast<int>(s.cinfo.output_width), static_cast<int>(s.cinfo.output_height),
                                   grey ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (image.isNull())
        throw std::bad_alloc();
    if (grey) {
        QList<QRgb> table;
        for (int i = 0; i < s.cinfo.actual_number_of_colors; ++i) {
            const int v = s.cinfo.colormap[0][i];
            table.append(qRgb(v, v, v));
        }
        image.setColorTable(table);
    }
    if (!ReadRows(s, image.bits(), image.bytesPerLine()))
        Fail(s);
    return image;
}

QImage DecodeJpeg(const QByteArray& bytes)
{
    return DecodePictureBytes(bytes, static_cast<QImage (*)(QIODevice&)>(DecodeJpeg));
}

QImage LoadJpegFile(const QString& fileName)
{
    return DecodePictureFile(fileName, static_cast<QImage (*)(QIODevice&)>(DecodeJpeg));
}
