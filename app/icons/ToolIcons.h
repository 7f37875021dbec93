#pragma once
// The program's own images: the six tool bar images of the main window and
// the two-state glyph of the search button, drawn in code at 1x and 2x so
// they stay crisp on high-resolution screens; and the window icon, the
// emblem rendered at build time from its drawing (hr.tarvena.Tarvena.svg).
#include <QIcon>

enum class ToolImage { Exit = 0, Search = 1, Print = 2, Copy = 3, SelectAll = 4, Help = 5 };

QIcon ToolIcon(ToolImage image);          // 16 x 16 logical pixels
QIcon SearchGlyph();                      // normal and disabled images
QIcon ProgramIcon();                      // 16 to 256 pixels
