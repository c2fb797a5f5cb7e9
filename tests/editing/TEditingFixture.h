#pragma once

#include "imaging/TRasterImage.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>

namespace Lumerix::EditingTesting {

/// Smooth colour ramps (so JPEG keeps them well) with every channel well inside 0..255.
inline QImage Ramp(int width, int height) {
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgb(60 + 120 * x / std::max(1, width - 1),
                                70 + 100 * y / std::max(1, height - 1), 150));
    return image;
}

inline QString WriteRamp(const QString& path, int width, int height) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    TRasterImage(Ramp(width, height)).Save(path);
    return path;
}

inline QImage Decode(const QString& path) {
    TRasterImage image;
    image.Load(path);
    return image.Bitmap();
}

/// Mean of one channel (0 red, 1 green, 2 blue) over the picture.
inline double MeanChannel(const QImage& image, int channel) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum += channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p);
        }
    return sum / (double(image.width()) * image.height());
}

/// Mean absolute difference over all channels; -1 when the sizes differ.
inline double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace Lumerix::EditingTesting
