#include "picture_colours.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSet>

namespace apptest {

int PixmapColours(const QLabel* label) {
    const QPixmap pixmap = label->pixmap(Qt::ReturnByValue);
    if (pixmap.isNull()) return 0;
    return ImageColours(pixmap.toImage());
}

int ImageColours(const QImage& picture) {
    if (picture.isNull()) return 0;
    const QImage image = picture.scaled(54, 96);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return colours.size();
}

}  // namespace apptest
