#pragma once

#include "TContourPoint.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

/// A work file that cannot be read, carrying the German message the user is shown.
class TWorkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TMirror { Horizontal, Vertical };

/// Where the picture came from and how it was read.
struct TWorkPicture {
    std::string Path;         ///< relative to the work file's folder, '/' between names; empty for the clipboard
    std::string AbsolutePath; ///< the fallback when the relative path leads nowhere
    std::string Sha256;       ///< 64 lower-case hex digits of the file's bytes; empty without a file
    int Page = 0;             ///< page of a TIFF or PDF, 1-based; 0 for the first or only one
    double Dpi = 0.0;         ///< resolution a PDF page was rendered at; 0 for other pictures
    bool FromClipboard = false;
    std::string EmbeddedPng;  ///< the picture as shown (mirrors applied), PNG bytes; empty when not embedded
    bool operator==(const TWorkPicture&) const = default;
};

/// The part of the view state that outlives a session: where the picture lies, its zoom,
/// rotation and dot size.
struct TWorkView {
    int OriginX = 0;
    int OriginY = 0;
    double ZoomLevel = 100.0;
    double ZoomFactor = 1.0;
    double RotationAngle = 0.0;
    int PointRadius = 4;
    bool operator==(const TWorkView&) const = default;
};

/// Everything needed to go on where the user stopped.
struct TWork {
    std::optional<TWorkPicture> Picture; ///< none when no picture was loaded
    std::vector<TMirror> Mirrors;        ///< applied to the picture since it was read, in order
    std::vector<TContourPoint> Points;   ///< view coordinates; z is always 0
    TWorkView View;
    std::string Title = "Test-Zovori";   ///< the review window's title line, UTF-8
    bool ProfileSaved = true;            ///< whether the contour counts as saved to a .dat file
};

/// Exact equality, points compared bit for bit (so -0 differs from 0).
bool SameWork(const TWork& a, const TWork& b);

/// The version this program writes and the newest it reads.
inline constexpr int WorkFormatVersion = 1;

/// Limits a file must keep to be read at all; beyond them it is refused, never half read.
inline constexpr std::size_t MaxWorkFileBytes = 512u << 20; ///< an embedded picture makes most of it
inline constexpr std::size_t MaxWorkPoints = 250000;
inline constexpr double MaxWorkCoordinate = 1e9;            ///< view coordinates, in picture pixels
inline constexpr int MaxWorkMirrors = 64;
inline constexpr int MaxWorkPointRadius = 10000;
inline constexpr std::size_t MaxWorkTitleBytes = 4096;
inline constexpr std::size_t MaxWorkPathBytes = 4096;

/// The file's bytes: UTF-8 JSON, keys in a fixed order, one point per line. Equal works give equal
/// bytes, and ReadWork(WriteWork(w)) gives w back with every double to the bit.
std::string WriteWork(const TWork& work);

/// Reads and checks a whole work file; throws TWorkError with the reason in German.
TWork ReadWork(std::string_view bytes);
