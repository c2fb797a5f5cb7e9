#pragma once

#include "imaging/JpegMarkers.h"

#include <QImage>
#include <QRect>
#include <QString>

namespace Lumerix::PhotoFixtures {

/// Runs tests/data/make-photos.py into `folder` (see there for the pictures it makes); false,
/// with a test failure, when it cannot.
bool Make(const QString& folder);

/// The fixtures' scene as seen upright, 64 × 48: a red top band with a green mark at its left
/// end, grey below.
QImage Scene();

/// True when `area` of `image` shows the scene turned by `turn` (at any size): of the pixels
/// of each of the scene's colours, at least 70 % have that colour there. `why` gets the
/// smallest share that matched.
bool ShowsScene(const QImage& image, QRect area = {}, TOrientation turn = TOrientation::Upright,
                QString* why = nullptr);

} // namespace Lumerix::PhotoFixtures
