// Text drawing with the box rules of the labels: a rectangle with an exclusive
// right and bottom edge, format flags that either draw the text into it or
// measure it (the rectangle then grows or shrinks to the text's extent).
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    void Offset(int dx, int dy)
    {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    void Inflate(int dx, int dy)
    {
        Left -= dx;
        Right += dx;
        Top -= dy;
        Bottom += dy;
    }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    static TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    static TRect Union(const TRect& a, const TRect& b);
    bool operator==(const TRect& o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

namespace TextFormat {
constexpr unsigned Left = 0x0000;
constexpr unsigned Center = 0x0001;
constexpr unsigned Right = 0x0002;
constexpr unsigned WordBreak = 0x0010;
constexpr unsigned ExpandTabs = 0x0040;
constexpr unsigned CalcRect = 0x0400;
constexpr unsigned NoPrefix = 0x0800;
} // namespace TextFormat

// Measures (CalcRect: the rectangle keeps its top-left corner and takes the
// text's width and height; with WordBreak the lines break at its width) or
// draws the text clipped to the rectangle. Without NoPrefix a "&" underlines
// the next character and "&&" stands for one "&".
void DrawTextIn(QPainter* painter, const QFont& font, const QString& text, TRect& rect,
                unsigned format);
