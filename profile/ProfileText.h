#pragma once

#include "TContourPoint.h"

#include <string>
#include <string_view>
#include <vector>

/// The text of the .dat file as the review window's memo holds it: the title line, then one
/// line "x y" per table entry in the general number format with '.', lines joined by '\n'
/// and no newline after the last one. The title is UTF-8 and is taken up to its first line break
/// or NUL (TitleLine), so that no title adds a line to the file; of the other control characters a
/// tab becomes a blank and the rest are left out (TitleCharacter), so none reaches the file; U+FDD0
/// and U+FDD1, which the memo would take for line breaks, become '?', as the file's code page
/// writes them.
std::string ProfileText(std::string_view title, const std::vector<TContourPoint>& table);

/// Whether a character ends a line anywhere a title may go: LF, VT, FF, CR, NEL (U+0085) and the
/// Unicode line and paragraph separators (U+2028, U+2029).
bool IsLineBreak(char32_t c);

/// The UTF-8 title up to its first line break or NUL (a native edit box's text ends at a NUL).
std::string_view TitleLine(std::string_view title);

/// What a title keeps of a character that does not end it: a tab becomes a blank, the other
/// control characters (C0, DEL, C1) are left out (0), everything else stays.
char32_t TitleCharacter(char32_t c);

/// A single-line edit box after an edit: its text and cursor position, in UTF-16 units.
struct TSingleLineText {
    std::u16string text;
    std::size_t cursor = 0;
};

/// What a native single-line edit box holds when an edit (typing, pasting, dropping) turned
/// `before` into `after` and left the cursor at `cursor`, the end of the inserted text: of the
/// inserted text only what comes before its first line break or NUL, with its other control
/// characters as TitleCharacter keeps them, the rest of the box unchanged.
TSingleLineText SingleLineEdit(std::u16string_view before, std::u16string_view after, std::size_t cursor);

/// The Windows-1252 byte of a character, '?' for characters outside the code page.
char Windows1252Byte(char32_t c);

/// The bytes of the file for a memo text: every line ('\n'-separated; an empty text is one
/// empty line) in Windows-1252, each followed by CR LF, nothing after the last CR LF.
std::string DatFileBytes(std::u32string_view text);
