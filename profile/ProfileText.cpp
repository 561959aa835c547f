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
        const auto b = static_cast<unsigned char>(line[i]);
        if (line.compare(i, 2, "\xEF\xB7") == 0 && i + 2 < line.size() && (line[i + 2] == '\x90' || line[i + 2] == '\x91')) {
            text += '?';
            i += 2;
        } else if (b == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) < 0xA0) {
            // A C1 control (C2 80 .. C2 9F), or a stray C2 byte that the next one keeps.
            if (static_cast<unsigned char>(line[i + 1]) >= 0x80)
                ++i;
            else
                text += line[i];
        } else if (b < 0x80) {
            if (const char32_t kept = TitleCharacter(b))
                text += static_cast<char>(kept);
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
        if (b == 0 || (b >= '\n' && b <= '\r') || (b == 0xC2 && next(1) == 0x85) ||
            (b == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)))
            return title.substr(0, i);
    }
    return title;
}

char32_t TitleCharacter(char32_t c)
{
    if (c == U'\t')
        return U' ';
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) ? 0 : c;
}

TSingleLineText SingleLineEdit(std::u16string_view before, std::u16string_view after, std::size_t cursor)
{
    cursor = std::min(cursor, after.size());
    // The text after the cursor is the old text's end; what precedes the insertion is the old
    // text's start as far as both agree.
    std::size_t start = 0;
    while (start < cursor && start < before.size() && before[start] == after[start])
        ++start;
    const auto ends = [](char16_t c) { return c == 0 || IsLineBreak(c); };
    std::size_t kept = start;
    while (kept < cursor && !ends(after[kept]))
        ++kept;
    std::u16string left(after.substr(0, kept)), right(after.substr(cursor));
    // A box that held a line break already (its text set by the program) keeps its first line.
    const auto cut = [&](std::u16string& part) {
        const auto end = std::find_if(part.begin(), part.end(), ends);
        const bool found = end != part.end();
        part.erase(end, part.end());
        return found;
    };
    if (cut(left))
        right.clear();
    else
        cut(right);
    const auto clean = [](std::u16string& part) {
        std::size_t out = 0;
        for (const char16_t c : part) {
            if (const char32_t keptChar = TitleCharacter(c))
                part[out++] = static_cast<char16_t>(keptChar);
        }
        part.resize(out);
    };
    clean(left);
    clean(right);
    TSingleLineText result;
    result.cursor = left.size();
    result.text = left + right;
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
