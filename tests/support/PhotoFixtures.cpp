#include "PhotoFixtures.h"

#include <QProcess>

#include <algorithm>

#include <gtest/gtest.h>

namespace Lumerix::PhotoFixtures {

namespace {

// 0 grey, 1 red, 2 green, 3 none of them (white, frame, blur at an edge).
int Kind(QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (r > 150 && g < 110 && b < 110)
        return 1;
    if (g > 140 && r < 110 && b < 110)
        return 2;
    if (std::abs(r - 128) < 40 && std::abs(g - 128) < 40 && std::abs(b - 128) < 40)
        return 0;
    return 3;
}

} // namespace

bool Make(const QString& folder) {
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  {QStringLiteral(LUMERIX_SOURCE_DIR "/tests/data/make-photos.py"), folder});
    const bool ok = process.waitForFinished(60000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok)
        ADD_FAILURE() << "make-photos.py failed: " << process.readAllStandardError().toStdString();
    return ok;
}

QImage Scene() {
    QImage scene(64, 48, QImage::Format_RGB32);
    scene.fill(QColor(128, 128, 128));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 64; ++x)
            scene.setPixel(x, y, x < 16 ? qRgb(30, 200, 30) : qRgb(220, 30, 30));
    return scene;
}

bool ShowsScene(const QImage& image, QRect area, TOrientation turn, QString* why) {
    if (area.isEmpty())
        area = image.rect();
    const QImage expected = JpegMarkers::Upright(Scene(), turn);
    const QImage seen =
        image.copy(area)
            .convertToFormat(QImage::Format_RGB32)
            .scaled(expected.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The picture's proportions must be the scene's, give or take the rounding of a size.
    const double ratio = double(area.width()) / area.height();
    const double wanted = double(expected.width()) / expected.height();
    if (std::abs(ratio - wanted) > 0.08 * wanted) {
        if (why)
            *why = QStringLiteral("proportions %1 × %2").arg(area.width()).arg(area.height());
        return false;
    }
    // Each colour of the scene counts alone, so a small mark in the wrong place shows.
    int total[3] = {};
    int same[3] = {};
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const int kind = Kind(expected.pixel(x, y));
            ++total[kind];
            same[kind] += Kind(seen.pixel(x, y)) == kind;
        }
    double share = 1.0;
    for (int kind = 0; kind < 3; ++kind)
        share = std::min(share, double(same[kind]) / std::max(total[kind], 1));
    if (why)
        *why = QStringLiteral("%1 % of the pixels of one colour match").arg(int(share * 100));
    return share >= 0.7;
}

} // namespace Lumerix::PhotoFixtures
