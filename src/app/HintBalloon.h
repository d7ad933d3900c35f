#pragma once
// A hint balloon: a rounded box in the tooltip colours with a slanted arrow
// pointing at one of the instrument's keys, one text line per hint line.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// Where the two balloons' arrows point, in their pictures' own pixels.
inline constexpr int HINT_K1_ARROW_X = 240; // up, from the balloon below the keys
inline constexpr int HINT_K2_ARROW_X = 150; // down, from the balloon above the keys

// Paints one balloon over what bitmap holds. arrowDown: the box at the top and
// the arrow's tip near the bottom edge; otherwise the box at the bottom and
// the tip near the top edge. The box is as tall as text's lines in font plus
// a 7-pixel margin above and below; a line too long is cut 7 pixels before
// the right edge. Pixels outside the balloon keep their colour, so a bitmap
// filled with transparency composes over whatever lies behind it.
void DrawHintBalloon(QImage& bitmap, int arrowX, bool arrowDown, const QString& text, const QFont& font);

// The face the window draws its balloons in. The layout gives each line
// 13 pixels of height and 419 of width; a plain sans-serif at that height is
// too wide for the longest Russian hints, so the face is a condensed one,
// the same width whether or not the condensed face is installed.
QFont HintBalloonFont();

// The system's tooltip colours, which the balloon uses.
QColor HintBalloonBackground();
QColor HintBalloonTextColor();
