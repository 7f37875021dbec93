// The product's cover picture, drawn in code so that it scales with nothing
// borrowed: a bound law book with the scales of justice, a red-and-white
// chequered band and the two languages it joins.
#pragma once

#include <QImage>

// 190 x 300 pixels, 24 bits per pixel; drawn with as many device pixels per
// pixel as the screen has (the image carries the ratio), so the cover stays
// sharp on a scaled screen.
QImage PaintCoverArt(qreal devicePixelRatio = 1.0);
