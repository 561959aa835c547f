#include "MemoPoints.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

std::string_view TextTitle(std::string_view text)
{
    return text.substr(0, text.find('\n'));
}

std::vector<TContourPoint> TableFromText(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find('\n', from);
        lines.push_back(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
        if (end == std::string_view::npos)
            break;
        from = end + 1;
    }
    // Empty lines at the end are no points; the file ends with a line break anyway.
    while (lines.size() > 1 && lines.back().find_first_not_of(" \t\r") == std::string_view::npos)
        lines.pop_back();
    std::vector<TContourPoint> table;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const char* p = line.data();
        const char* end = line.data() + line.size();
        double values[2] = {0.0, 0.0};
        bool ok = true;
        for (double& value : values) {
            while (p < end && (*p == ' ' || *p == '\t'))
                ++p;
            if (p < end && *p == '+')
                ++p;
            const auto result = std::from_chars(p, end, value, std::chars_format::general);
            ok = ok && result.ec == std::errc() && std::isfinite(value) && result.ptr != p;
            p = result.ptr;
            if (!ok)
                break;
        }
        while (ok && p < end && (*p == ' ' || *p == '\t' || *p == '\r'))
            ++p;
        if (!ok || p != end) {
            std::string shown(line.substr(0, 40));
            // Not in the middle of a character.
            while (!shown.empty() && shown.size() < line.size() && (static_cast<unsigned char>(line[shown.size()]) & 0xC0) == 0x80)
                shown.pop_back();
            if (shown.size() < line.size())
                shown += "…";
            throw std::runtime_error("Zeile " + std::to_string(i + 1) + " des Textes ist kein Punkt „x y“: „" + shown + "“.");
        }
        table.push_back({values[0], values[1], 0.0});
    }
    return table;
}
