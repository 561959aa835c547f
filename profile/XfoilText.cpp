#include "XfoilText.h"

#include "NumberText.h"
#include "ProfileText.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

/// Whether two numbers could have the same text: 15 significant digits tell apart any two that
/// differ by more than a few parts in 10^15. Spares the formatting of nearly every pair.
bool MayReadAlike(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

bool OpenAfter(const TContourPoint& last)
{
    // Compared as written: a point that prints as "1 0" is the closing point for every reader.
    if (PointLine(last) == "1 0")
        return false;
    return std::fabs(last.y) > std::fabs(1.0 - last.x);
}

} // namespace

std::string PointLine(const TContourPoint& p)
{
    return FloatToText(p.x, ".") + ' ' + FloatToText(p.y, ".");
}

bool SameLine(const TContourPoint& a, const TContourPoint& b)
{
    if (!MayReadAlike(a.x, b.x) || !MayReadAlike(a.y, b.y))
        return false;
    // Lines, not doubles: values a unit in the last place apart are one point in the file.
    return PointLine(a) == PointLine(b);
}

std::vector<std::size_t> OutlineOrder(const std::vector<TContourPoint>& table)
{
    std::vector<std::size_t> order(table.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (table.size() <= 3)
        return order;
    const double dx = table[1].x - table[0].x, dy = table[1].y - table[0].y;
    if (dy > std::fabs(dx) && !SameLine(table[0], table[1]))
        std::rotate(order.begin(), order.begin() + 1, order.end() - 1);
    return order;
}

bool HasOpenTrailingEdge(const std::vector<TContourPoint>& table)
{
    if (table.size() <= 3)
        return false;
    return OpenAfter(table[OutlineOrder(table)[table.size() - 2]]);
}

std::vector<std::size_t> XfoilEntries(const std::vector<TContourPoint>& table)
{
    std::vector<std::size_t> order = OutlineOrder(table);
    if (table.size() > 3 && OpenAfter(table[order[table.size() - 2]]))
        order.pop_back();
    std::vector<std::size_t> entries;
    entries.reserve(order.size());
    for (const std::size_t i : order) {
        if (!entries.empty() && SameLine(table[entries.back()], table[i]))
            continue;
        entries.push_back(i);
    }
    return entries;
}

std::vector<TContourPoint> XfoilTable(const std::vector<TContourPoint>& table)
{
    std::vector<TContourPoint> result;
    for (const std::size_t i : XfoilEntries(table))
        result.push_back(table[i]);
    return result;
}

std::string XfoilProfileText(std::string_view title, const std::vector<TContourPoint>& table)
{
    return ProfileText(title, XfoilTable(table));
}
