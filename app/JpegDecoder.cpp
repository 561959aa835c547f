#include "JpegDecoder.h"

#include "ImageDocument.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

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

/// The decompressor with its error manager; destroyed whatever happens.
struct TJpegSession {
    jpeg_decompress_struct cinfo{};
    TJpegErrorManager err{};
    TJpegSession()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        err.pub.output_message = OutputMessage;
    }
    ~TJpegSession() { jpeg_destroy_decompress(&cinfo); }
    TJpegSession(const TJpegSession&) = delete;
    TJpegSession& operator=(const TJpegSession&) = delete;
    int Code() const { return err.pub.msg_code; }
};

// The protected steps keep only trivially destructible locals, so a jump out of libjpeg is sound.
bool ReadHeader(TJpegSession& s, const unsigned char* data, unsigned long size, long maxMemory)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = maxMemory;
    jpeg_mem_src(&s.cinfo, data, size);
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
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

[[noreturn]] void Fail(const TJpegSession& s)
{
    throw TImageError(QStringLiteral("JPEG-Fehler #%1").arg(s.Code()));
}

} // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    TJpegSession s;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (!ReadHeader(s, data, static_cast<unsigned long>(bytes.size()), static_cast<long>(MaxPictureBytes())))
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

QImage LoadJpegFile(const QString& fileName)
{
    return DecodeJpeg(ReadPictureFile(fileName));
}
