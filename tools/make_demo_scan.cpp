// Draws a NACA four-digit wing section as a scanned-looking picture, for a new user's first load.
// Usage: make_demo_scan <output directory>
// Writes naca2412_scan.bmp (8-bit grey, nose left) and naca2412_nose_right.jpg (colour, mirrored,
// so that "Bild horizontal spiegeln" is needed before digitising).
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

namespace {

constexpr int Width = 1200;
constexpr int Height = 560;
constexpr double Chord = 1000.0;

/// A NACA four-digit section from its published formula: maximum camber m at p (fractions of the
/// chord), thickness t; returns the surface point at chord station x in [0, 1].
QPointF NacaSurface(double x, bool upper, double m = 0.02, double p = 0.4, double t = 0.12)
{
    const double yt = 5.0 * t *
                      (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                       0.1015 * x * x * x * x);
    double yc, slope;
    if (x < p) {
        yc = m / (p * p) * (2.0 * p * x - x * x);
        slope = 2.0 * m / (p * p) * (p - x);
    } else {
        yc = m / ((1 - p) * (1 - p)) * ((1.0 - 2.0 * p) + 2.0 * p * x - x * x);
        slope = 2.0 * m / ((1 - p) * (1 - p)) * (p - x);
    }
    const double theta = std::atan(slope);
    const double sign = upper ? 1.0 : -1.0;
    return {x - sign * yt * std::sin(theta), yc + sign * yt * std::cos(theta)};
}

/// A small fixed generator, so that the committed samples can be made again byte for byte.
class Noise {
public:
    double Next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }

private:
    std::uint64_t state_ = 0x2412;
};

QImage DrawScan()
{
    QImage page(Width, Height, QImage::Format_RGB32);
    page.fill(QColor(246, 243, 232));
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing, true);

    // Faint graph paper, a little askew like a sheet on a scanner's glass.
    painter.translate(Width / 2.0, Height / 2.0);
    painter.rotate(-1.2);
    painter.translate(-Width / 2.0, -Height / 2.0);
    painter.setPen(QPen(QColor(190, 212, 222), 1.0));
    for (int x = -40; x < Width + 40; x += 25)
        painter.drawLine(QPointF(x, -40), QPointF(x, Height + 40));
    for (int y = -40; y < Height + 40; y += 25)
        painter.drawLine(QPointF(-40, y), QPointF(Width + 40, y));

    const QPointF nose(100.0, Height / 2.0 + 20.0);
    const auto toPage = [&](QPointF p) { return QPointF(nose.x() + p.x() * Chord, nose.y() - p.y() * Chord); };
    QPainterPath outline;
    constexpr int Stations = 200;
    for (int i = Stations; i >= 0; --i) {
        // Cosine spacing: dense at the nose, where the curvature is.
        const double x = 0.5 * (1.0 - std::cos(std::numbers::pi * i / Stations));
        const QPointF p = toPage(NacaSurface(x, true));
        i == Stations ? outline.moveTo(p) : outline.lineTo(p);
    }
    for (int i = 1; i <= Stations; ++i) {
        const double x = 0.5 * (1.0 - std::cos(std::numbers::pi * i / Stations));
        outline.lineTo(toPage(NacaSurface(x, false)));
    }
    painter.setPen(QPen(QColor(40, 38, 45), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    painter.setPen(QPen(QColor(120, 60, 60), 1.0, Qt::DashLine));
    painter.drawLine(toPage({0.0, 0.0}), toPage({1.0, 0.0}));

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(22);
    painter.setFont(font);
    painter.setPen(QColor(50, 50, 60));
    painter.drawText(QPointF(110, 60), QStringLiteral("NACA 2412"));
    painter.end();

    // Scanner grain and an uneven lamp.
    Noise noise;
    for (int y = 0; y < Height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const double lamp = 1.0 - 0.06 * std::pow((x - Width * 0.45) / Width, 2.0) * 4.0;
            const double grain = (noise.Next() - 0.5) * 14.0;
            const auto channel = [&](int v) { return std::clamp(static_cast<int>(v * lamp + grain), 0, 255); };
            row[x] = qRgb(channel(qRed(row[x])), channel(qGreen(row[x])), channel(qBlue(row[x])));
        }
    }
    return page;
}

bool WriteJpeg(const QImage& picture, const QString& path)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    cinfo.image_width = rgb.width();
    cinfo.image_height = rgb.height();
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv); // fonts need it
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QImage scan = DrawScan();

    QImage grey = scan.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_Indexed8);
    const QString bmp = out.filePath(QStringLiteral("naca2412_scan.bmp"));
    if (!grey.save(bmp, "BMP")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(bmp));
        return 1;
    }
    const QString jpg = out.filePath(QStringLiteral("naca2412_nose_right.jpg"));
    if (!WriteJpeg(scan.mirrored(true, false), jpg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(jpg));
        return 1;
    }
    std::printf("%s\n%s\n", qPrintable(bmp), qPrintable(jpg));
    return 0;
}
