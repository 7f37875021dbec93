// The fonts the About window was designed with, or their nearest stand-ins.
#pragma once

#include <QFont>

// "MS Sans Serif" at the given character height in pixels. Linux rarely has
// it; Liberation Sans keeps the layout closest to the designed one.
QFont DesignSansFont(int pixelHeight);

// A serif face for the cover picture (Liberation Serif when present).
QFont DesignSerifFont(int pixelHeight, bool bold);
