#pragma once

#include "TContourPoint.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

/// The line of the file text for one table entry: x, one blank, y, with '.' (as ProfileText writes it).
std::string ProfileLine(const TContourPoint& entry);

/// The entries whose line differs between two tables of the same size (x or y differ in any bit),
/// in index order; no value when the sizes differ or more than `limit` entries differ, where
/// writing the whole text again is the cheaper way.
std::optional<std::vector<std::size_t>> ChangedProfileLines(const std::vector<TContourPoint>& before,
                                                            const std::vector<TContourPoint>& after,
                                                            std::size_t limit);
