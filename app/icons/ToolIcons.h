#pragma once
// The program's own images, drawn in code at 1x and 2x so they stay crisp on
// high-resolution screens: the six tool bar images of the main window, the
// two-state glyph of the search button and the window icon.
#include <QIcon>

enum class ToolImage { Exit = 0, Search = 1, Print = 2, Copy = 3, SelectAll = 4, Help = 5 };

QIcon ToolIcon(ToolImage image);          // 16 x 16 logical pixels
QIcon SearchGlyph();                      // normal and disabled images
QIcon ProgramIcon();                      // 16 to 64 pixels
