// Times the transition painter: the constructor (once per transition) and the states, for
// every catalogue effect, on generated pictures.
//
// Usage: transition-bench [WIDTH HEIGHT [EFFECTS.INI]]   (default 1920 1080)
// Without a file every catalogue effect is timed with its usual grain; with one, every line
// of the file with its own parameters.

#include "imaging/TTransition.h"

#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using namespace Lumerix;

namespace {

// Soft colour fields with noise, so that nothing compresses into a special case.
QImage Picture(int w, int h, unsigned seed) {
    QImage image(w, h, QImage::Format_BGR888);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const int noise = int(random() % 32);
            p[0] = uchar((x * 255 / std::max(w - 1, 1) + noise + int(seed) * 60) & 255);
            p[1] = uchar((y * 255 / std::max(h - 1, 1) + noise) & 255);
            p[2] = uchar(((x + y) * 127 / std::max(w + h - 2, 1) + noise + int(seed) * 90) & 255);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    const int w = argc >= 3 ? std::atoi(argv[1]) : 1920;
    const int h = argc >= 3 ? std::atoi(argv[2]) : 1080;
    if (w < 1 || h < 1) {
        std::fprintf(stderr, "usage: transition-bench [WIDTH HEIGHT [EFFECTS.INI]]\n");
        return 2;
    }
    // The effects to time, with a label each.
    std::vector<std::pair<QString, TEffectParameters>> runs;
    if (argc >= 4) {
        try {
            const TEffectsFile file = TEffectsFile::Load(QString::fromLocal8Bit(argv[3]));
            for (int n = 1; n <= file.Count(); ++n) {
                const TEffectParameters parameters = file.Effect(n);
                runs.emplace_back(QStringLiteral("line %1: %2").arg(n).arg(file.Texts()[n - 1]),
                                  parameters);
            }
        } catch (const TEffectsError& error) {
            std::fprintf(stderr, "transition-bench: %s\n", error.what());
            return 1;
        }
    } else {
        for (const TTransitionKind& kind : TransitionCatalogue()) {
            TEffectParameters parameters;
            parameters.PaintEffect = kind.PaintEffect;
            // Block sizes and blind counts as shipped; edges smooth.
            const int group = kind.PaintEffect / 100;
            parameters.EffectGrain = kind.PaintEffect == 601 || group == 12 ? 32
                                     : kind.PaintEffect == 701              ? 16
                                     : kind.PaintEffect == 703              ? 2
                                     : group == 5                           ? 8
                                                                            : 1;
            runs.emplace_back(QStringLiteral("%1 %2").arg(kind.PaintEffect).arg(kind.Name),
                              parameters);
        }
    }
    const QImage a = Picture(w, h, 1);
    const QImage b = Picture(w, h, 2);
    std::printf("transition painter at %d x %d, one core; milliseconds\n", w, h);
    std::printf("%-40s %8s %8s %8s %8s\n", "effect", "setup", "mean", "max", "total");
    double worstMean = 0;
    for (const auto& [label, parameters] : runs) {
        QElapsedTimer timer;
        timer.start();
        const TTransitionPainter painter(a, b, parameters);
        const double setup = timer.nsecsElapsed() / 1e6;
        double total = 0, longest = 0;
        for (int state = 1; state <= painter.StateCount(); ++state) {
            timer.restart();
            const QImage image = painter.State(state);
            const double took = timer.nsecsElapsed() / 1e6;
            total += took;
            longest = std::max(longest, took);
        }
        const double mean = total / painter.StateCount();
        worstMean = std::max(worstMean, mean);
        std::printf("%-40s %8.1f %8.2f %8.2f %8.1f\n", label.toUtf8().constData(), setup, mean,
                    longest, total);
    }
    std::printf("slowest mean per state: %.2f ms\n", worstMean);
    return 0;
}
