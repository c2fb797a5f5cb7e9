// Times every effect filter on one generated picture, with the settings the effects dialog
// typically passes (and the largest ones where the cost grows with the setting).
//
// Usage: effects-bench [--catalogue] [WIDTH HEIGHT [REPEATS]]   (default 4000 3000, best of 3)
//
// With --catalogue it runs every node of the effects dialog's tree as saving runs it on the
// full picture, at the amount a click on the node gives and at the bar's maximum.

#include "editing/EffectCatalogue.h"
#include "editing/EffectFilters.h"

#include <QElapsedTimer>
#include <QImage>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace Fx = Lumerix::EffectFilters;

namespace {

// Soft colour fields, a few hard-edged shapes and sensor-like noise, so that no filter meets a
// special case (flat areas, one colour).
QImage Picture(int w, int h, unsigned seed) {
    QImage image(w, h, QImage::Format_BGR888);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const double u = double(x) / w, v = double(y) / h;
            const int noise = int(random() % 24) - 12;
            const bool disc = (u - 0.6) * (u - 0.6) + (v - 0.4) * (v - 0.4) < 0.04;
            const int b = int(200 * v + 40 * std::sin(9 * u)) + noise;
            const int g = disc ? 220 + noise : int(120 + 100 * std::sin(5 * u + 3 * v)) + noise;
            const int r = int(255 * u * (1 - v)) + noise;
            p[0] = uchar(std::clamp(b, 0, 255));
            p[1] = uchar(std::clamp(g, 0, 255));
            p[2] = uchar(std::clamp(r, 0, 255));
        }
    }
    return image;
}

struct TRun {
    const char* Name;
    // Gets a fresh copy of the picture (and a second picture for the two-source filters);
    // the time of the call is what counts.
    std::function<void(QImage& picture, const QImage& copy, const QImage& other)> Filter;
};

// Every catalogue row on a fresh copy of `picture`, best of `repeats`, as ms and ms/MP.
int RunCatalogue(const QImage& picture, int repeats) {
    const double megapixels = double(picture.width()) * picture.height() / 1e6;
    std::printf("effects dialog nodes at %d x %d (%.1f MP), %d threads, best of %d\n",
                picture.width(), picture.height(), megapixels, QThread::idealThreadCount(),
                repeats);
    std::printf("%-24s %4s %6s %10s %10s\n", "node", "no.", "amount", "ms", "ms/MP");
    double slowest = 0.0;
    QString slowestName;
    for (const Lumerix::TEffectRow& row : Lumerix::EffectCatalogue::Rows()) {
        if (!row.Runs())
            continue;
        std::vector<int> amounts{row.SetsBar ? row.Position : 50};
        if (row.SetsBar && row.Maximum != row.Position)
            amounts.push_back(row.Maximum);
        for (const int amount : amounts) {
            double best = 1e300;
            for (int r = 0; r < repeats; ++r) {
                QImage target = picture.copy();
                target.bits();
                QElapsedTimer timer;
                timer.start();
                // Centre in the middle, extra bar at 40 (Plasma's scale from 10 on).
                Lumerix::EffectCatalogue::ApplyEffect(row, target, amount, picture.width() / 2,
                                                      picture.height() / 2, 40);
                best = std::min(best, timer.nsecsElapsed() / 1e6);
            }
            std::printf("%-24s %4d %6d %10.1f %10.2f\n", qPrintable(row.Path()), row.Number, amount,
                        best, best / megapixels);
            std::fflush(stdout);
            if (best > slowest) {
                slowest = best;
                slowestName = row.Path() + QStringLiteral(" at ") + QString::number(amount);
            }
        }
    }
    std::printf("slowest: %s, %.1f ms (%.2f ms/MP)\n", qPrintable(slowestName), slowest,
                slowest / megapixels);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool catalogue = argc >= 2 && std::strcmp(argv[1], "--catalogue") == 0;
    if (catalogue) {
        --argc;
        ++argv;
    }
    const int w = argc >= 3 ? std::atoi(argv[1]) : 4000;
    const int h = argc >= 3 ? std::atoi(argv[2]) : 3000;
    const int repeats = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 3;
    if (w < 1 || h < 1) {
        std::fprintf(stderr, "usage: effects-bench [--catalogue] [WIDTH HEIGHT [REPEATS]]\n");
        return 2;
    }
    using P = QImage&;
    using C = const QImage&;
    const std::vector<TRun> runs = {
        {"Contrast 80",
         [](P b, C, C) {
             Fx::Contrast(b, 80);
         }},
        {"Saturation 400",
         [](P b, C, C) {
             Fx::Saturation(b, 400);
         }},
        {"Lightness 60",
         [](P b, C, C) {
             Fx::Lightness(b, 60);
         }},
        {"GaussianBlur 5 (6 passes)",
         [](P b, C, C) {
             Fx::GaussianBlur(b, 5);
         }},
        {"GaussianBlur 20 (21 passes, dialog maximum)",
         [](P b, C, C) {
             Fx::GaussianBlur(b, 20);
         }},
        {"SplitBlur 15",
         [](P b, C, C) {
             Fx::SplitBlur(b, 15);
         }},
        {"ColorNoise 100",
         [](P b, C, C) {
             Fx::ColorNoise(b, 100);
         }},
        {"MonoNoise 100",
         [](P b, C, C) {
             Fx::MonoNoise(b, 100);
         }},
        {"Smooth 5",
         [](P b, C, C) {
             Fx::Smooth(b, 5);
         }},
        {"Smooth 20 (dialog maximum)",
         [](P b, C, C) {
             Fx::Smooth(b, 20);
         }},
        {"Seamless 5",
         [](P b, C, C) {
             Fx::Seamless(b, 5);
         }},
        {"Mosaic 15",
         [](P b, C, C) {
             Fx::Mosaic(b, 15);
         }},
        {"Twist 10",
         [](P b, C c, C) {
             Fx::Twist(c, b, 10);
         }},
        {"FishEye 0.5",
         [](P b, C c, C) {
             Fx::FishEye(c, b, 0.5);
         }},
        {"Wave 15 normal",
         [](P b, C, C) {
             Fx::Wave(b, 15, 0, Fx::WaveNormal);
         }},
        {"Wave 15 extra",
         [](P b, C, C) {
             Fx::Wave(b, 15, 0, Fx::WaveExtra);
         }},
        {"Wave 15 inference 3",
         [](P b, C, C) {
             Fx::Wave(b, 15, 3, Fx::WaveInference);
         }},
        {"RotateBilinear 30",
         [=](P b, C c, C) {
             Fx::RotateBilinear(c, b, w / 2, h / 2, 30);
         }},
        {"SplitLight 3",
         [](P b, C, C) {
             Fx::SplitLight(b, 3);
         }},
        {"WingsDeep 100 / 20",
         [](P b, C c, C) {
             Fx::WingsDeep(c, b, 100, 20);
         }},
        {"WingsDown 100 / 20",
         [](P b, C c, C) {
             Fx::WingsDown(c, b, 100, 20);
         }},
        {"WingsUp 100 / 20",
         [](P b, C c, C) {
             Fx::WingsUp(c, b, 100, 20);
         }},
        {"WingsFold 100 / 20",
         [](P b, C c, C) {
             Fx::WingsFold(c, b, 100, 20);
         }},
        {"WingsTouche 100 / 20",
         [](P b, C c, C) {
             Fx::WingsTouche(c, b, 100, 20);
         }},
        {"WingsFlyer 100 / 20",
         [](P b, C c, C) {
             Fx::WingsFlyer(c, b, 100, 20);
         }},
        {"WingsFlipover 100 / 20",
         [](P b, C c, C) {
             Fx::WingsFlipover(c, b, 100, 20);
         }},
        {"WingsWavy 100 / 20",
         [](P b, C c, C) {
             Fx::WingsWavy(c, b, 100, 20);
         }},
        {"Emboss",
         [](P b, C, C) {
             Fx::Emboss(b);
         }},
        {"ChannelRed 50..200",
         [](P b, C, C) {
             Fx::ChannelRed(b, 50, 200);
         }},
        {"ChannelGreen 50..200",
         [](P b, C, C) {
             Fx::ChannelGreen(b, 50, 200);
         }},
        {"ChannelBlue 50..200",
         [](P b, C, C) {
             Fx::ChannelBlue(b, 50, 200);
         }},
        {"ChannelXRed 50..200",
         [](P b, C, C) {
             Fx::ChannelXRed(b, 50, 200);
         }},
        {"ChannelXGreen 50..200",
         [](P b, C, C) {
             Fx::ChannelXGreen(b, 50, 200);
         }},
        {"ChannelXBlue 50..200",
         [](P b, C, C) {
             Fx::ChannelXBlue(b, 50, 200);
         }},
        {"Squeeze 400 horizontal",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 7);
         }},
        {"Squeeze 400 top",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 8);
         }},
        {"Squeeze 400 bottom",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 9);
         }},
        {"Squeeze 400 diamond",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 10);
         }},
        {"Squeeze 400 waste",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 11);
         }},
        {"Squeeze 400 round",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 12);
         }},
        {"Squeeze 400 double round",
         [](P b, C c, C) {
             Fx::Squeeze(c, b, 400, 13);
         }},
        {"Split 400 round",
         [](P b, C c, C) {
             Fx::Split(c, b, 400, Fx::SplitRound);
         }},
        {"Split 400 waste",
         [](P b, C c, C) {
             Fx::Split(c, b, 400, Fx::SplitWaste);
         }},
        {"Shear 30",
         [](P b, C, C) {
             Fx::Shear(b, 30);
         }},
        {"Plasma 20 / 15",
         [](P b, C c, C o) {
             Fx::Plasma(c, o, b, 20, 15);
         }},
        {"Fractal Mandelbrot",
         [](P b, C, C) {
             Fx::Fractal(b, 16, -2.25, -1.5, 0.75, 1.5, true);
         }},
        {"Fractal Julia",
         [](P b, C, C) {
             Fx::Fractal(b, 16, -2.25, -1.5, 0.75, 1.5, false);
         }},
        {"Triangles 19",
         [](P b, C, C) {
             Fx::Triangles(b, 19);
         }},
        {"RippleTooth 20",
         [](P b, C, C) {
             Fx::RippleTooth(b, 20);
         }},
        {"RippleRandom 20",
         [](P b, C, C) {
             Fx::RippleRandom(b, 20);
         }},
        {"TexturizeTile 100",
         [](P b, C, C) {
             Fx::TexturizeTile(b, 100);
         }},
        {"TexturizeOverlap 100",
         [](P b, C, C) {
             Fx::TexturizeOverlap(b, 100);
         }},
        {"HeightMap 50",
         [](P b, C, C) {
             Fx::HeightMap(b, 50);
         }},
        {"Blend 0.5",
         [](P b, C, C o) {
             Fx::Blend(b, o, b, 0.5);
         }},
        {"Solarize 128",
         [](P b, C, C) {
             Fx::Solarize(b, b, 128);
         }},
        {"Posterize 64",
         [](P b, C, C) {
             Fx::Posterize(b, b, 64);
         }},
    };

    const QImage picture = Picture(w, h, 1);
    if (catalogue)
        return RunCatalogue(picture, repeats);
    const QImage other = Picture(w, h, 2);
    const double megapixels = double(w) * h / 1e6;
    std::printf("effect filters at %d x %d (%.1f MP), %d threads, best of %d\n", w, h, megapixels,
                QThread::idealThreadCount(), repeats);
    std::printf("%-46s %10s %10s\n", "filter", "ms", "ms/MP");
    double slowest = 0.0, total = 0.0;
    const char* slowestName = "";
    for (const TRun& run : runs) {
        double best = 1e300;
        for (int r = 0; r < repeats; ++r) {
            QImage target = picture.copy();
            const QImage copy = picture.copy();
            target.bits(); // owns its data before the clock starts
            QElapsedTimer timer;
            timer.start();
            run.Filter(target, copy, other);
            best = std::min(best, timer.nsecsElapsed() / 1e6);
        }
        std::printf("%-46s %10.1f %10.2f\n", run.Name, best, best / megapixels);
        std::fflush(stdout);
        total += best;
        if (best > slowest) {
            slowest = best;
            slowestName = run.Name;
        }
    }
    std::printf("slowest: %s, %.1f ms; all %zu runs together: %.1f ms\n", slowestName, slowest,
                runs.size(), total);
    return 0;
}
