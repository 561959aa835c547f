#include "WorkFile.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::string_view FormatName = "Zovori-Arbeit";

void AppendDouble(std::string& out, double v)
{
    // Shortest text that reads back to the same bits; -0 only where the bits matter (points).
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, result.ptr);
}

void AppendScalar(std::string& out, double v)
{
    // JSON numbers lose the sign of zero on reading; scalars are never negative, so write +0.
    AppendDouble(out, v == 0.0 ? 0.0 : v);
}

void AppendString(std::string& out, std::string_view s)
{
    out += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

const char* MirrorName(TMirror m)
{
    return m == TMirror::Horizontal ? "horizontal" : "vertical";
}

[[noreturn]] void Damaged(const char* field)
{
    throw TWorkError(std::string("Die Arbeitsdatei ist beschädigt: „") + field + "“ fehlt oder ist ungültig.");
}

QJsonValue Member(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined())
        Damaged(key);
    return value;
}

double Number(const QJsonObject& object, const char* key, double low, double high)
{
    const QJsonValue value = Member(object, key);
    const double v = value.toDouble(std::nan(""));
    if (!value.isDouble() || !(v >= low && v <= high))
        Damaged(key);
    return v;
}

int Integer(const QJsonObject& object, const char* key, int low, int high)
{
    const double v = Number(object, key, low, high);
    if (v != std::floor(v))
        Damaged(key);
    return static_cast<int>(v);
}

bool Boolean(const QJsonObject& object, const char* key)
{
    const QJsonValue value = Member(object, key);
    if (!value.isBool())
        Damaged(key);
    return value.toBool();
}

std::string Text(const QJsonObject& object, const char* key, std::size_t maxBytes)
{
    const QJsonValue value = Member(object, key);
    if (!value.isString())
        Damaged(key);
    std::string s = value.toString().toStdString();
    if (s.size() > maxBytes || s.find('\0') != std::string::npos)
        Damaged(key);
    return s;
}

bool IsLowerHex(std::string_view s)
{
    for (const char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

/// One point "x y": two numbers in the shortest form the writer uses, any exact decimal accepted.
bool ParsePoint(std::string_view s, TContourPoint& p)
{
    const char* end = s.data() + s.size();
    auto [afterX, ex] = std::from_chars(s.data(), end, p.x, std::chars_format::general);
    if (ex != std::errc{} || afterX == end || *afterX != ' ')
        return false;
    auto [afterY, ey] = std::from_chars(afterX + 1, end, p.y, std::chars_format::general);
    if (ey != std::errc{} || afterY != end)
        return false;
    p.z = 0.0;
    return std::abs(p.x) <= MaxWorkCoordinate && std::abs(p.y) <= MaxWorkCoordinate;
}

TWorkPicture ReadPicture(const QJsonObject& o)
{
    TWorkPicture picture;
    picture.Path = Text(o, "path", MaxWorkPathBytes);
    picture.AbsolutePath = Text(o, "absolutePath", MaxWorkPathBytes);
    picture.Sha256 = Text(o, "sha256", 64);
    picture.Page = Integer(o, "page", 0, 100000);
    picture.Dpi = Number(o, "dpi", 0.0, 10000.0);
    picture.FromClipboard = Boolean(o, "fromClipboard");
    const QJsonValue embedded = o.value(QLatin1String("embeddedPng"));
    if (!embedded.isUndefined()) {
        if (!embedded.isString())
            Damaged("embeddedPng");
        const auto decoded = QByteArray::fromBase64Encoding(embedded.toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || decoded.decoded.isEmpty())
            Damaged("embeddedPng");
        picture.EmbeddedPng = decoded.decoded.toStdString();
    }
    const bool hasFile = !picture.AbsolutePath.empty();
    if ((!picture.Sha256.empty() && (picture.Sha256.size() != 64 || !IsLowerHex(picture.Sha256))) ||
        hasFile != (picture.Sha256.size() == 64) || (picture.Path.empty() && hasFile))
        Damaged("sha256");
    // A picture without a file can only come back from its embedded copy.
    if (!hasFile && picture.EmbeddedPng.empty())
        Damaged("embeddedPng");
    return picture;
}

} // namespace

bool SameWork(const TWork& a, const TWork& b)
{
    if (a.Picture != b.Picture || a.Mirrors != b.Mirrors || !(a.View == b.View) || a.Title != b.Title ||
        a.ProfileSaved != b.ProfileSaved || a.Points.size() != b.Points.size())
        return false;
    return a.Points.empty() ||
           std::memcmp(a.Points.data(), b.Points.data(), a.Points.size() * sizeof(TContourPoint)) == 0;
}

std::string WriteWork(const TWork& work)
{
    std::string out;
    out.reserve(512 + work.Points.size() * 40 + (work.Picture ? work.Picture->EmbeddedPng.size() * 4 / 3 : 0));
    out += "{\n  \"format\": ";
    AppendString(out, FormatName);
    out += ",\n  \"version\": " + std::to_string(WorkFormatVersion) + ",\n  \"title\": ";
    AppendString(out, work.Title);
    out += ",\n  \"profileSaved\": ";
    out += work.ProfileSaved ? "true" : "false";
    out += ",\n  \"picture\": ";
    if (!work.Picture) {
        out += "null";
    } else {
        const TWorkPicture& p = *work.Picture;
        out += "{\n    \"path\": ";
        AppendString(out, p.Path);
        out += ",\n    \"absolutePath\": ";
        AppendString(out, p.AbsolutePath);
        out += ",\n    \"sha256\": ";
        AppendString(out, p.Sha256);
        out += ",\n    \"page\": " + std::to_string(p.Page) + ",\n    \"dpi\": ";
        AppendScalar(out, p.Dpi);
        out += ",\n    \"fromClipboard\": ";
        out += p.FromClipboard ? "true" : "false";
        if (!p.EmbeddedPng.empty()) {
            out += ",\n    \"embeddedPng\": \"";
            out += QByteArray::fromRawData(p.EmbeddedPng.data(), qsizetype(p.EmbeddedPng.size())).toBase64().toStdString();
            out += '"';
        }
        out += "\n  }";
    }
    out += ",\n  \"mirrors\": [";
    for (std::size_t i = 0; i < work.Mirrors.size(); ++i) {
        out += i ? ", \"" : "\"";
        out += MirrorName(work.Mirrors[i]);
        out += '"';
    }
    out += "],\n  \"view\": {\n    \"originX\": " + std::to_string(work.View.OriginX) +
           ",\n    \"originY\": " + std::to_string(work.View.OriginY) + ",\n    \"zoomLevel\": ";
    AppendScalar(out, work.View.ZoomLevel);
    out += ",\n    \"zoomFactor\": ";
    AppendScalar(out, work.View.ZoomFactor);
    out += ",\n    \"rotation\": ";
    AppendScalar(out, work.View.RotationAngle);
    out += ",\n    \"pointRadius\": " + std::to_string(work.View.PointRadius) + "\n  },\n  \"points\": [";
    for (std::size_t i = 0; i < work.Points.size(); ++i) {
        out += i ? ",\n    \"" : "\n    \"";
        AppendDouble(out, work.Points[i].x);
        out += ' ';
        AppendDouble(out, work.Points[i].y);
        out += '"';
    }
    out += work.Points.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

TWork ReadWork(std::string_view bytes)
{
    if (bytes.size() > MaxWorkFileBytes)
        throw TWorkError("Die Arbeitsdatei ist zu groß.");
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw TWorkError("Die Datei ist keine Zovori-Arbeitsdatei oder ist beschädigt (abgeschnitten?).");
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(FormatName.data(), qsizetype(FormatName.size())))
        throw TWorkError("Die Datei ist keine Zovori-Arbeitsdatei.");
    const QJsonValue version = root.value(QLatin1String("version"));
    const double v = version.toDouble(0.0);
    if (!version.isDouble() || v < 1 || v != std::floor(v))
        Damaged("version");
    if (v > WorkFormatVersion)
        throw TWorkError("Die Arbeitsdatei stammt aus einer neueren Programmversion (Format " +
                         std::to_string(static_cast<long long>(std::min(v, 1e15))) + "); dieses Programm liest bis Format " +
                         std::to_string(WorkFormatVersion) + ".");

    TWork work;
    work.Title = Text(root, "title", MaxWorkTitleBytes);
    if (work.Title.find_first_of("\r\n") != std::string::npos)
        Damaged("title");
    work.ProfileSaved = Boolean(root, "profileSaved");

    const QJsonValue picture = Member(root, "picture");
    if (picture.isObject())
        work.Picture = ReadPicture(picture.toObject());
    else if (!picture.isNull())
        Damaged("picture");

    const QJsonValue mirrors = Member(root, "mirrors");
    if (!mirrors.isArray() || mirrors.toArray().size() > MaxWorkMirrors)
        Damaged("mirrors");
    for (const QJsonValue m : mirrors.toArray()) {
        if (m.toString() == QLatin1String("horizontal"))
            work.Mirrors.push_back(TMirror::Horizontal);
        else if (m.toString() == QLatin1String("vertical"))
            work.Mirrors.push_back(TMirror::Vertical);
        else
            Damaged("mirrors");
    }
    if (!work.Mirrors.empty() && !work.Picture)
        Damaged("mirrors");

    const QJsonValue viewValue = Member(root, "view");
    if (!viewValue.isObject())
        Damaged("view");
    const QJsonObject view = viewValue.toObject();
    work.View.OriginX = Integer(view, "originX", -1000000000, 1000000000);
    work.View.OriginY = Integer(view, "originY", -1000000000, 1000000000);
    work.View.ZoomLevel = Number(view, "zoomLevel", 0.0, 100000.0);
    work.View.ZoomFactor = Number(view, "zoomFactor", 1e-9, 1e15);
    if (work.View.ZoomFactor == 0.0)
        Damaged("zoomFactor");
    work.View.RotationAngle = Number(view, "rotation", 0.0, 360.0);
    if (work.View.RotationAngle == 360.0)
        Damaged("rotation");
    work.View.PointRadius = Integer(view, "pointRadius", 4, MaxWorkPointRadius);

    const QJsonValue pointsValue = Member(root, "points");
    if (!pointsValue.isArray())
        Damaged("points");
    const QJsonArray points = pointsValue.toArray();
    if (std::size_t(points.size()) > MaxWorkPoints)
        throw TWorkError("Die Arbeitsdatei enthält zu viele Punkte (" + std::to_string(points.size()) + "; höchstens " +
                         std::to_string(MaxWorkPoints) + ").");
    work.Points.resize(std::size_t(points.size()));
    std::size_t i = 0;
    for (const QJsonValue p : points) {
        const QString s = p.toString();
        const QByteArray latin = s.toLatin1();
        if (!p.isString() || latin.size() > 64 || !ParsePoint(std::string_view(latin.constData(), latin.size()), work.Points[i]))
            throw TWorkError("Die Arbeitsdatei ist beschädigt: Punkt " + std::to_string(i + 1) + " ist ungültig.");
        ++i;
    }
    return work;
}
