// The JPEG load path on arbitrary bytes, through the file as "Bild laden" reads it: a picture or
// "JPEG-Fehler #<code>" / the size refusal / the scan refusal, never a crash, never an exit of the
// process from inside libjpeg and never unbounded work (a run with -timeout finds that). Every
// picture that loads, greyscale ones included, survives both mirrors pixel for pixel.
#include "ImageDocument.h"
#include "JpegDecoder.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

// Far below the program's limit, so that the fuzzer spends its time on many small pictures rather
// than decoding filler; every larger claim must be refused.
constexpr std::int64_t Limit = std::int64_t(4) << 20;

QString File;

[[noreturn]] void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

bool IsLoadMessage(const std::string& message)
{
    return message.rfind("JPEG-Fehler #", 0) == 0 || message.rfind("Das Bild ist zu groß (", 0) == 0 ||
           message == "Das JPEG-Bild hat zu viele Durchläufe";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    LimitPictureBytes(Limit);
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    File = QStringLiteral("%1/fuzz_jpeg.%2.jpg").arg(QString::fromLatin1(dir)).arg(getpid());
    std::atexit([] { std::remove(File.toLocal8Bit().constData()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(File.toLocal8Bit().constData(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        Fail("cannot write the input file");
    QImage image;
    try {
        image = LoadJpegFile(File);
    } catch (const TImageError& error) {
        if (!IsLoadMessage(error.what()))
            Fail("message", error.what());
        return 0;
    }
    if (image.isNull() || std::int64_t(image.width()) * image.height() > Limit)
        Fail("picture size");
    if (image.format() == QImage::Format_Indexed8) {
        if (image.colorCount() < 1 || image.colorCount() > 236)
            Fail("colour count", std::to_string(image.colorCount()));
        // Every pixel must index the colour table libjpeg's quantiser gave.
        for (int y = 0; y < image.height(); ++y) {
            const uchar* row = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x)
                if (row[x] >= image.colorCount())
                    Fail("pixel beyond the colour table");
        }
    } else if (image.format() != QImage::Format_BGR888) {
        Fail("format");
    }

    const QImage reference = image.convertToFormat(QImage::Format_BGR888);
    const int width = image.width();
    const int height = image.height();
    const int step = std::int64_t(width) * height <= 65536 ? 1 : 97;
    const auto next = [step](int v, int end) { return v + ((v == 0 || v + step >= end) ? 1 : step); };
    MirrorHorizontal(image);
    if (image.format() != QImage::Format_BGR888 || image.size() != reference.size())
        Fail("format after the horizontal mirror");
    for (int y = 0; y < height; y = next(y, height))
        for (int x = 0; x < width; x = next(x, width))
            if (image.pixel(x, y) != reference.pixel(width - 1 - x, y))
                Fail("horizontal mirror", std::to_string(x) + "," + std::to_string(y));
    MirrorVertical(image);
    for (int y = 0; y < height; y = next(y, height))
        for (int x = 0; x < width; x = next(x, width))
            if (image.pixel(x, y) != reference.pixel(width - 1 - x, height - 1 - y))
                Fail("vertical mirror", std::to_string(x) + "," + std::to_string(y));
    return 0;
}
