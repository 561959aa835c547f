#include "ProfileText.h"

#include "NumberText.h"

#include <algorithm>

std::string ProfileText(std::string_view title, const std::vector<TContourPoint>& table)
{
    std::string text;
    text.reserve(title.size() + table.size() * 40);
    const std::string_view line = TitleLine(title);
    // The memo takes U+FDD0 and U+FDD1 for frame boundaries, a line break each; the file would
    // write them as '?' anyway.
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line.compare(i, 2, "\xEF\xB7") == 0 && i + 2 < line.size() && (line[i + 2] == '\x90' || line[i + 2] == '\x91')) {
            text += '?';
            i += 2;
        } else {
            text += line[i];
        }
    }
    for (const TContourPoint& p : table) {
        text += '\n';
        text += FloatToText(p.x, ".");
        text += ' ';
        text += FloatToText(p.y, ".");
    }
    return text;
}

bool IsLineBreak(char32_t c)
{
    return (c >= U'\n' && c <= U'\r') || c == 0x85 || c == 0x2028 || c == 0x2029;
}

std::string_view TitleLine(std::string_view title)
{
    for (std::size_t i = 0; i < title.size(); ++i) {
        const auto b = static_cast<unsigned char>(title[i]);
        const auto next = [&](std::size_t k) { return i + k < title.size() ? static_cast<unsigned char>(title[i + k]) : 0u; };
        // NEL is C2 85, the two separators E2 80 A8 and E2 80 A9 in UTF-8.
        if ((b >= '\n' && b <= '\r') || (b == 0xC2 && next(1) == 0x85) ||
            (b == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)))
            return title.substr(0, i);
    }
    return title;
}

TSingleLineText SingleLineEdit(std::u16string_view before, std::u16string_view after, std::size_t cursor)
{
    cursor = std::min(cursor, after.size());
    // The text after the cursor is the old text's end; what precedes the insertion is the old
    // text's start as far as both agree.
    std::size_t start = 0;
    while (start < cursor && start < before.size() && before[start] == after[start])
        ++start;
    std::size_t kept = start;
    while (kept < cursor && !IsLineBreak(after[kept]))
        ++kept;
    TSingleLineText result;
    result.text.assign(after.substr(0, kept));
    result.text.append(after.substr(cursor));
    result.cursor = kept;
    // A box that held a line break already (its text set by the program) keeps its first line.
    for (std::size_t i = 0; i < result.text.size(); ++i)
        if (IsLineBreak(result.text[i])) {
            result.text.resize(i);
            result.cursor = std::min(result.cursor, i);
            break;
        }
    return result;
}

char Windows1252Byte(char32_t c)
{
    // 0x80 .. 0x9F of the code page. Windows maps its five unassigned positions to the C1
    // controls of the same number, so those round-trip too.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (high[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string DatFileBytes(std::u32string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8 + 2);
    for (const char32_t c : text) {
        if (c == U'\n')
            bytes += "\r\n";
        else
            bytes += Windows1252Byte(c);
    }
    bytes += "\r\n";
    return bytes;
}
