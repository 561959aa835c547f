#pragma once

#include <QColor>

#include <cstdint>

/// A colour as the program writes it: 0x00BBGGRR, or a system colour (high bit set, low byte the index).
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;

inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;

/// Resolves system colours through the application palette and returns a plain 0x00BBGGRR value.
TColor ColorToRGB(TColor color);

/// The colour as Qt takes it (system colours resolved).
QColor ToQColor(TColor color);

/// The Qt colour as 0x00BBGGRR.
TColor FromQColor(const QColor& color);
