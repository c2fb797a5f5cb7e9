#include "TransitionFrames.h"

#include "imaging/TTransition.h"
#include "shell/Strings.h"

#include <algorithm>

namespace Lumerix::TransitionFrames {

int Sample(const TTransitionPainter& painter,
           const std::function<void(int number, const QImage& picture)>& frame) {
    int reports = 0;
    int frames = 0;
    painter.Run([&](int percent, const QImage& state) {
        if (percent >= StopPercent)
            return false;
        if (++reports == Step) {
            frame(++frames, state);
            reports = 0;
        }
        return true;
    });
    return frames;
}

namespace {

// The sort key: lower case, "_" before every digit and letter.
QString SortKey(const QString& name) {
    QString key = name.toLower();
    key.replace(u'_', QChar(1));
    return key;
}

} // namespace

QStringList SequenceOrder(QStringList names) {
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return SortKey(a) < SortKey(b); });
    return names;
}

QString SequenceName(int index) {
    return QStringLiteral("Test_") + Strings::PadLeft(QString::number(index), u'0', 4) +
           QStringLiteral(".jpg");
}

QString QuantityLine(const QString& name, int frames) {
    return name + u'*' + QString::number(frames);
}

} // namespace Lumerix::TransitionFrames
