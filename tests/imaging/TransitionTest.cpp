#include "imaging/TTransition.h"

#include "imaging/TRasterImage.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace Lumerix;

namespace {

// Smooth pictures that differ everywhere, so any shift or resampling of them changes little
// while every revealed pixel changes a lot.
QImage PictureA(int w, int h) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = 40;
            p[1] = uchar(y * 200 / std::max(h - 1, 1));
            p[2] = uchar(x * 200 / std::max(w - 1, 1));
        }
    }
    return image;
}

QImage PictureB(int w, int h) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = 230;
            p[1] = uchar(255 - y * 100 / std::max(h - 1, 1));
            p[2] = uchar(250 - x * 40 / std::max(w - 1, 1));
        }
    }
    return image;
}

// Mean absolute difference per byte of two pictures of the same size and layout.
double MeanDifference(const QImage& a, const QImage& b) {
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < 3 * a.width(); ++i)
            sum += std::abs(p[i] - q[i]);
    }
    return double(sum) / (3.0 * a.width() * a.height());
}

int CountColour(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* p = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 3)
            count += p[0] == colour.blue() && p[1] == colour.green() && p[2] == colour.red();
    }
    return count;
}

TEffectParameters Effect(int paintEffect, int grain = 1, int passes = 0, int wand = 0) {
    TEffectParameters parameters;
    parameters.PaintEffect = paintEffect;
    parameters.EffectGrain = grain;
    parameters.PaintMaxPasses = passes;
    parameters.WandSize = wand;
    return parameters;
}

// The grain each effect is shipped with: block sizes and blind counts need more than 1.
int UsualGrain(int paintEffect) {
    switch (paintEffect / 100) {
    case 5:
        return 8;
    case 6:
    case 12:
        return 32;
    case 7:
        return paintEffect == 703 ? 2 : 16;
    default:
        return 1;
    }
}

std::vector<int> CatalogueNumbers() {
    std::vector<int> numbers;
    for (const TTransitionKind& kind : TransitionCatalogue())
        numbers.push_back(kind.PaintEffect);
    return numbers;
}

class TransitionEffectTest : public testing::TestWithParam<int> {};

TEST_P(TransitionEffectTest, StatesRiseFromAToExactlyB) {
    const int effect = GetParam();
    const bool cut = effect == 900;
    for (const QSize size : {QSize(1, 1), QSize(353, 289)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage a = PictureA(size.width(), size.height());
        const QImage b = PictureB(size.width(), size.height());
        const TTransitionPainter painter(a, b, Effect(effect, UsualGrain(effect)));
        const int n = painter.StateCount();
        ASSERT_EQ(n, cut ? 1 : 60);
        for (int k = 2; k <= n; ++k)
            EXPECT_GT(painter.Percent(k), painter.Percent(k - 1)) << "state " << k;
        EXPECT_EQ(painter.Percent(n), 100);
        EXPECT_EQ(painter.State(n), b) << "the last state is B, byte for byte";
        EXPECT_EQ(painter.State(n).format(), QImage::Format_BGR888);
        if (cut || size.width() == 1)
            continue;
        const QImage first = painter.State(1);
        EXPECT_EQ(first.size(), a.size());
        EXPECT_EQ(first.format(), QImage::Format_BGR888);
        EXPECT_LE(MeanDifference(first, a), MeanDifference(a, b) / 30)
            << "the first state is A or very nearly";
        const QImage middle = painter.State(30);
        EXPECT_NE(middle, a);
        EXPECT_NE(middle, b);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, TransitionEffectTest, testing::ValuesIn(CatalogueNumbers()),
    [](const testing::TestParamInfo<int>& info) {
        QString name = FindTransition(info.param)->Name;
        for (QChar& c : name)
            if (!c.isLetterOrNumber())
                c = u'_';
        return QStringLiteral("E%1_%2").arg(info.param).arg(name).toStdString();
    });

TEST(TransitionTest, FullScreenStatesEndInB) {
    const QImage a = PictureA(1920, 1080);
    const QImage b = PictureB(1920, 1080);
    for (const int effect : {401, 1301}) {
        SCOPED_TRACE(effect);
        const TTransitionPainter painter(a, b, Effect(effect));
        EXPECT_LE(MeanDifference(painter.State(1), a), MeanDifference(a, b) / 30);
        EXPECT_EQ(painter.State(60), b);
    }
}

TEST(TransitionTest, CatalogueNumbersAreUniqueAndFound) {
    QSet<int> seen;
    for (const TTransitionKind& kind : TransitionCatalogue()) {
        EXPECT_FALSE(seen.contains(kind.PaintEffect)) << kind.PaintEffect;
        seen.insert(kind.PaintEffect);
        EXPECT_FALSE(kind.Name.isEmpty());
        ASSERT_NE(FindTransition(kind.PaintEffect), nullptr);
        EXPECT_EQ(FindTransition(kind.PaintEffect)->Name, kind.Name);
    }
    EXPECT_EQ(TransitionCatalogue().size(), 39);
    EXPECT_EQ(FindTransition(101)->Name, "wipe from left");
    EXPECT_EQ(FindTransition(999), nullptr);
}

TEST(TransitionTest, RunReportsEveryStateAndStopsWhenAsked) {
    const QImage a = PictureA(64, 48);
    const QImage b = PictureB(64, 48);
    const TTransitionPainter painter(a, b, Effect(101));
    std::vector<int> percents;
    std::vector<QImage> kept; // the receiver keeps every state: none may be overwritten later
    EXPECT_EQ(painter.Run([&](int percent, const QImage& state) {
        percents.push_back(percent);
        kept.push_back(state);
        return true;
    }),
              60);
    ASSERT_EQ(kept.size(), 60u);
    for (int k = 1; k <= 60; ++k) {
        EXPECT_EQ(percents[k - 1], painter.Percent(k));
        EXPECT_EQ(kept[k - 1], painter.State(k)) << "state " << k;
    }

    int calls = 0;
    EXPECT_EQ(painter.Run([&](int, const QImage&) { return ++calls < 3; }), 3);
    EXPECT_EQ(calls, 3);
}

TEST(TransitionTest, PercentsAreRoundedSixtieths) {
    const TTransitionPainter painter(PictureA(8, 8), PictureB(8, 8), Effect(702));
    EXPECT_EQ(painter.Percent(1), 2);
    EXPECT_EQ(painter.Percent(2), 3);
    EXPECT_EQ(painter.Percent(30), 50);
    EXPECT_EQ(painter.Percent(59), 98);
    const TTransitionPainter cut(PictureA(8, 8), PictureB(8, 8), Effect(900));
    EXPECT_EQ(cut.Percent(1), 100);
}

struct TVariant {
    const char* Trap;
    TEffectParameters Base;
    TEffectParameters Changed;
    bool Differs;
};

TEST(TransitionTest, GrainPassesAndWandChangeOnlyTheEffectsThatUseThem) {
    const TVariant variants[] = {
        {"stepped wipe", Effect(101), Effect(101, 16), true},
        {"stepped iris", Effect(401), Effect(401, 12), true},
        {"ticking clock", Effect(1001), Effect(1001, 48), true},
        {"stepped push", Effect(801), Effect(801, 16), true},
        {"fewer blinds", Effect(501, 8), Effect(501, 4), true},
        {"larger cells", Effect(601, 32), Effect(601, 16), true},
        {"smaller blocks", Effect(701, 16), Effect(701, 8), true},
        {"coarser dissolve", Effect(703, 1), Effect(703, 4), true},
        {"larger spiral blocks", Effect(1201, 32), Effect(1201, 16), true},
        {"interlaced wipe", Effect(101), Effect(101, 1, 4), true},
        {"blinds in two passes", Effect(501, 8), Effect(501, 8, 2), true},
        {"dissolve in passes", Effect(703, 2), Effect(703, 2, 3), true},
        {"wipe with wand", Effect(101), Effect(101, 1, 0, 4), true},
        {"doors with wand", Effect(201), Effect(201, 1, 0, 4), true},
        {"iris with wand", Effect(401), Effect(401, 1, 0, 4), true},
        {"clock with wand", Effect(1001), Effect(1001, 1, 0, 4), true},
        {"diagonal with wand", Effect(1101), Effect(1101, 1, 0, 4), true},
        {"push with wand", Effect(801), Effect(801, 1, 0, 4), true},
        {"slide with wand", Effect(812), Effect(812, 1, 0, 4), true},
        {"one pass is no passes", Effect(101, 1, 0), Effect(101, 1, 1), false},
        {"cross-fade ignores grain", Effect(702), Effect(702, 16), false},
        {"cross-fade ignores passes", Effect(702), Effect(702, 1, 24), false},
        {"cross-fade ignores wand", Effect(702), Effect(702, 1, 0, 4), false},
        {"dissolve ignores wand", Effect(703, 2), Effect(703, 2, 0, 4), false},
        {"random blocks ignore wand", Effect(701, 16), Effect(701, 16, 0, 4), false},
        {"zoom ignores grain and passes", Effect(1301), Effect(1301, 16, 4), false},
        {"push ignores passes", Effect(801), Effect(801, 1, 4), false},
    };
    const QImage a = PictureA(353, 289);
    const QImage b = PictureB(353, 289);
    for (const TVariant& v : variants) {
        // Not the middle state: there a stepped edge may be where the smooth one is.
        const QImage base = TTransitionPainter(a, b, v.Base).State(20);
        const QImage changed = TTransitionPainter(a, b, v.Changed).State(20);
        EXPECT_EQ(base != changed, v.Differs) << v.Trap;
    }
}

TEST(TransitionTest, WandIsALineOfItsColourAlongTheEdge) {
    const QImage a = PictureA(352, 288);
    const QImage b = PictureB(352, 288);
    TEffectParameters wand = Effect(101, 1, 0, 4);
    wand.WandColor = Qt::red;
    const TTransitionPainter painter(a, b, wand);
    const QImage middle = painter.State(30);
    EXPECT_EQ(CountColour(middle, Qt::red), 4 * 288);
    // Half the width is revealed; the line is B's last four columns.
    const uchar* row = middle.constScanLine(100);
    EXPECT_EQ(row[3 * 171 + 2], b.constScanLine(100)[3 * 171 + 2]);
    EXPECT_EQ(row[3 * 172 + 2], 255);
    EXPECT_EQ(row[3 * 175 + 2], 255);
    EXPECT_EQ(row[3 * 176 + 2], a.constScanLine(100)[3 * 176 + 2]);
    EXPECT_EQ(painter.State(60), b) << "no line on the last state";
}

TEST(TransitionTest, GrainMovesTheWipeInSteps) {
    const QImage a = PictureA(352, 288);
    const QImage b = PictureB(352, 288);
    const TTransitionPainter painter(a, b, Effect(101, 16));
    for (int k = 1; k < 60; ++k) {
        const QImage state = painter.State(k);
        int revealed = 0;
        while (revealed < 352 && state.constScanLine(0)[3 * revealed] == 230)
            ++revealed;
        EXPECT_EQ(revealed % 16, 0) << "state " << k << ": " << revealed << " columns";
    }
}

TEST(TransitionTest, GrainIsScaledWithThePictureWidth) {
    // Cells of 32 pixels at 352 wide are 64 pixels at 704: the same picture twice as large
    // shows the same pattern.
    const TTransitionPainter small(PictureA(352, 288), PictureB(352, 288), Effect(601, 32));
    const TTransitionPainter large(PictureA(704, 576), PictureB(704, 576), Effect(601, 32));
    const QImage reduced = large.State(20).scaled(352, 288);
    EXPECT_LT(MeanDifference(reduced, small.State(20)), 3.0);
}

TEST(TransitionTest, EqualInputsGiveEqualStatesAndInputsStay) {
    const QImage a = PictureA(200, 150);
    const QImage b = PictureB(200, 150);
    const QImage aBefore = a.copy(), bBefore = b.copy();
    for (const int effect : {701, 703, 1202, 1001, 702, 1302}) {
        SCOPED_TRACE(effect);
        const TTransitionPainter first(a, b, Effect(effect, UsualGrain(effect)));
        const TTransitionPainter second(a, b, Effect(effect, UsualGrain(effect)));
        for (const int k : {1, 17, 43})
            EXPECT_EQ(first.State(k), second.State(k));
    }
    EXPECT_EQ(a, aBefore);
    EXPECT_EQ(b, bBefore);
}

TEST(TransitionTest, OtherLayoutsAndSizesAreTakenIn) {
    const QImage a = PictureA(120, 90).convertToFormat(QImage::Format_RGB32);
    const QImage b = PictureB(60, 40).convertToFormat(QImage::Format_ARGB32);
    const TTransitionPainter painter(a, b, Effect(401));
    TRasterImage fitted(b);
    fitted.Size(120, 90, TResize::Bicubic);
    EXPECT_EQ(painter.State(60), fitted.Bitmap());
    const QImage middle = painter.State(30);
    EXPECT_EQ(middle.size(), QSize(120, 90));
    EXPECT_EQ(middle.format(), QImage::Format_BGR888);
}

TEST(TransitionTest, BadInputsAreRefused) {
    const QImage a = PictureA(10, 10);
    auto textOf = [](auto make) -> std::string {
        try {
            make();
        } catch (const TEffectsError& error) {
            return error.what();
        }
        return "no error";
    };
    EXPECT_EQ(textOf([&] { TTransitionPainter(QImage(), a, Effect(101)); }),
              "transition: picture A is empty");
    EXPECT_EQ(textOf([&] { TTransitionPainter(a, QImage(), Effect(101)); }),
              "transition: picture B is empty");
    EXPECT_NE(textOf([&] { TTransitionPainter(a, a, Effect(123)); }).find("unknown effect 123"),
              std::string::npos);
    const TTransitionPainter painter(a, a, Effect(101));
    EXPECT_THROW(painter.State(0), std::out_of_range);
    EXPECT_THROW(painter.State(61), std::out_of_range);
}

// --- Effects.ini

class EffectsFileTest : public testing::Test {
protected:
    QString Write(const QByteArray& bytes) {
        const QString path = Folder.filePath(QStringLiteral("Effects.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static std::string ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const TEffectsError& error) {
            return error.what();
        }
        return "no error";
    }

    QTemporaryDir Folder;
};

struct TLineCase {
    const char* Trap;
    const char* Line;
    std::array<int, 5> Fields; ///< expected values, when no error
    const char* Error;         ///< expected text after "P, line 7: "; null when the line is good
};

TEST_F(EffectsFileTest, LinesAreFiveIntegerWords) {
    const TLineCase cases[] = {
        {"plain", "702;20;1;24;0", {702, 20, 1, 24, 0}, nullptr},
        {"empty fields skipped", ";;101;;10;16;;0;0;", {101, 10, 16, 0, 0}, nullptr},
        {"spaces around values", " 103 ;10; 12;0 ;4 ", {103, 10, 12, 0, 4}, nullptr},
        {"extra fields ignored", "900;0;1;1;0;77", {900, 0, 1, 1, 0}, nullptr},
        {"negative value", "101;-5;1;0;0", {101, -5, 1, 0, 0}, nullptr},
        {"four fields", "702;20;1;24", {}, "5 fields expected, got 4"},
        {"empty fields do not count", "702;;20;;1;;24;;", {}, "5 fields expected, got 4"},
        {"blank line", "", {}, "5 fields expected, got 0"},
        {"comma instead", "702,20,1,24,0", {}, "5 fields expected, got 1"},
        {"letters", "702;20;x1;24;0", {}, "\"x1\" is not an integer"},
        {"decimal", "702;2.5;1;24;0", {}, "\"2.5\" is not an integer"},
        {"blank field", "702; ;1;24;0", {}, "\" \" is not an integer"},
    };
    for (const TLineCase& c : cases) {
        SCOPED_TRACE(c.Trap);
        if (c.Error) {
            EXPECT_EQ(ErrorOf([&] { TEffectsFile::ParseLine(c.Line, "P", 7); }),
                      std::string("P, line 7: ") + c.Error);
            continue;
        }
        const TEffectParameters p = TEffectsFile::ParseLine(c.Line, "P", 7);
        EXPECT_EQ(p.PaintEffect, c.Fields[0]);
        EXPECT_EQ(p.EffectDelay, c.Fields[1]);
        EXPECT_EQ(p.EffectGrain, c.Fields[2]);
        EXPECT_EQ(p.PaintMaxPasses, c.Fields[3]);
        EXPECT_EQ(p.WandSize, c.Fields[4]);
        EXPECT_EQ(p.WandColor, QColor(Qt::black));
    }
}

TEST_F(EffectsFileTest, LinesAreNumberedFromOneAndBlankLinesCount) {
    const QString path = Write("702;20;1;0;0\r\n\r\n101;10;16;0;0\r\n");
    const TEffectsFile file = TEffectsFile::Load(path);
    EXPECT_EQ(file.Path(), path);
    ASSERT_EQ(file.Count(), 3);
    EXPECT_EQ(file.Effect(1).PaintEffect, 702);
    EXPECT_EQ(file.Effect(3).EffectGrain, 16);
    EXPECT_EQ(ErrorOf([&] { file.Effect(2); }),
              (path + ", line 2: 5 fields expected, got 0").toStdString());
    EXPECT_EQ(ErrorOf([&] { file.Effect(4); }),
              (path + ": no line 4 (the file has 3 lines)").toStdString());
    EXPECT_EQ(ErrorOf([&] { file.Effect(0); }),
              (path + ": no line 0 (the file has 3 lines)").toStdString());
}

TEST_F(EffectsFileTest, MissingFileNamesTheCause) {
    const QString path = Folder.filePath(QStringLiteral("absent.ini"));
    EXPECT_EQ(ErrorOf([&] { TEffectsFile::Load(path); }),
              (path + ": cannot read: No such file or directory").toStdString());
    EXPECT_EQ(ErrorOf([&] {
                  TEffectsFile::Load(Folder.path());
              }).rfind((Folder.path() + ": cannot read: ").toStdString(), 0),
              0u);
    EXPECT_EQ(TEffectsFile::Load(Write("")).Count(), 0);
}

TEST(ShippedEffectsTest, EveryLineIsACatalogueEffect) {
    const QString path = QStringLiteral(LUMERIX_SOURCE_DIR "/data/Effects.ini");
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_FALSE(bytes.contains('\r')) << "LF line ends";
    EXPECT_TRUE(bytes.endsWith("\n") && !bytes.endsWith("\n\n")) << "no trailing blank line";
    for (const char c : bytes)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << "plain ASCII";

    const TEffectsFile file = TEffectsFile::Load(path);
    ASSERT_GE(file.Count(), 2);
    EXPECT_LT(file.Count(), 128) << "the settings page stops at 127";
    QSet<int> used;
    for (int n = 1; n <= file.Count(); ++n) {
        const TEffectParameters p = file.Effect(n);
        EXPECT_NE(FindTransition(p.PaintEffect), nullptr) << "line " << n;
        EXPECT_GE(p.EffectDelay, 0) << "line " << n;
        EXPECT_LE(p.EffectDelay * 60, 1500) << "line " << n << ": the transition drags";
        used.insert(p.PaintEffect);
    }
    EXPECT_EQ(file.Effect(1).PaintEffect, 702) << "effect 1 is the default: the cross-fade";
    EXPECT_EQ(file.Effect(file.Count()).PaintEffect, 900) << "random mode never draws the cut";
    for (const TTransitionKind& kind : TransitionCatalogue())
        EXPECT_TRUE(used.contains(kind.PaintEffect)) << kind.PaintEffect << " is not shipped";
}

} // namespace
