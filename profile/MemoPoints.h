#pragma once

#include "TContourPoint.h"

#include <string_view>
#include <vector>

/// The table that a memo text holds: its lines after the title, each "x y". Throws a
/// std::runtime_error naming the first line that is no such pair of finite numbers.
std::vector<TContourPoint> TableFromText(std::string_view text);

/// The text's first line.
std::string_view TextTitle(std::string_view text);
