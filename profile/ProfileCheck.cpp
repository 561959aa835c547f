#include "ProfileCheck.h"

#include "XfoilText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>

namespace {

/// Line of the file that holds table entry i: the title is line 1.
int FileLine(std::size_t i)
{
    return static_cast<int>(i) + 2;
}

/// The turn at b from the direction a->b to the direction b->c, in degrees (0 .. 180).
double TurnDegrees(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) * 180.0 / std::numbers::pi;
}

struct TCut {
    double top = -std::numeric_limits<double>::infinity();
    double bottom = std::numeric_limits<double>::infinity();
};

/// The upper and lower surface at CheckStations + 1 equally spaced x: the highest and the lowest
/// point where the closed outline through all table entries meets the vertical line at x.
struct TSurfaces {
    double x0 = 0.0, step = 0.0;
    std::vector<double> upper, lower;

    /// Linearly between stations; clamped to the outline's x range.
    double At(const std::vector<double>& ys, double x) const
    {
        double u = (x - x0) / step;
        // Written so that a NaN, from an outline beyond the doubles, lands on the first station.
        u = u > 0.0 ? std::min(u, static_cast<double>(CheckStations)) : 0.0;
        const int i = std::min(static_cast<int>(u), CheckStations - 1);
        return ys[i] + (u - i) * (ys[i + 1] - ys[i]);
    }
};

/// The tangent of the outline at b for the segment from b to c, scaled to that segment's length:
/// the direction from a to c where the outline runs smoothly through b, the segment itself at a
/// corner (a turn above SharpTurnLimit, or a repeated point).
void Tangent(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c, double length, double& tx,
             double& ty)
{
    const double ax = c.x - a.x, ay = c.y - a.y, norm = std::hypot(ax, ay);
    const bool smooth = (a.x != b.x || a.y != b.y) && TurnDegrees(a, b, c) <= SharpTurnLimit && norm > 0.0;
    tx = smooth ? ax / norm * length : c.x - b.x;
    ty = smooth ? ay / norm * length : c.y - b.y;
}

bool CutSurfaces(const std::vector<TContourPoint>& table, TSurfaces& surfaces)
{
    const auto [minIt, maxIt] =
        std::minmax_element(table.begin(), table.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    const double x0 = minIt->x, span = maxIt->x - minIt->x;
    // No width, or one beyond the doubles (an outline spread over 1E300 by the normalisation).
    if (!(span > 0.0) || !std::isfinite(span))
        return false;
    const double step = span / CheckStations;
    std::vector<TCut> cuts(CheckStations + 1);
    auto cut = [&](const TContourPoint& a, const TContourPoint& b) {
        const double lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
        const int first = std::max(0, static_cast<int>(std::ceil((lo - x0) / step)));
        const int last = std::min(CheckStations, static_cast<int>(std::floor((hi - x0) / step)));
        for (int s = first; s <= last; ++s) {
            double yA = a.y, yB = b.y;
            // A vertical segment meets its station along its whole length.
            if (b.x != a.x) {
                const double t = std::clamp((x0 + s * step - a.x) / (b.x - a.x), 0.0, 1.0);
                yA = yB = a.y + t * (b.y - a.y);
            }
            cuts[s].top = std::max({cuts[s].top, yA, yB});
            cuts[s].bottom = std::min({cuts[s].bottom, yA, yB});
        }
    };
    // Straight segments between clicks would make the flat maxima of thickness and camber hop from
    // click to click; a Hermite curve through them (straight into corners) keeps them in place.
    constexpr int MaxPieces = 8;
    const std::size_t n = table.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TContourPoint& p0 = table[(i + n - 1) % n];
        const TContourPoint& p1 = table[i];
        const TContourPoint& p2 = table[(i + 1) % n];
        const TContourPoint& p3 = table[(i + 2) % n];
        // A segment within a station or two has nothing for a curve to add. (Its length only after
        // that: most segments of a long outline are such, and the length costs more than the cut.)
        const int pieces = static_cast<int>(std::clamp(std::fabs(p2.x - p1.x) / step, 1.0, double{MaxPieces}));
        const double length = pieces == 1 ? 0.0 : std::hypot(p2.x - p1.x, p2.y - p1.y);
        if (length == 0.0 || pieces == 1) {
            cut(p1, p2);
            continue;
        }
        double t1x, t1y, t2x, t2y;
        Tangent(p0, p1, p2, length, t1x, t1y);
        Tangent(p3, p2, p1, length, t2x, t2y);
        // Tangent() gives p2's tangent pointing backwards, towards p1.
        t2x = -t2x;
        t2y = -t2y;
        TContourPoint previous = p1;
        for (int k = 1; k <= pieces; ++k) {
            const double u = static_cast<double>(k) / pieces, u2 = u * u, u3 = u2 * u;
            const double h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = -2 * u3 + 3 * u2, h11 = u3 - u2;
            const TContourPoint next = k == pieces ? p2
                                                   : TContourPoint{h00 * p1.x + h10 * t1x + h01 * p2.x + h11 * t2x,
                                                                   h00 * p1.y + h10 * t1y + h01 * p2.y + h11 * t2y, 0.0};
            cut(previous, next);
            previous = next;
        }
    }
    surfaces.x0 = x0;
    surfaces.step = step;
    surfaces.upper.assign(CheckStations + 1, 0.0);
    surfaces.lower.assign(CheckStations + 1, 0.0);
    // Rounding can leave the last station just beyond the last segment: it takes its neighbour's cut.
    int known = -1;
    for (int s = 0; s <= CheckStations; ++s) {
        if (cuts[s].top >= cuts[s].bottom)
            known = s;
        else if (known >= 0)
            cuts[s] = cuts[known];
    }
    // No cut at all: an outline whose heights lie beyond the doubles.
    if (known < 0)
        return false;
    for (int s = CheckStations; s >= 0; --s) {
        if (cuts[s].top >= cuts[s].bottom)
            known = s;
        else
            cuts[s] = cuts[known];
        surfaces.upper[s] = cuts[s].top;
        surfaces.lower[s] = cuts[s].bottom;
    }
    return true;
}

/// Camber line and thickness as the NACA sections are built: the camber line runs midway between
/// the surfaces along its own normal, the thickness is their distance along that normal. At each
/// station the chord between the surfaces is found from the camber line marched so far: from the
/// nose and from the trailing edge towards the thickest cut, the direction in which an error in a
/// chord dies out. Fixed-point steps over the whole line let such errors grow near the nose instead.
/// Both figures are taken against the chord from the nose to the middle of the trailing edge, so
/// that an open edge does not tilt them (a symmetric section has no camber, clicked either way).
void MeasureThicknessAndCamber(const std::vector<TContourPoint>& table, const TContourPoint& trailingEdge,
                               TProfileCheck& check)
{
    TSurfaces surfaces;
    if (!CutSurfaces(table, surfaces))
        return;
    const std::vector<double>& upper = surfaces.upper;
    const std::vector<double>& lower = surfaces.lower;
    int thickest = 0;
    for (int s = 1; s <= CheckStations; ++s) {
        if (upper[s] - lower[s] > upper[thickest] - lower[thickest])
            thickest = s;
    }
    std::vector<double> camber(CheckStations + 1), thickness(CheckStations + 1);
    // Station s's chord runs from the upper side at x - e to the lower side at x + e.
    auto march = [&](int from, int to, int direction) {
        double e = 0.0;
        for (int s = from; s != to + direction; s += direction) {
            const double x = surfaces.x0 + s * surfaces.step;
            const int done = (s - from) * direction;
            double yU = 0.0, yL = 0.0;
            // Zero where the chord is perpendicular to the camber line, from its second-order
            // backward difference (first-order on the first step).
            auto g = [&](double trial) {
                yU = surfaces.At(upper, x - trial);
                yL = surfaces.At(lower, x + trial);
                const double c = (yU + yL) / 2.0, c1 = camber[s - direction];
                const double slope = done >= 2 ? (3.0 * c - 4.0 * c1 + camber[s - 2 * direction]) / 2.0 : c - c1;
                return -2.0 * trial * direction * surfaces.step + (yU - yL) * slope;
            };
            if (done > 0) {
                // Round the nose the chord may not reach past the ends of the outline.
                const double bound = std::min(std::min(s, CheckStations - s) * surfaces.step, upper[s] - lower[s]);
                e = std::clamp(e, -bound, bound);
                // A bracket round the last chord's offset, widened until the sign changes.
                double lo = e, hi = e, gLo = g(e), gHi = gLo;
                for (double width = surfaces.step; gLo * gHi > 0.0 && (lo > -bound || hi < bound); width *= 4.0) {
                    lo = std::max(e - width, -bound);
                    hi = std::min(e + width, bound);
                    gLo = g(lo);
                    gHi = g(hi);
                }
                if (gLo * gHi > 0.0) {
                    e = std::fabs(gLo) < std::fabs(gHi) ? lo : hi;
                } else {
                    // Regula falsi, Illinois variant: g is nearly straight here.
                    int side = 0;
                    e = lo;
                    for (int k = 0; k < 60 && gLo != gHi && hi - lo > 1e-6 * surfaces.step; ++k) {
                        e = std::clamp((lo * gHi - hi * gLo) / (gHi - gLo), lo, hi);
                        const double gE = g(e);
                        if (gE == 0.0)
                            break;
                        if ((gE > 0.0) == (gHi > 0.0)) {
                            hi = e;
                            gHi = gE;
                            if (side == -1)
                                gLo /= 2.0;
                            side = -1;
                        } else {
                            lo = e;
                            gLo = gE;
                            if (side == 1)
                                gHi /= 2.0;
                            side = 1;
                        }
                    }
                }
            }
            if (s == CheckStations && direction < 0)
                continue;
            yU = surfaces.At(upper, x - e);
            yL = surfaces.At(lower, x + e);
            camber[s] = (yU + yL) / 2.0;
            thickness[s] = std::hypot(2.0 * e, yU - yL);
            // An outline spread beyond the doubles keeps its vertical figures.
            if (!std::isfinite(camber[s]) || !std::isfinite(thickness[s])) {
                camber[s] = (upper[s] + lower[s]) / 2.0;
                thickness[s] = upper[s] - lower[s];
                e = 0.0;
            }
        }
    };
    march(0, thickest, 1);
    if (thickest < CheckStations) {
        // The last cut can miss one of the two edge points by a rounding: the line ends in their middle.
        camber[CheckStations] = trailingEdge.y;
        thickness[CheckStations] = upper[CheckStations] - lower[CheckStations];
        march(CheckStations, thickest + 1, -1);
    }

    // The table's frame has the nose at (0, 0); the chord ends in the middle of the trailing edge.
    const double cx = trailingEdge.x, cy = trailingEdge.y, chord2 = cx * cx + cy * cy, chord = std::sqrt(chord2);
    for (int s = 0; s <= CheckStations; ++s) {
        const double x = surfaces.x0 + s * surfaces.step;
        const double along = (x * cx + camber[s] * cy) / chord2, across = (cx * camber[s] - cy * x) / chord2;
        if (!std::isfinite(along) || !std::isfinite(across))
            continue;
        if (thickness[s] / chord > check.Thickness) {
            check.Thickness = thickness[s] / chord;
            check.ThicknessX = along;
        }
        if (std::fabs(across) > std::fabs(check.Camber)) {
            check.Camber = across;
            check.CamberX = along;
        }
    }
}

/// The middle between the two corners of the trailing edge: the rearmost entries seen from a
/// little above and a little below. The turn of the normalisation leaves the second corner of an
/// open edge a little short of x = 1 (the square of the gap); looking at it from a slant of 1 in 5
/// finds it for gaps up to a fifth of the chord and for sides up to five times steeper than 45°.
TContourPoint TrailingEdgeMiddle(const std::vector<TContourPoint>& table)
{
    constexpr double Slant = 0.2;
    const TContourPoint* top = &table.front();
    const TContourPoint* bottom = &table.front();
    for (const TContourPoint& p : table) {
        if (p.x + Slant * p.y > top->x + Slant * top->y)
            top = &p;
        if (p.x - Slant * p.y > bottom->x - Slant * bottom->y)
            bottom = &p;
    }
    return {(top->x + bottom->x) / 2.0, (top->y + bottom->y) / 2.0, 0.0};
}

/// Both sides need clicked points between the nose and the trailing edge (a few clicks round the
/// nose, within 5 % of the chord, are no side), and a side that ends before the middle of the chord
/// leaves the rest of it to a straight line.
void CheckRoundTheNose(const std::vector<TContourPoint>& table, std::size_t clicked, TProfileCheck& check)
{
    std::size_t nose = 0;
    for (std::size_t i = 1; i < clicked; ++i) {
        if (table[i].x < table[nose].x)
            nose = i;
    }
    if (nose < 2 || nose + 2 > clicked)
        return;
    check.UpperReach = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < nose; ++i)
        check.UpperReach = std::max(check.UpperReach, table[i].x);
    check.LowerReach = -std::numeric_limits<double>::infinity();
    for (std::size_t i = nose + 1; i < clicked; ++i)
        check.LowerReach = std::max(check.LowerReach, table[i].x);
    const double chord = table[0].x - table[nose].x;
    check.BothSides = std::min(check.UpperReach, check.LowerReach) >= table[nose].x + 0.05 * chord;
    const double middle = table[nose].x + 0.5 * chord;
    check.RoundTheNose = check.BothSides && check.UpperReach >= middle && check.LowerReach >= middle;
}

void MeasureTurns(const std::vector<TContourPoint>& table, const std::vector<std::size_t>& entries,
                  TProfileCheck& check, TCheckMemory& memory)
{
    // Beyond this many moved points measuring every turn costs no more.
    constexpr std::size_t MostMoved = 64;
    const std::size_t n = entries.size();
    std::vector<TContourPoint> outline(n);
    for (std::size_t k = 0; k < n; ++k)
        outline[k] = table[entries[k]];
    std::vector<std::size_t> moved;
    bool all = memory.outline.size() != n;
    for (std::size_t k = 0; k < n && !all; ++k) {
        const TContourPoint &p = outline[k], &q = memory.outline[k];
        if (std::memcmp(&p.x, &q.x, sizeof p.x) != 0 || std::memcmp(&p.y, &q.y, sizeof p.y) != 0) {
            all = moved.size() == MostMoved;
            moved.push_back(k);
        }
    }
    std::vector<double>& turns = memory.turns;
    // Ends have no turn; k - 1 of the first entry wraps to beyond n.
    auto measure = [&](std::size_t k) {
        if (k >= 1 && k < n && k + 1 < n)
            turns[k] = TurnDegrees(outline[k - 1], outline[k], outline[k + 1]);
    };
    if (all) {
        turns.assign(n, 0.0);
        for (std::size_t k = 1; k + 1 < n; ++k)
            measure(k);
    } else {
        for (const std::size_t k : moved) {
            measure(k - 1);
            measure(k);
            measure(k + 1);
        }
    }
    memory.outline = std::move(outline);
    for (std::size_t k = 1; k + 1 < n; ++k) {
        const double turn = turns[k];
        if (turn > check.SharpestTurn || check.SharpestTurnLine == 0) {
            check.SharpestTurn = turn;
            check.SharpestTurnLine = FileLine(entries[k]);
        }
        if (turn > SharpTurnLimit)
            check.SharpTurnLines.push_back(FileLine(entries[k]));
    }
}

void FindSelfCrossing(const std::vector<TContourPoint>& table, const std::vector<std::size_t>& entries,
                      TProfileCheck& check, TSelfCrossingMemory& memory)
{
    std::vector<std::size_t> ringEntries = entries;
    // The closing point repeats the first entry: the polygon closes there anyway.
    if (ringEntries.size() > 1 && SameLine(table[ringEntries.front()], table[ringEntries.back()]))
        ringEntries.pop_back();
    std::vector<TContourPoint> ring;
    ring.reserve(ringEntries.size());
    for (const std::size_t i : ringEntries)
        ring.push_back(table[i]);
    const auto [i, j] = memory.First(ring);
    if (i < 0)
        return;
    check.SelfCrossing = true;
    check.CrossingLines[0] = FileLine(ringEntries[static_cast<std::size_t>(i)]);
    check.CrossingLines[1] = FileLine(ringEntries[static_cast<std::size_t>(j)]);
}

/// A number with a fixed count of decimals, the given separator, and no "-0".
std::string Fixed(double value, int decimals, std::string_view separator)
{
    char buffer[400]; // the largest double in fixed notation with its decimals
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-')
        text.erase(0, 1);
    const std::size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, separator);
    return text;
}

std::string LineList(const std::vector<int>& lines)
{
    constexpr std::size_t Shown = 5;
    std::string text;
    const std::size_t shown = std::min(lines.size(), Shown);
    for (std::size_t k = 0; k < shown; ++k) {
        if (k > 0)
            text += (k + 1 == shown && lines.size() <= Shown) ? " und " : ", ";
        text += std::to_string(lines[k]);
    }
    if (lines.size() > Shown)
        text += " und " + std::to_string(lines.size() - Shown) + " weiteren";
    return text;
}

} // namespace

TProfileCheck CheckProfile(const std::vector<TContourPoint>& table, std::size_t clicked, TNormalisation normalisation,
                           TCheckMemory* memory)
{
    TProfileCheck check;
    check.Points = clicked;
    if (clicked == 0) {
        check.State = TCheckState::NoPoints;
        return check;
    }
    if (clicked <= 3 || table.size() != clicked + 1) {
        check.State = TCheckState::TooFewPoints;
        return check;
    }
    if (normalisation != TNormalisation::Done) {
        check.State = normalisation == TNormalisation::Off ? TCheckState::NotNormalised
                                                             : TCheckState::NormalisationFailed;
        return check;
    }
    check.State = TCheckState::Checked;

    // The edge as XFOIL will see it: open when its outline ends elsewhere than where it starts.
    const std::vector<std::size_t> entries = XfoilEntries(table);
    const TContourPoint& first = table[entries.front()];
    const TContourPoint& last = table[entries.back()];

    CheckRoundTheNose(table, clicked, check);
    if (check.RoundTheNose)
        MeasureThicknessAndCamber(table, TrailingEdgeMiddle(table), check);
    check.OpenTrailingEdge = !SameLine(first, last);
    check.TrailingEdgeGap = check.OpenTrailingEdge ? std::hypot(last.x - first.x, last.y - first.y) : 0.0;

    for (std::size_t i = 1; i < table.size(); ++i) {
        if (SameLine(table[i - 1], table[i])) {
            if (check.Duplicates++ == 0)
                check.FirstDuplicateLine = FileLine(i);
        }
    }

    TCheckMemory none;
    MeasureTurns(table, entries, check, memory ? *memory : none);
    FindSelfCrossing(table, entries, check, memory ? memory->crossing : none.crossing);
    return check;
}

std::vector<std::string> ProfileCheckLines(const TProfileCheck& check, std::string_view separator)
{
    auto percent = [&](double fraction, int decimals) { return Fixed(100.0 * fraction, decimals, separator) + " %"; };
    auto position = [&](double x) { return Fixed(x, 2, separator); };
    std::vector<std::string> lines;
    switch (check.State) {
    case TCheckState::NoPoints:
        lines.push_back("Keine Punkte: nichts zu prüfen.");
        return lines;
    case TCheckState::TooFewPoints:
        lines.push_back(std::string("Nur ") + (check.Points == 1 ? "1 Punkt" : std::to_string(check.Points) + " Punkte") +
                        ": Erst ab 4 Punkten wird das Profil geschlossen und geprüft.");
        return lines;
    case TCheckState::NotNormalised:
        lines.push_back("Nicht normiert: nichts zu prüfen.");
        return lines;
    case TCheckState::NormalisationFailed:
        lines.push_back("Normieren unmöglich (alle Punkte auf einer Senkrechten): nichts zu prüfen.");
        return lines;
    case TCheckState::Checked:
        break;
    }

    lines.push_back("Punkte: " + std::to_string(check.Points) + " und der Schlusspunkt 1 0");
    if (check.RoundTheNose) {
        lines.push_back("Größte Dicke: " + percent(check.Thickness, 1) + " der Sehne bei x = " + position(check.ThicknessX));
        // A camber that rounds to 0.0 % has no meaningful position.
        lines.push_back(Fixed(100.0 * std::fabs(check.Camber), 1, ".") == "0.0"
                            ? std::string("Größte Wölbung: keine")
                            : "Größte Wölbung: " + percent(check.Camber, 1) + " der Sehne bei x = " + position(check.CamberX));
    } else {
        lines.push_back("Dicke und Wölbung: nicht bestimmbar");
    }
    lines.push_back(check.OpenTrailingEdge ? "Hinterkante: offen, Spalt " + percent(check.TrailingEdgeGap, 2) + " der Sehne"
                                           : std::string("Hinterkante: geschlossen"));
    if (check.SharpestTurnLine > 0)
        lines.push_back("Schärfster Knick: " + Fixed(check.SharpestTurn, 1, separator) + "° in Zeile " +
                        std::to_string(check.SharpestTurnLine));

    if (!check.BothSides) {
        lines.push_back("Warnung: Der Umriss geht nicht um die Nase herum; Ober- und Unterseite werden beide gebraucht.");
    } else if (!check.RoundTheNose) {
        const bool upperShort = check.UpperReach < check.LowerReach;
        lines.push_back(std::string("Warnung: Die ") + (upperShort ? "Oberseite beginnt erst" : "Unterseite endet") +
                        " bei x = " + position(upperShort ? check.UpperReach : check.LowerReach) +
                        "; von dort bis zur Hinterkante ist der Umriss eine Gerade.");
    }
    if (check.SelfCrossing)
        lines.push_back("Warnung: Der Umriss kreuzt sich selbst (Strecken ab Zeile " + std::to_string(check.CrossingLines[0]) +
                        " und ab Zeile " + std::to_string(check.CrossingLines[1]) + ").");
    if (check.Duplicates > 0)
        lines.push_back("Warnung: " +
                        (check.Duplicates == 1 ? std::string("1 Punkt wiederholt") : std::to_string(check.Duplicates) + " Punkte wiederholen") +
                        " den vorigen (zuerst Zeile " + std::to_string(check.FirstDuplicateLine) +
                        "); „Für XFOIL speichern“ schreibt jeden nur einmal.");
    if (!check.SharpTurnLines.empty())
        lines.push_back("Warnung: " + std::string(check.SharpTurnLines.size() == 1 ? "Ein Knick" : "Knicke") + " über " +
                        Fixed(SharpTurnLimit, 0, separator) + "° (Zeile " + LineList(check.SharpTurnLines) +
                        (check.SharpTurnLines.size() == 1 ? ") verdirbt" : ") verderben") +
                        " XFOIL die Paneleinteilung.");
    if (check.OpenTrailingEdge)
        lines.push_back("Warnung: Die Datei schließt die offene Hinterkante mit „1 0“, das rechnet XFOIL falsch; "
                        "„Für XFOIL speichern“ schreibt sie offen.");
    return lines;
}
