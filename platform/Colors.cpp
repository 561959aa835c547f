#include "Colors.h"

#include <QGuiApplication>
#include <QPalette>

TColor ColorToRGB(TColor color)
{
    if ((color & clSystemColor) == 0)
        return color & 0xFFFFFF;
    const QPalette palette = QGuiApplication::palette();
    switch (color) {
    case clWindowText:
        return FromQColor(palette.color(QPalette::WindowText));
    case clBtnFace:
        return FromQColor(palette.color(QPalette::Button));
    case clBtnShadow:
        return FromQColor(palette.color(QPalette::Dark));
    case clBtnHighlight:
        return FromQColor(palette.color(QPalette::Light));
    default:
        return FromQColor(palette.color(QPalette::Window));
    }
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color)
{
    return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
           (static_cast<TColor>(color.blue()) << 16);
}
