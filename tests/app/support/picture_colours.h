#pragma once
// How many colours a device view's picture shows: a playing phone screen has
// many, an empty or blank picture few.
class QImage;
class QLabel;

namespace apptest {

// Distinct colours in the label's pixmap scaled to 54 x 96; 0 without one.
int PixmapColours(const QLabel* label);
// The same for an image.
int ImageColours(const QImage& image);

}  // namespace apptest
