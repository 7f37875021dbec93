// The publisher's emblem of the report's page header: an 18 x 16 picture.
#pragma once

#include <QImage>

// Draws the emblem: a dark red open book with a gold section sign on a white
// ground, 18 x 16 pixels, 24-bit colour.
QImage PublisherEmblem();
