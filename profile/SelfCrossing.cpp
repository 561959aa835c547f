#include "SelfCrossing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>

namespace {

double Orient(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

/// r on the segment pq, given that the three are collinear.
bool WithinBox(const TContourPoint& p, const TContourPoint& q, const TContourPoint& r)
{
    return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
}

/// The smallest pair by the cells of a fine grid: near-linear for outlines, but a cluster of short
/// segments beside long ones puts them all in one cell. Gives up (false) where its cells hold more
/// than `budget` pairs to test.
bool SmallestPairByGrid(const std::vector<TContourPoint>& ring, std::size_t budget, std::pair<int, int>& best)
{
    const int m = static_cast<int>(ring.size());
    double minX = ring[0].x, maxX = ring[0].x, minY = ring[0].y, maxY = ring[0].y;
    for (const TContourPoint& p : ring) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double w = maxX - minX, h = maxY - minY;
    double length = 0.0;
    for (int i = 0; i < m; ++i) {
        const double dx = ring[(i + 1) % m].x - ring[i].x, dy = ring[(i + 1) % m].y - ring[i].y;
        length += std::sqrt(dx * dx + dy * dy);
    }
    // Every point on one spot, or an outline beyond the doubles: nothing to tell.
    if (!std::isfinite(w) || !std::isfinite(h) || !std::isfinite(length) || !(length > 0.0))
        return true;
    // Cells of four average segment lengths: a cell the outline passes holds a handful of
    // segments, and only the cells it passes are kept, sorted, not a grid over its whole box.
    const double cell = 4.0 * length / m;
    const std::int64_t nx = static_cast<std::int64_t>(w / cell) + 1;
    auto key = [&](double x, double y) {
        return static_cast<std::uint64_t>(static_cast<std::int64_t>((y - minY) / cell) * nx +
                                          static_cast<std::int64_t>((x - minX) / cell));
    };
    struct TEntry {
        std::uint64_t cell;
        int segment;
        bool operator<(const TEntry& o) const { return cell != o.cell ? cell < o.cell : segment < o.segment; }
        bool operator==(const TEntry& o) const = default;
    };
    std::vector<TEntry> entries;
    entries.reserve(static_cast<std::size_t>(m) * 2);
    for (int i = 0; i < m; ++i) {
        const TContourPoint& a = ring[i];
        const TContourPoint& b = ring[(i + 1) % m];
        // In steps of at most half a cell, each step's box covering at most 2 x 2 cells.
        const int steps = static_cast<int>(std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y)) / (cell / 2)) + 1;
        const std::size_t first = entries.size();
        for (int k = 0; k < steps; ++k) {
            const double t0 = static_cast<double>(k) / steps, t1 = static_cast<double>(k + 1) / steps;
            const double x0 = a.x + t0 * (b.x - a.x), x1 = a.x + t1 * (b.x - a.x);
            const double y0 = a.y + t0 * (b.y - a.y), y1 = a.y + t1 * (b.y - a.y);
            for (const double x : {x0, x1}) {
                for (const double y : {y0, y1}) {
                    const TEntry entry{key(x, y), i};
                    // Each cell once per segment: repeated keys would only slow the sort down. A
                    // straight segment meets a cell in one stretch, so its last few cells suffice.
                    const std::size_t recent = std::max(first, entries.size() - std::min<std::size_t>(entries.size(), 4));
                    if (std::find(entries.begin() + static_cast<std::ptrdiff_t>(recent), entries.end(), entry) == entries.end())
                        entries.push_back(entry);
                }
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end());
    // The pairs the cells hold bound the tests: too many, and the grid is no use here.
    std::size_t pairs = 0;
    for (std::size_t g = 0, end = 0; g < entries.size(); g = end) {
        while (end < entries.size() && entries[end].cell == entries[g].cell)
            ++end;
        pairs += (end - g) * (end - g - 1) / 2;
        if (pairs > budget)
            return false;
    }

    for (std::size_t g = 0; g < entries.size();) {
        std::size_t end = g + 1;
        while (end < entries.size() && entries[end].cell == entries[g].cell)
            ++end;
        for (std::size_t p = g; p < end; ++p) {
            const int i = entries[p].segment;
            if (best.first >= 0 && i > best.first)
                break;
            for (std::size_t q = p + 1; q < end; ++q) {
                const int j = entries[q].segment;
                if (j == i || j == i + 1 || (i == 0 && j == m - 1))
                    continue;
                if (best.first >= 0 && std::pair{i, j} >= best)
                    break;
                if (SegmentsMeet(ring[i], ring[(i + 1) % m], ring[j], ring[(j + 1) % m]))
                    best = {i, j};
            }
        }
        g = end;
    }
    return true;
}

} // namespace

// A sweep from left to right (ties: from the bottom up, so that a vertical segment
// runs along the sweep): segments that meet become neighbours in the sweep's order before it
// passes the point where they meet, so only neighbours are tested.
std::pair<int, int> SweptSelfCrossing(const std::vector<TContourPoint>& ring)
{
    const int m = static_cast<int>(ring.size());
    auto before = [](const TContourPoint& p, const TContourPoint& q) { return p.x < q.x || (p.x == q.x && p.y < q.y); };
    std::vector<TContourPoint> left(m), right(m);
    for (int i = 0; i < m; ++i) {
        const TContourPoint& a = ring[i];
        const TContourPoint& b = ring[(i + 1) % m];
        left[i] = before(b, a) ? b : a;
        right[i] = before(b, a) ? a : b;
    }
    auto neighbours = [m](int i, int j) { return j == i + 1 || i == j + 1 || (i == 0 && j == m - 1) || (j == 0 && i == m - 1); };
    std::pair<int, int> found{-1, -1};
    auto test = [&](int i, int j) {
        if (i == j || neighbours(i, j) || !SegmentsMeet(left[i], right[i], left[j], right[j]))
            return false;
        found = {std::min(i, j), std::max(i, j)};
        return true;
    };

    // The corners in sweep order: at each point its segments end or begin.
    struct TCorner {
        double x, y;
        int index;
        bool operator<(const TCorner& o) const { return x != o.x ? x < o.x : y != o.y ? y < o.y : index < o.index; }
    };
    std::vector<TCorner> corners(m);
    for (int i = 0; i < m; ++i)
        corners[i] = {ring[i].x, ring[i].y, i};
    std::sort(corners.begin(), corners.end());
    std::vector<double> slope(m);
    for (int k = 0; k < m; ++k)
        slope[k] = left[k].x == right[k].x ? 0.0 : (right[k].y - left[k].y) / (right[k].x - left[k].x);

    TContourPoint sweep;
    auto height = [&](int k) {
        const TContourPoint &a = left[k], &b = right[k];
        if (a.x == b.x)
            return std::clamp(sweep.y, a.y, b.y);
        if (sweep.x <= a.x)
            return a.y;
        if (sweep.x >= b.x)
            return b.y;
        return a.y + (sweep.x - a.x) * slope[k];
    };
    // Below first; through one point, the flatter first (a vertical segment last), as just right of it.
    auto below = [&](int i, int j) {
        const double yi = height(i), yj = height(j);
        if (yi != yj)
            return yi < yj;
        const double si = (right[i].y - left[i].y) * (right[j].x - left[j].x);
        const double sj = (right[j].y - left[j].y) * (right[i].x - left[i].x);
        return si != sj ? si < sj : i < j;
    };
    std::set<int, decltype(below)> status(below);
    std::vector<std::set<int, decltype(below)>::iterator> place(m, status.end());

    // The neighbours of k on either side, and past them every segment through the sweep's point:
    // overlapping segments would otherwise hide a third one that touches them there.
    auto nearby = [&](std::set<int, decltype(below)>::iterator it, int k) {
        for (auto up = std::next(it); up != status.end(); ++up) {
            if (test(*up, k))
                return true;
            if (height(*up) != sweep.y)
                break;
        }
        for (auto down = it; down != status.begin();) {
            --down;
            if (test(*down, k))
                return true;
            if (height(*down) != sweep.y)
                break;
        }
        return false;
    };

    std::vector<int> ending, starting;
    for (std::size_t g = 0; g < corners.size();) {
        const TContourPoint point{corners[g].x, corners[g].y, 0.0};
        std::size_t end = g;
        ending.clear();
        starting.clear();
        for (; end < corners.size() && corners[end].x == point.x && corners[end].y == point.y; ++end) {
            const int v = corners[end].index;
            for (const int k : {(v + m - 1) % m, v}) {
                const bool none = left[k].x == right[k].x && left[k].y == right[k].y;
                if (none ? k == v : left[k].x == point.x && left[k].y == point.y)
                    starting.push_back(k);
                else if (!none)
                    ending.push_back(k);
            }
        }
        // Two ends at one point meet there; only the two neighbours at a corner do not count.
        for (std::size_t p = 0; p < ending.size() + starting.size(); ++p)
            for (std::size_t q = p + 1; q < ending.size() + starting.size(); ++q)
                if (test(p < ending.size() ? ending[p] : starting[p - ending.size()],
                         q < ending.size() ? ending[q] : starting[q - ending.size()]))
                    return found;
        sweep = point;
        for (const int k : ending) {
            auto it = place[k];
            if (nearby(it, k))
                return found;
            auto next = std::next(it);
            if (it != status.begin() && next != status.end() && test(*std::prev(it), *next))
                return found;
            status.erase(it);
            place[k] = status.end();
        }
        for (const int k : starting) {
            auto it = status.insert(k).first;
            place[k] = it;
            if (nearby(it, k))
                return found;
            // A segment of no length is done where it starts.
            if (left[k].x == right[k].x && left[k].y == right[k].y) {
                auto next = std::next(it);
                if (it != status.begin() && next != status.end() && test(*std::prev(it), *next))
                    return found;
                status.erase(it);
                place[k] = status.end();
            }
        }
        g = end;
    }
    return found;
}

bool SegmentsMeet(const TContourPoint& a, const TContourPoint& b, const TContourPoint& c, const TContourPoint& d)
{
    const double d1 = Orient(c, d, a), d2 = Orient(c, d, b), d3 = Orient(a, b, c), d4 = Orient(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    return (d1 == 0 && WithinBox(c, d, a)) || (d2 == 0 && WithinBox(c, d, b)) || (d3 == 0 && WithinBox(a, b, c)) ||
           (d4 == 0 && WithinBox(a, b, d));
}

std::pair<int, int> FirstSelfCrossing(const std::vector<TContourPoint>& ring)
{
    const std::pair<int, int> none{-1, -1};
    if (ring.size() < 4)
        return none;
    for (const TContourPoint& p : ring)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return none;
    // Linear work for the grid: an ordinary outline needs a few tests per segment.
    std::pair<int, int> smallest{-1, -1};
    if (SmallestPairByGrid(ring, 16 * ring.size() + 1024, smallest))
        return smallest;
    return SweptSelfCrossing(ring);
}

bool TSelfCrossingMemory::MovedPointsClear(const std::vector<TContourPoint>& ring) const
{
    // Beyond this many, a test of the whole ring costs about as much.
    constexpr std::size_t MostMoved = 16;
    const int m = static_cast<int>(ring.size());
    if (!clear_ || ring.size() != ring_.size() || m < 4)
        return false;
    std::vector<int> segments;
    for (int v = 0; v < m; ++v) {
        const TContourPoint &p = ring[static_cast<std::size_t>(v)], &q = ring_[static_cast<std::size_t>(v)];
        if (std::memcmp(&p.x, &q.x, sizeof p.x) == 0 && std::memcmp(&p.y, &q.y, sizeof p.y) == 0)
            continue;
        if (segments.size() == 2 * MostMoved || !std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
        segments.push_back((v + m - 1) % m);
        segments.push_back(v);
    }
    if (segments.empty())
        return true;
    auto at = [&](int i) -> const TContourPoint& { return ring[static_cast<std::size_t>(i % m)]; };
    // Boxes round the moved segments and round all of them, for one pass over the ring; their
    // margin lies far beyond any rounding of the orientation tests.
    struct TBox {
        double lx, hx, ly, hy;
        bool Misses(const TContourPoint& c, const TContourPoint& d) const
        {
            return (c.x < lx && d.x < lx) || (c.x > hx && d.x > hx) || (c.y < ly && d.y < ly) || (c.y > hy && d.y > hy);
        }
    };
    std::vector<TBox> boxes;
    TBox all{at(segments[0]).x, at(segments[0]).x, at(segments[0]).y, at(segments[0]).y};
    for (const int s : segments) {
        const TContourPoint &a = at(s), &b = at(s + 1);
        const double margin = 1e-9 * (1.0 + std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y)}));
        boxes.push_back({std::min(a.x, b.x) - margin, std::max(a.x, b.x) + margin, std::min(a.y, b.y) - margin,
                         std::max(a.y, b.y) + margin});
        all = {std::min(all.lx, boxes.back().lx), std::max(all.hx, boxes.back().hx), std::min(all.ly, boxes.back().ly),
               std::max(all.hy, boxes.back().hy)};
    }
    for (int j = 0; j < m; ++j) {
        const TContourPoint &c = at(j), &d = at(j + 1);
        if (all.Misses(c, d))
            continue;
        for (std::size_t t = 0; t < segments.size(); ++t) {
            const int i = std::min(segments[t], j), k = std::max(segments[t], j);
            if (k == i || k == i + 1 || (i == 0 && k == m - 1) || boxes[t].Misses(c, d))
                continue;
            if (SegmentsMeet(at(i), at(i + 1), at(k), at(k + 1)))
                return false;
        }
    }
    return true;
}

std::pair<int, int> TSelfCrossingMemory::First(const std::vector<TContourPoint>& ring)
{
    if (MovedPointsClear(ring)) {
        ring_ = ring;
        return {-1, -1};
    }
    const std::pair<int, int> found = FirstSelfCrossing(ring);
    ring_ = ring;
    // A ring with a point beyond the doubles is not tested at all: it is no clear one to build on.
    clear_ = found.first < 0 && std::all_of(ring.begin(), ring.end(), [](const TContourPoint& p) {
                 return std::isfinite(p.x) && std::isfinite(p.y);
             });
    return found;
}

namespace {

/// The answer for two strictly x-monotone chains, or nothing where it is not clear-cut.
std::optional<bool> MonotoneChainsCross(const std::vector<TContourPoint>& ring)
{
    const std::size_t m = ring.size();
    std::size_t k = 0;
    for (std::size_t i = 1; i < m; ++i)
        k = ring[i].x < ring[k].x ? i : k;
    if (k == 0 || k + 1 >= m)
        return std::nullopt;
    for (std::size_t i = 0; i < m; ++i) {
        if (!std::isfinite(ring[i].x) || !std::isfinite(ring[i].y))
            return std::nullopt;
        if ((i < k && !(ring[i + 1].x < ring[i].x)) || (i > k && !(ring[i].x > ring[i - 1].x)))
            return std::nullopt;
    }
    // Along x from the nose: a (ring[k - 1], ring[k - 2], ...) and b (ring[k + 1], ...), each
    // vertex tested against the other chain's segment over it. The nose itself is shared.
    const std::size_t aLast = 0, bLast = m - 1;
    const double end = std::min(ring[aLast].x, ring[bLast].x);
    std::size_t a = k, b = k; // the segments (a, a - 1) and (b, b + 1) under the sweep
    int side = 0;
    auto clear = [&](const TContourPoint& p, const TContourPoint& q, const TContourPoint& v, int sign) {
        // v's side of pq (p left of q), above +; where rounding could flip it, the exact tests decide.
        const double left = (q.x - p.x) * (v.y - p.y), right = (q.y - p.y) * (v.x - p.x);
        const double h = sign * (left - right), bound = 1e-15 * (std::fabs(left) + std::fabs(right));
        const int s = h > bound ? 1 : h < -bound ? -1 : 0;
        if (s == 0 || (side != 0 && s != side))
            return false;
        side = s;
        return true;
    };
    while (true) {
        const TContourPoint* next = nullptr;
        bool fromA = false;
        if (a > aLast && (b >= bLast || ring[a - 1].x <= ring[b + 1].x)) {
            next = &ring[a - 1];
            fromA = true;
        } else if (b < bLast) {
            next = &ring[b + 1];
        }
        // Past the end of either chain there is nothing to cross.
        if (next == nullptr || next->x > end || (fromA ? b >= bLast : a <= aLast))
            break;
        // a's vertex against b's segment (b, b + 1), which spans its x; a above b is side +.
        if (fromA ? !clear(ring[b], ring[b + 1], *next, 1) : !clear(ring[a], ring[a - 1], *next, -1))
            return std::nullopt;
        if (fromA)
            --a;
        else
            ++b;
    }
    // The closing segment against every segment but its two neighbours.
    for (std::size_t i = 1; i + 2 < m; ++i)
        if (SegmentsMeet(ring[m - 1], ring[0], ring[i], ring[i + 1]))
            return true;
    return false;
}

} // namespace

bool CrossesItself(const std::vector<TContourPoint>& ring)
{
    if (ring.size() < 4)
        return false;
    if (const std::optional<bool> crosses = MonotoneChainsCross(ring))
        return *crosses;
    return FirstSelfCrossing(ring).first >= 0;
}
