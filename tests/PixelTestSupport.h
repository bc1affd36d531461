// Counting pixels of a grabbed widget, for checks on what really reaches the screen.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdlib>

namespace pixel_test {

// Pixels of the image within a few steps of the colour in every channel:
// the cores of the glyphs drawn in it, not their anti-aliased edges.
inline int pixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= 8 && std::abs(c.green() - colour.green()) <= 8 &&
                std::abs(c.blue() - colour.blue()) <= 8)
                ++count;
        }
    return count;
}

}  // namespace pixel_test
