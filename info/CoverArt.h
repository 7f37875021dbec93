// The product's cover picture, drawn in code so that it scales with nothing
// borrowed: a bound law book with the scales of justice, a red-and-white
// chequered band and the two languages it joins.
#pragma once

#include <QImage>

// 190 x 300 pixels, 24 bits per pixel.
QImage PaintCoverArt();
