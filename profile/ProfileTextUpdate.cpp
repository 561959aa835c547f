#include "ProfileTextUpdate.h"

#include "NumberText.h"

#include <cstring>

std::string ProfileLine(const TContourPoint& entry)
{
    return FloatToText(entry.x, ".") + ' ' + FloatToText(entry.y, ".");
}

std::optional<std::vector<std::size_t>> ChangedProfileLines(const std::vector<TContourPoint>& before,
                                                            const std::vector<TContourPoint>& after,
                                                            std::size_t limit)
{
    if (before.size() != after.size())
        return std::nullopt;
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.size(); ++i) {
        // Bits, not values: -0.0 and 0.0 write the same "0", but comparing bits never misses a change.
        if (std::memcmp(&before[i].x, &after[i].x, sizeof(double)) != 0 ||
            std::memcmp(&before[i].y, &after[i].y, sizeof(double)) != 0) {
            if (changed.size() == limit)
                return std::nullopt;
            changed.push_back(i);
        }
    }
    return changed;
}
