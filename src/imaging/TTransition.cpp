#include "imaging/TTransition.h"

#include "imaging/TRasterImage.h"
#include "shell/Strings.h"
#include "shell/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

namespace Lumerix {

TEffectsError::TEffectsError(const QString& text) : std::runtime_error(text.toStdString()) {}

TEffectsFile TEffectsFile::Load(const QString& path) {
    // ReadLines cannot tell an unreadable file from an empty one, so the cause is found first.
    if (QFileInfo(path).isDir())
        throw TEffectsError(QStringLiteral("%1: cannot read: it is a folder").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TEffectsError(QStringLiteral("%1: cannot read: %2").arg(path, file.errorString()));
    file.close();
    TEffectsFile effects;
    effects.FilePath = path;
    effects.Lines = TextCodec::ReadLines(path);
    return effects;
}

TEffectParameters TEffectsFile::ParseLine(const QString& line, const QString& path,
                                          int lineNumber) {
    const QString delimiters = QStringLiteral(";");
    const QString where = QStringLiteral("%1, line %2: ").arg(path).arg(lineNumber);
    const int count = Strings::WordCount(line, delimiters);
    if (count < 5)
        throw TEffectsError(where + QStringLiteral("5 fields expected, got %1").arg(count));
    int values[5];
    for (int i = 0; i < 5; ++i) {
        const QString word = Strings::ExtractWord(i + 1, line, delimiters);
        bool ok = false;
        values[i] = word.trimmed().toInt(&ok);
        if (!ok)
            throw TEffectsError(where + QStringLiteral("\"%1\" is not an integer").arg(word));
    }
    TEffectParameters parameters;
    parameters.PaintEffect = values[0];
    parameters.EffectDelay = values[1];
    parameters.EffectGrain = values[2];
    parameters.PaintMaxPasses = values[3];
    parameters.WandSize = values[4];
    parameters.WandColor = Qt::black;
    return parameters;
}

TEffectParameters TEffectsFile::Effect(int number) const {
    if (number < 1 || number > Count())
        throw TEffectsError(QStringLiteral("%1: no line %2 (the file has %3 lines)")
                                .arg(FilePath)
                                .arg(number)
                                .arg(Count()));
    return ParseLine(Lines[number - 1], FilePath, number);
}

namespace {

constexpr int TransitionStates = 60;
// Grain, wand and pass sizes are given for a picture of this width (the preview) and scaled
// with the picture, so a full-screen transition looks like its preview.
constexpr double ReferenceWidth = 352;
// A reveal level is t · 65536 for t in [0, 1).
constexpr quint32 LevelOne = 65536;
// Pixels per tile whose lowest and highest levels let whole runs be copied at once.
constexpr int TileWidth = 64;

enum class TMode { Cut, Reveal, Blend, Push, Slide, Zoom };

struct TCatalogueRow {
    int PaintEffect;
    const char* Name;
    TMode Mode;
};

constexpr TCatalogueRow CatalogueRows[] = {
    {101, "wipe from left", TMode::Reveal},
    {102, "wipe from right", TMode::Reveal},
    {103, "wipe from top", TMode::Reveal},
    {104, "wipe from bottom", TMode::Reveal},
    {105, "wipe from top-left", TMode::Reveal},
    {106, "wipe from top-right", TMode::Reveal},
    {107, "wipe from bottom-left", TMode::Reveal},
    {108, "wipe from bottom-right", TMode::Reveal},
    {201, "barn doors opening (vertical)", TMode::Reveal},
    {202, "barn doors closing (vertical)", TMode::Reveal},
    {203, "barn doors opening (horizontal)", TMode::Reveal},
    {204, "barn doors closing (horizontal)", TMode::Reveal},
    {301, "iris rectangle out", TMode::Reveal},
    {302, "iris rectangle in", TMode::Reveal},
    {401, "iris circle out", TMode::Reveal},
    {402, "iris circle in", TMode::Reveal},
    {501, "horizontal blinds", TMode::Reveal},
    {502, "vertical blinds", TMode::Reveal},
    {601, "checkerboard", TMode::Reveal},
    {701, "random blocks", TMode::Reveal},
    {702, "cross-fade", TMode::Blend},
    {703, "pixel dissolve", TMode::Reveal},
    {801, "push from left", TMode::Push},
    {802, "push from right", TMode::Push},
    {803, "push from top", TMode::Push},
    {804, "push from bottom", TMode::Push},
    {811, "slide in from left", TMode::Slide},
    {812, "slide in from right", TMode::Slide},
    {813, "slide in from top", TMode::Slide},
    {814, "slide in from bottom", TMode::Slide},
    {900, "cut", TMode::Cut},
    {1001, "clock wipe clockwise", TMode::Reveal},
    {1002, "clock wipe counter-clockwise", TMode::Reveal},
    {1101, "diagonal wipe from top-left", TMode::Reveal},
    {1102, "diagonal wipe from top-right", TMode::Reveal},
    {1201, "spiral inward", TMode::Reveal},
    {1202, "spiral outward", TMode::Reveal},
    {1301, "zoom in", TMode::Zoom},
    {1302, "zoom out", TMode::Zoom},
};

const TCatalogueRow* FindRow(int paintEffect) {
    for (const TCatalogueRow& row : CatalogueRows)
        if (row.PaintEffect == paintEffect)
            return &row;
    return nullptr;
}

// Effects with a moving edge: they take a wand line, and their edge snaps to the grain.
bool HasEdge(int effect) {
    const int group = effect / 100;
    return (group >= 1 && group <= 4) || effect == 501 || effect == 502 || group == 8 ||
           group == 10 || group == 11;
}

// Effects whose grain means an edge step rather than a block size or a count.
bool SnapsToGrain(int effect) {
    return HasEdge(effect) && effect != 501 && effect != 502;
}

quint16 ToLevel(double t) {
    const double level = std::floor(t * LevelOne);
    return quint16(std::clamp(level, 0.0, double(LevelOne - 1)));
}

// The size-dependent part of the parameters.
struct TGeometry {
    int W = 0;
    int H = 0;
    double Scale = 1;      ///< picture width / ReferenceWidth
    int Passes = 1;        ///< at least 1
    int PassThickness = 1; ///< rows (or columns) per pass line
    double WandPixels = 0; ///< 0 = no wand
    int Grain = 1;         ///< the parameter as given
    int ScaledBlock(int grain) const {
        return std::max(1, int(std::lround(std::max(grain, 1) * Scale)));
    }
};

// The reveal time of one pixel, t in [0, 1), and how fast t changes per pixel across the
// moving edge (for the width of the wand line).
struct TReveal {
    double T;
    double Slope;
};

struct TRevealMap {
    std::vector<quint16> Level; ///< B shows where Level < the state's level
    std::vector<quint16> Band;  ///< wand line width in level units; empty without a wand
    int Steps = 0;              ///< the state's level snaps to multiples of 1/Steps; 0 = smooth
    int TilesPerRow = 0;
    std::vector<quint32> TileLow;  ///< lowest level of each tile
    std::vector<quint32> TileHigh; ///< highest level + band of each tile
};

// Fills the map from `field(px, py)` (pixel centre coordinates) and `pass(x, y)`: a pixel of
// pass j is shown between j / Passes and (j + 1) / Passes of the transition.
template <typename Field, typename Pass>
void FillMap(TRevealMap& map, const TGeometry& g, Field field, Pass pass) {
    const size_t size = size_t(g.W) * size_t(g.H);
    map.Level.resize(size);
    const bool band = g.WandPixels > 0;
    if (band)
        map.Band.resize(size);
    const double perPass = 1.0 / g.Passes;
    const double bandScale = g.WandPixels * perPass * LevelOne;
    for (int y = 0; y < g.H; ++y) {
        quint16* level = map.Level.data() + size_t(y) * g.W;
        quint16* width = band ? map.Band.data() + size_t(y) * g.W : nullptr;
        for (int x = 0; x < g.W; ++x) {
            const TReveal r = field(x + 0.5, y + 0.5);
            level[x] = ToLevel((pass(x, y) + r.T) * perPass);
            if (band)
                width[x] = quint16(std::clamp(std::ceil(r.Slope * bandScale), 1.0, 65535.0));
        }
    }
}

template <typename Field>
void FillMap(TRevealMap& map, const TGeometry& g, bool passColumns, Field field) {
    const int passes = g.Passes;
    const int thickness = g.PassThickness;
    if (passes <= 1)
        FillMap(map, g, field, [](int, int) { return 0; });
    else if (passColumns)
        FillMap(map, g, field, [=](int x, int) { return (x / thickness) % passes; });
    else
        FillMap(map, g, field, [=](int, int y) { return (y / thickness) % passes; });
}

// The rank of each block in spiral order: the outer ring clockwise from the top-left corner,
// then the next ring inside it.
std::vector<int> SpiralRanks(int columns, int rows) {
    std::vector<int> rank(size_t(columns) * rows, 0);
    int next = 0;
    auto put = [&](int x, int y) {
        rank[size_t(y) * columns + x] = next++;
    };
    for (int ring = 0; 2 * ring < columns && 2 * ring < rows; ++ring) {
        const int left = ring, top = ring, right = columns - 1 - ring, bottom = rows - 1 - ring;
        for (int x = left; x <= right; ++x)
            put(x, top);
        for (int y = top + 1; y <= bottom; ++y)
            put(right, y);
        if (bottom > top)
            for (int x = right - 1; x >= left; --x)
                put(x, bottom);
        if (right > left)
            for (int y = bottom - 1; y > top; --y)
                put(left, y);
    }
    return rank;
}

// A random order of `count` blocks: Fisher-Yates on the raw generator output, so the order is
// the same with every standard library.
std::vector<int> RandomRanks(int count, std::mt19937& random) {
    std::vector<int> rank(count);
    for (int i = 0; i < count; ++i)
        rank[i] = i;
    for (int i = count - 1; i > 0; --i)
        std::swap(rank[i], rank[random() % quint32(i + 1)]);
    return rank;
}

// The reveal map of a threshold effect.
void BuildRevealMap(TRevealMap& map, int effect, const TGeometry& g, std::mt19937& random) {
    const double w = g.W, h = g.H, cx = w / 2, cy = h / 2;
    double travel = 0; // pixels the edge moves over the whole transition, for grain steps
    switch (effect) {
    case 101:
    case 102: {
        const bool fromRight = effect == 102;
        FillMap(map, g, false, [=](double px, double) {
            return TReveal{(fromRight ? w - px : px) / w, 1 / w};
        });
        travel = w;
        break;
    }
    case 103:
    case 104: {
        const bool fromBottom = effect == 104;
        FillMap(map, g, true, [=](double, double py) {
            return TReveal{(fromBottom ? h - py : py) / h, 1 / h};
        });
        travel = h;
        break;
    }
    case 105:
    case 106:
    case 107:
    case 108: {
        // The edge runs parallel to the diagonal between the two other corners.
        const bool right = effect == 106 || effect == 108;
        const bool bottom = effect == 107 || effect == 108;
        const double slope = 0.5 * std::hypot(1 / w, 1 / h);
        FillMap(map, g, false, [=](double px, double py) {
            const double u = (right ? w - px : px) / w, v = (bottom ? h - py : py) / h;
            return TReveal{(u + v) / 2, slope};
        });
        travel = 1 / slope;
        break;
    }
    case 201:
    case 202: {
        const bool closing = effect == 202;
        FillMap(map, g, false, [=](double px, double) {
            const double d = std::abs(px - cx) / cx;
            return TReveal{closing ? 1 - d : d, 1 / cx};
        });
        travel = cx;
        break;
    }
    case 203:
    case 204: {
        const bool closing = effect == 204;
        FillMap(map, g, true, [=](double, double py) {
            const double d = std::abs(py - cy) / cy;
            return TReveal{closing ? 1 - d : d, 1 / cy};
        });
        travel = cy;
        break;
    }
    case 301:
    case 302: {
        // A rectangle of the picture's proportions.
        const bool in = effect == 302;
        FillMap(map, g, false, [=](double px, double py) {
            const double dx = std::abs(px - cx) / cx, dy = std::abs(py - cy) / cy;
            const double d = std::max(dx, dy);
            return TReveal{in ? 1 - d : d, dx >= dy ? 1 / cx : 1 / cy};
        });
        travel = std::max(cx, cy);
        break;
    }
    case 401:
    case 402: {
        // The circle ends at the corners, so the whole picture is covered.
        const bool in = effect == 402;
        const double radius = std::hypot(cx, cy);
        FillMap(map, g, false, [=](double px, double py) {
            const double d = std::hypot(px - cx, py - cy) / radius;
            return TReveal{in ? 1 - d : d, 1 / radius};
        });
        travel = radius;
        break;
    }
    case 501:
    case 502: {
        // Each blind is wiped on its own; passes take every P-th blind together.
        const bool vertical = effect == 502;
        const int blinds = std::max(2, g.Grain);
        const double length = (vertical ? w : h) / blinds;
        auto field = [=](double px, double py) {
            const double along = vertical ? px : py;
            const double blind = std::min(std::floor(along / length), double(blinds - 1));
            return TReveal{std::clamp((along - blind * length) / length, 0.0, 1.0), 1 / length};
        };
        const int passes = g.Passes;
        FillMap(map, g, field, [=](int x, int y) {
            const double along = (vertical ? x : y) + 0.5;
            return std::min(int(along / length), blinds - 1) % passes;
        });
        break;
    }
    case 601: {
        // Cells of one colour are wiped first, then the others, each cell from its left.
        const int cell = g.ScaledBlock(g.Grain);
        FillMap(map, g, false, [=](double px, double py) {
            const int column = int(px) / cell, row = int(py) / cell;
            const double inside = (px - column * cell) / cell;
            return TReveal{(((column + row) & 1) + inside) / 2, 0};
        });
        break;
    }
    case 701:
    case 1201:
    case 1202: {
        const int block = g.ScaledBlock(g.Grain);
        const int columns = (g.W + block - 1) / block, rows = (g.H + block - 1) / block;
        const int count = columns * rows;
        std::vector<int> rank =
            effect == 701 ? RandomRanks(count, random) : SpiralRanks(columns, rows);
        if (effect == 1202)
            for (int& r : rank)
                r = count - 1 - r;
        FillMap(map, g, false, [&](double px, double py) {
            const int index = (int(py) / block) * columns + int(px) / block;
            return TReveal{(rank[index] + 0.5) / count, 0};
        });
        break;
    }
    case 703: {
        const int dot = g.ScaledBlock(g.Grain);
        const int columns = (g.W + dot - 1) / dot, rows = (g.H + dot - 1) / dot;
        std::vector<float> when(size_t(columns) * rows);
        for (float& t : when)
            t = float((random() >> 8) * (1.0 / (1 << 24)));
        FillMap(map, g, false, [&](double px, double py) {
            return TReveal{when[(int(py) / dot) * columns + int(px) / dot], 0};
        });
        break;
    }
    case 1001:
    case 1002: {
        // The hand turns from 12 o'clock; its sweep is measured on the inscribed circle.
        const double turn = effect == 1001 ? 1 : -1;
        constexpr double fullTurn = 2 * std::numbers::pi;
        FillMap(map, g, false, [=](double px, double py) {
            const double dx = px - cx, dy = py - cy;
            double angle = std::atan2(turn * dx, -dy);
            if (angle < 0)
                angle += fullTurn;
            return TReveal{std::min(angle / fullTurn, 1.0),
                           1 / (fullTurn * std::max(std::hypot(dx, dy), 0.5))};
        });
        travel = std::numbers::pi * std::min(w, h);
        break;
    }
    case 1101:
    case 1102: {
        // A 45-degree edge, whatever the picture's proportions.
        const bool fromRight = effect == 1102;
        const double slope = std::numbers::sqrt2 / (w + h);
        FillMap(map, g, false, [=](double px, double py) {
            return TReveal{((fromRight ? w - px : px) + py) / (w + h), slope};
        });
        travel = 1 / slope;
        break;
    }
    default:
        break;
    }
    if (SnapsToGrain(effect) && g.Grain > 1 && travel > 0) {
        const int steps = std::max(1, int(std::lround(travel / (g.Grain * g.Scale))));
        map.Steps = steps * g.Passes;
    }
    map.TilesPerRow = (g.W + TileWidth - 1) / TileWidth;
    map.TileLow.assign(size_t(map.TilesPerRow) * g.H, LevelOne);
    map.TileHigh.assign(size_t(map.TilesPerRow) * g.H, 0);
    for (int y = 0; y < g.H; ++y) {
        for (int x = 0; x < g.W; ++x) {
            const size_t i = size_t(y) * g.W + x;
            const size_t tile = size_t(y) * map.TilesPerRow + x / TileWidth;
            const quint32 level = map.Level[i];
            const quint32 high = level + (map.Band.empty() ? 0 : map.Band[i]);
            map.TileLow[tile] = std::min(map.TileLow[tile], level);
            map.TileHigh[tile] = std::max(map.TileHigh[tile], high);
        }
    }
}

// Pixel coordinate and 8-bit weight of the next one, for sampling `length` source pixels at
// `count` evenly spread positions.
struct TSample {
    int Index;
    int Next;
    int Weight;
};

std::vector<TSample> SamplePositions(int length, int count) {
    std::vector<TSample> samples(count);
    const double step = double(length) / count;
    for (int i = 0; i < count; ++i) {
        const double at = std::clamp((i + 0.5) * step - 0.5, 0.0, double(length - 1));
        const int index = int(at);
        samples[i] = {index, std::min(index + 1, length - 1), int(std::lround((at - index) * 256))};
    }
    return samples;
}

// Draws `source` bilinearly scaled into `target` (inside `out`).
void DrawScaled(const QImage& source, QImage& out, const QRect& target) {
    if (target.isEmpty())
        return;
    const std::vector<TSample> columns = SamplePositions(source.width(), target.width());
    const std::vector<TSample> rows = SamplePositions(source.height(), target.height());
    // Horizontally sampled source rows, kept while consecutive output rows share them.
    const int bytes = 3 * target.width();
    std::vector<quint16> upper(bytes), lower(bytes);
    int upperRow = -1, lowerRow = -1;
    auto sampleRow = [&](int y, std::vector<quint16>& into) {
        const uchar* line = source.constScanLine(y);
        quint16* o = into.data();
        for (const TSample& s : columns) {
            const uchar* p = line + 3 * s.Index;
            const uchar* q = line + 3 * s.Next;
            const int w = s.Weight;
            o[0] = quint16(p[0] * (256 - w) + q[0] * w);
            o[1] = quint16(p[1] * (256 - w) + q[1] * w);
            o[2] = quint16(p[2] * (256 - w) + q[2] * w);
            o += 3;
        }
    };
    for (int y = 0; y < target.height(); ++y) {
        const TSample& s = rows[y];
        if (upperRow != s.Index) {
            if (lowerRow == s.Index) {
                std::swap(upper, lower);
                std::swap(upperRow, lowerRow);
            } else {
                sampleRow(s.Index, upper);
                upperRow = s.Index;
            }
        }
        if (lowerRow != s.Next) {
            sampleRow(s.Next, lower);
            lowerRow = s.Next;
        }
        uchar* o = out.scanLine(target.top() + y) + 3 * target.left();
        const quint32 wl = quint32(s.Weight), wu = 256 - wl;
        for (int i = 0; i < bytes; ++i)
            o[i] = uchar((upper[i] * wu + lower[i] * wl + 32768) >> 16);
    }
}

// `image` at half the size, each pixel the mean of four.
QImage Halved(const QImage& image) {
    const int w = image.width() / 2, h = image.height() / 2;
    QImage half(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        const uchar* upper = image.constScanLine(2 * y);
        const uchar* lower = image.constScanLine(2 * y + 1);
        uchar* o = half.scanLine(y);
        for (int i = 0; i < 3 * w; ++i) {
            const int left = i + 3 * (i / 3), right = left + 3;
            o[i] = uchar((upper[left] + upper[right] + lower[left] + lower[right] + 2) / 4);
        }
    }
    return half;
}

} // namespace

const QList<TTransitionKind>& TransitionCatalogue() {
    static const QList<TTransitionKind> catalogue = [] {
        QList<TTransitionKind> kinds;
        for (const TCatalogueRow& row : CatalogueRows)
            kinds.append({row.PaintEffect, QString::fromLatin1(row.Name)});
        return kinds;
    }();
    return catalogue;
}

const TTransitionKind* FindTransition(int paintEffect) {
    for (const TTransitionKind& kind : TransitionCatalogue())
        if (kind.PaintEffect == paintEffect)
            return &kind;
    return nullptr;
}

struct TTransitionPainter::TData {
    QImage A;
    QImage B;
    int Effect = 0;
    TMode Mode = TMode::Cut;
    int States = 1;
    TGeometry Geometry;
    uchar Wand[3] = {0, 0, 0}; ///< blue, green, red
    TRevealMap Map;
    std::vector<QImage> Pyramid; ///< the zoomed picture halved again and again

    void Compose(int state, QImage& out) const;
    void ComposeReveal(quint32 level, QImage& out) const;
    void ComposeBlend(int weight, QImage& out) const;
    void ComposeShift(int state, QImage& out) const;
    void ComposeZoom(int state, QImage& out) const;
    void FillWand(QImage& out, const QRect& band) const;
};

void TTransitionPainter::TData::Compose(int state, QImage& out) const {
    if (state < 1 || state > States)
        throw std::out_of_range(QStringLiteral("transition state %1 outside 1 .. %2")
                                    .arg(state)
                                    .arg(States)
                                    .toStdString());
    if (state == States) {
        out = B;
        return;
    }
    // A buffer still shared (with B, or with a copy the receiver kept) would be copied on the
    // first write only to be overwritten; a fresh one is cheaper.
    if (out.isNull() || !out.isDetached() || out.size() != A.size())
        out = QImage(A.size(), QImage::Format_BGR888);
    if (out.isNull())
        throw std::bad_alloc();
    switch (Mode) {
    case TMode::Reveal: {
        quint32 level = quint32(state) * LevelOne / quint32(States);
        if (Map.Steps > 0) {
            const quint32 step = quint32(state) * quint32(Map.Steps) / quint32(States);
            level = quint32(quint64(step) * LevelOne / quint64(Map.Steps));
        }
        ComposeReveal(level, out);
        break;
    }
    case TMode::Blend:
        ComposeBlend((state * 256 + States / 2) / States, out);
        break;
    case TMode::Push:
    case TMode::Slide:
        ComposeShift(state, out);
        break;
    case TMode::Zoom:
        ComposeZoom(state, out);
        break;
    case TMode::Cut:
        break;
    }
}

void TTransitionPainter::TData::ComposeReveal(quint32 level, QImage& out) const {
    const int w = A.width();
    const bool band = !Map.Band.empty();
    for (int y = 0; y < A.height(); ++y) {
        const uchar* a = A.constScanLine(y);
        const uchar* b = B.constScanLine(y);
        uchar* o = out.scanLine(y);
        const quint16* levels = Map.Level.data() + size_t(y) * w;
        const quint16* widths = band ? Map.Band.data() + size_t(y) * w : nullptr;
        const quint32* low = Map.TileLow.data() + size_t(y) * Map.TilesPerRow;
        const quint32* high = Map.TileHigh.data() + size_t(y) * Map.TilesPerRow;
        for (int tile = 0; tile < Map.TilesPerRow; ++tile) {
            const int x0 = tile * TileWidth, x1 = std::min(w, x0 + TileWidth);
            if (level <= low[tile]) {
                std::memcpy(o + 3 * x0, a + 3 * x0, size_t(3) * (x1 - x0));
            } else if (high[tile] < level) {
                std::memcpy(o + 3 * x0, b + 3 * x0, size_t(3) * (x1 - x0));
            } else if (!band) {
                for (int x = x0; x < x1; ++x) {
                    const uchar* p = levels[x] < level ? b + 3 * x : a + 3 * x;
                    o[3 * x] = p[0];
                    o[3 * x + 1] = p[1];
                    o[3 * x + 2] = p[2];
                }
            } else {
                for (int x = x0; x < x1; ++x) {
                    const quint32 at = levels[x];
                    const uchar* p =
                        at >= level ? a + 3 * x : (level - at <= widths[x] ? Wand : b + 3 * x);
                    o[3 * x] = p[0];
                    o[3 * x + 1] = p[1];
                    o[3 * x + 2] = p[2];
                }
            }
        }
    }
}

void TTransitionPainter::TData::ComposeBlend(int weight, QImage& out) const {
    const int bytes = 3 * A.width();
    const quint32 wb = quint32(weight), wa = 256 - wb;
    for (int y = 0; y < A.height(); ++y) {
        const uchar* a = A.constScanLine(y);
        const uchar* b = B.constScanLine(y);
        uchar* o = out.scanLine(y);
        for (int i = 0; i < bytes; ++i)
            o[i] = uchar((a[i] * wa + b[i] * wb + 128) >> 8);
    }
}

void TTransitionPainter::TData::FillWand(QImage& out, const QRect& band) const {
    const QRect area = band & out.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar* o = out.scanLine(y) + 3 * area.left();
        for (int x = 0; x < area.width(); ++x, o += 3)
            std::memcpy(o, Wand, 3);
    }
}

void TTransitionPainter::TData::ComposeShift(int state, QImage& out) const {
    const int w = A.width(), h = A.height();
    const int direction = Effect % 10; // 1 left, 2 right, 3 top, 4 bottom
    const bool horizontal = direction <= 2;
    const int length = horizontal ? w : h;
    // How far B has come in, snapped to the grain.
    double progress = double(state) / States;
    if (Geometry.Grain > 1) {
        const int steps = std::max(1, int(std::lround(length / (Geometry.Grain * Geometry.Scale))));
        progress = double(state * steps / States) / steps;
    }
    const int in = std::clamp(int(std::lround(progress * length)), 0, length);
    const bool push = Mode == TMode::Push;
    const size_t pixel = 3;
    // B's visible part and A's visible part as (destination, source) spans along the axis.
    const bool fromStart = direction == 1 || direction == 3;
    const int bDest = fromStart ? 0 : length - in;
    const int bSource = fromStart ? length - in : 0;
    const int aDest = fromStart ? in : 0;
    const int aSource = push == fromStart ? 0 : in;
    const int aLength = length - in;
    if (horizontal) {
        for (int y = 0; y < h; ++y) {
            uchar* o = out.scanLine(y);
            std::memcpy(o + pixel * bDest, B.constScanLine(y) + pixel * bSource, pixel * in);
            std::memcpy(o + pixel * aDest, A.constScanLine(y) + pixel * aSource, pixel * aLength);
        }
    } else {
        const size_t bytes = pixel * w;
        for (int y = 0; y < in; ++y)
            std::memcpy(out.scanLine(bDest + y), B.constScanLine(bSource + y), bytes);
        for (int y = 0; y < aLength; ++y)
            std::memcpy(out.scanLine(aDest + y), A.constScanLine(aSource + y), bytes);
    }
    if (Geometry.WandPixels > 0 && in > 0) {
        const int wand = std::min(in, std::max(1, int(std::lround(Geometry.WandPixels))));
        // The line lies on B's side of the edge.
        const int from = fromStart ? in - wand : bDest;
        FillWand(out, horizontal ? QRect(from, 0, wand, h) : QRect(0, from, w, wand));
    }
}

void TTransitionPainter::TData::ComposeZoom(int state, QImage& out) const {
    // Zoom in: B grows from the centre over A; zoom out: A shrinks into the centre over B.
    const bool in = Effect == 1301;
    // Eased in and out: the picture starts and stops moving gently, and the first state
    // changes little even though the uncovered area grows with the square of the scale.
    const double p = double(state) / States;
    const double eased = p * p * (3 - 2 * p);
    const double scale = in ? eased : 1 - eased;
    const QImage& back = in ? A : B;
    const int w = A.width(), h = A.height();
    const int sw = int(std::lround(w * scale)), sh = int(std::lround(h * scale));
    const QRect target((w - sw) / 2, (h - sh) / 2, sw, sh);
    const size_t pixel = 3;
    for (int y = 0; y < h; ++y) {
        uchar* o = out.scanLine(y);
        const uchar* b = back.constScanLine(y);
        if (y < target.top() || y > target.bottom() || target.isEmpty()) {
            std::memcpy(o, b, pixel * w);
        } else {
            std::memcpy(o, b, pixel * target.left());
            const int right = target.right() + 1;
            std::memcpy(o + pixel * right, b + pixel * right, pixel * (w - right));
        }
    }
    // Bilinear sampling shrinks by at most two from the nearest larger halving.
    size_t level = 0;
    while (level + 1 < Pyramid.size() && Pyramid[level + 1].width() >= sw &&
           Pyramid[level + 1].height() >= sh)
        ++level;
    DrawScaled(Pyramid[level], out, target);
}

TTransitionPainter::TTransitionPainter(const QImage& a, const QImage& b,
                                       const TEffectParameters& parameters)
    : Data(std::make_unique<TData>()) {
    if (a.isNull())
        throw TEffectsError(QStringLiteral("transition: picture A is empty"));
    if (b.isNull())
        throw TEffectsError(QStringLiteral("transition: picture B is empty"));
    const TCatalogueRow* row = FindRow(parameters.PaintEffect);
    if (!row)
        throw TEffectsError(
            QStringLiteral("transition: unknown effect %1 (PaintEffect is not in the catalogue)")
                .arg(parameters.PaintEffect));
    TData& d = *Data;
    d.A = a.format() == QImage::Format_BGR888 ? a : a.convertToFormat(QImage::Format_BGR888);
    TRasterImage fitted(b);
    if (fitted.SizeOf() != d.A.size())
        fitted.Size(d.A.width(), d.A.height(), TResize::Bicubic);
    d.B = fitted.Bitmap();
    d.Effect = row->PaintEffect;
    d.Mode = row->Mode;
    d.States = d.Mode == TMode::Cut ? 1 : TransitionStates;

    TGeometry& g = d.Geometry;
    g.W = d.A.width();
    g.H = d.A.height();
    g.Scale = g.W / ReferenceWidth;
    g.Grain = parameters.EffectGrain;
    g.Passes = d.Mode == TMode::Reveal ? std::max(1, parameters.PaintMaxPasses) : 1;
    g.PassThickness = std::max(1, int(std::lround(g.Scale)));
    if (parameters.WandSize > 0 && HasEdge(d.Effect))
        g.WandPixels = std::max(1.0, parameters.WandSize * g.Scale);
    const QColor wand = parameters.WandColor.toRgb();
    d.Wand[0] = uchar(wand.blue());
    d.Wand[1] = uchar(wand.green());
    d.Wand[2] = uchar(wand.red());

    if (d.Mode == TMode::Reveal) {
        // Equal parameters and sizes give equal random orders.
        std::seed_seq seed{quint32(d.Effect), quint32(g.Grain), quint32(g.Passes), quint32(g.W),
                           quint32(g.H)};
        std::mt19937 random(seed);
        BuildRevealMap(d.Map, d.Effect, g, random);
    } else if (d.Mode == TMode::Zoom) {
        d.Pyramid.push_back(d.Effect == 1301 ? d.B : d.A);
        while (d.Pyramid.back().width() >= 4 && d.Pyramid.back().height() >= 4)
            d.Pyramid.push_back(Halved(d.Pyramid.back()));
    }
}

TTransitionPainter::~TTransitionPainter() = default;

int TTransitionPainter::StateCount() const {
    return Data->States;
}

int TTransitionPainter::Percent(int state) const {
    const int n = Data->States;
    const int k = std::clamp(state, 0, n);
    return (200 * k + n) / (2 * n);
}

QImage TTransitionPainter::State(int state) const {
    QImage out;
    Data->Compose(state, out);
    return out;
}

int TTransitionPainter::Run(
    const std::function<bool(int percent, const QImage& state)>& report) const {
    QImage out; // reused while the receiver keeps no copy
    for (int state = 1; state <= Data->States; ++state) {
        Data->Compose(state, out);
        if (!report(Percent(state), out))
            return state;
    }
    return Data->States;
}

} // namespace Lumerix
