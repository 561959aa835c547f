// The BMP load path on arbitrary bytes, through the file as "Bild laden" reads it: a picture or
// "Bitmap ist ungültig" / the size refusal, never a crash, and the refusal exactly for the headers
// that claim more than the limit. A picture that loads survives the 24-bit conversion and both
// mirrors, pixel for pixel.
#include "ImageDocument.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

// The fuzzer's memory limit is far below the program's quarter of the memory; every claim beyond
// this one still reaches the size check, which must refuse it.
constexpr std::int64_t Limit = std::int64_t(16) << 20;

QString File;

[[noreturn]] void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

std::int64_t Le(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return bytes == 2 ? std::int64_t(v) : std::int64_t(std::int32_t(v));
}

/// Whether the header is one the loader reads sizes from, and whether those claim more than the
/// limit: computed in 128 bits, apart from the loader's own check.
bool ClaimsTooMuch(const std::uint8_t* data, std::size_t size, std::int64_t& w, std::int64_t& h)
{
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    const std::int64_t info = Le(data + 14, 4);
    const bool core = info == 12;
    if (!core && (std::uint32_t(info) < 40 || size < 34))
        return false;
    w = core ? Le(data + 18, 2) : Le(data + 18, 4);
    h = core ? Le(data + 20, 2) : Le(data + 22, 4);
    if (h < 0)
        h = -h;
    if (w <= 0 || h <= 0)
        return false;
    return static_cast<unsigned __int128>(w) * static_cast<unsigned __int128>(h) * 4 > static_cast<unsigned __int128>(Limit);
}

void WriteInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(File.toLocal8Bit().constData(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        Fail("cannot write the input file");
}

} // namespace

// Qt's reader warns about every odd palette index; millions of such lines only slow the run.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    LimitPictureBytes(Limit);
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    File = QStringLiteral("%1/fuzz_bmp.%2.bmp").arg(QString::fromLatin1(dir)).arg(getpid());
    std::atexit([] { std::remove(File.toLocal8Bit().constData()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WriteInput(data, size);
    std::int64_t w = 0, h = 0;
    const bool tooMuch = ClaimsTooMuch(data, size, w, h);
    QImage image;
    try {
        image = LoadBitmapFile(File);
    } catch (const TImageError& error) {
        const std::string message = error.what();
        const std::string tooBig = QStringLiteral("Das Bild ist zu groß (%1 x %2 Bildpunkte)").arg(w).arg(h).toStdString();
        if (tooMuch ? message != tooBig : message != "Bitmap ist ungültig")
            Fail("message", message);
        return 0;
    }
    if (tooMuch)
        Fail("a picture beyond the limit loaded");
    if (image.isNull() || image.width() <= 0 || image.height() <= 0 ||
        std::int64_t(image.width()) * image.height() * 4 > Limit)
        Fail("picture size");

    QImage reference = image.convertToFormat(QImage::Format_BGR888);
    MirrorHorizontal(image);
    if (image.format() != QImage::Format_BGR888 || image.size() != reference.size())
        Fail("format after the horizontal mirror");
    const int width = image.width();
    const int height = image.height();
    // Every pixel of small pictures; the edges and a grid of large ones.
    const int step = std::int64_t(width) * height <= 65536 ? 1 : 97;
    const auto next = [step](int v, int end) { return v + ((v == 0 || v + step >= end) ? 1 : step); };
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
