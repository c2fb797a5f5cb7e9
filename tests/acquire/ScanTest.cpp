#include "TSaneTestConfig.h"
#include "acquire/SaneTexts.h"
#include "acquire/TScanDriver.h"
#include "acquire/TScanner.h"
#include "document/TSlideshow.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TStartup.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::AcquireTesting;

namespace {

// A small, quick scan: 25 dpi over 20 × 30 mm.
const QVariantMap Small{
    {"resolution", 25}, {"tl-x", 0.0}, {"tl-y", 0.0}, {"br-x", 20.0}, {"br-y", 30.0}};

QVariantMap SmallWith(const QVariantMap& more) {
    QVariantMap options = Small;
    options.insert(more);
    return options;
}

// Cancels as soon as the scan reports its first progress.
class TCancelOnProgress final : public TProgress {
public:
    void SetStatus(const QString&) override {}
    void SetPercent(int) override { Cancel = true; }
    bool Cancelled() const override { return Cancel; }
    bool Cancel = false;
};

class ScanTest : public testing::Test {
protected:
    void SetUp() override {
        ResetTestDevices();
        State = Kit.State();
        ASSERT_TRUE(TStartup::PrepareWorkspace(*State, Prompter));
        Prompter.Messages.clear();
        Show = std::make_unique<TSlideshow>(*State, Prompter);
        Show->NewShow(QStringLiteral("Gescannt"));
    }

    QStringList EntryNames() const {
        QStringList names;
        for (int i = 0; i < Show->Pictures().Count(); ++i)
            names.append(Show->Pictures().Parsed(i).FileName);
        return names;
    }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    TScriptedPrompter Prompter;
    TSilentProgress Progress;
    std::unique_ptr<TSlideshow> Show;
};

TEST_F(ScanTest, ListsTheTestDevices) {
    QList<TScanDeviceInfo> devices;
    ASSERT_EQ(SaneSession::Devices(devices), ScanSuccess);
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].Name, "test:0");
    EXPECT_EQ(devices[1].Name, "test:1");
    EXPECT_FALSE(devices[0].Vendor.isEmpty());
    EXPECT_FALSE(devices[0].Type.isEmpty());
}

TEST_F(ScanTest, OptionsAreReadAsData) {
    TScanner scanner;
    ASSERT_EQ(scanner.Open("test:0"), ScanSuccess);
    const TScanOption* mode = scanner.Option("mode");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->Type, TScanOption::TType::String);
    EXPECT_TRUE(mode->Choices.contains("Color"));
    const TScanOption* resolution = scanner.Option("resolution");
    ASSERT_NE(resolution, nullptr);
    EXPECT_EQ(resolution->Unit, "dpi");
    EXPECT_TRUE(scanner.HasPreview());

    // Setting an option reads the options again, including values it changes elsewhere.
    EXPECT_EQ(scanner.SetOption("resolution", 30), ScanSuccess);
    EXPECT_DOUBLE_EQ(scanner.Option("resolution")->Value.toDouble(), 30);
    EXPECT_NE(scanner.SetOption("mode", "Purple"), ScanSuccess);
    EXPECT_EQ(scanner.Option("mode")->Value.toString(), "Gray");
    EXPECT_NE(scanner.SetOption("no-such-option", 1), ScanSuccess);
}

TEST_F(ScanTest, ThreeAcquisitionsInARow) {
    TScanDriver driver("test:0");
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(driver.Acquire(Progress, Small), ScanSuccess) << driver.LastText().toStdString();
        EXPECT_EQ(ScanImport::AddToSlideshow(*State, *Show, Prompter, driver.Picture(), Progress),
                  i);
    }
    EXPECT_EQ(EntryNames(), (QStringList{"DScan.jpg", "DScan_1.jpg", "DScan_2.jpg"}));
    for (const QString& name : EntryNames())
        EXPECT_TRUE(QFileInfo::exists(Show->ShowDir() + name)) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "DScan.jpg"));
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

struct TFrameCase {
    const char* Label;
    QVariantMap Options;
    int Value; ///< every channel of every pixel, or -1 for a coloured picture
};

TEST_F(ScanTest, EveryFrameKindBecomesA24BitPicture) {
    const TFrameCase cases[] = {
        {"grey 8 bit white",
         {{"mode", "Gray"}, {"depth", 8}, {"test-picture", "Solid white"}},
         255},
        {"grey 16 bit white",
         {{"mode", "Gray"}, {"depth", 16}, {"test-picture", "Solid white"}},
         255},
        {"line art white", {{"mode", "Gray"}, {"depth", 1}, {"test-picture", "Solid white"}}, 255},
        {"line art black", {{"mode", "Gray"}, {"depth", 1}, {"test-picture", "Solid black"}}, 0},
        {"colour 8 bit black",
         {{"mode", "Color"}, {"depth", 8}, {"test-picture", "Solid black"}},
         0},
        {"colour 16 bit white",
         {{"mode", "Color"}, {"depth", 16}, {"test-picture", "Solid white"}},
         255},
        {"colour line art white",
         {{"mode", "Color"}, {"depth", 1}, {"test-picture", "Solid white"}},
         255},
        {"colour line art black",
         {{"mode", "Color"}, {"depth", 1}, {"test-picture", "Solid black"}},
         0},
        {"colour pattern",
         {{"mode", "Color"}, {"depth", 8}, {"test-picture", "Color pattern"}},
         -1},
        {"three-pass pattern",
         {{"mode", "Color"}, {"depth", 8}, {"three-pass", true}, {"test-picture", "Color pattern"}},
         -1},
        {"three-pass white",
         {{"mode", "Color"}, {"depth", 8}, {"three-pass", true}, {"test-picture", "Solid white"}},
         255},
    };
    for (const TFrameCase& frame : cases) {
        SCOPED_TRACE(frame.Label);
        TScanner scanner;
        ASSERT_EQ(scanner.Open("test:0"), ScanSuccess);
        const QImage picture = scanner.Acquire(SmallWith(frame.Options), Progress);
        ASSERT_EQ(scanner.LastCode(), ScanSuccess)
            << ScanCodeText(scanner.LastCode()).toStdString();
        for (auto it = frame.Options.begin(); it != frame.Options.end(); ++it)
            EXPECT_EQ(scanner.Option(it.key())->Value.toString(), it.value().toString());
        EXPECT_EQ(picture.format(), QImage::Format_BGR888);
        // 20 × 30 mm at 25 dpi.
        EXPECT_NEAR(picture.width(), 20, 1);
        EXPECT_NEAR(picture.height(), 30, 1);
        bool coloured = false;
        bool uniform = true;
        for (int y = 0; y < picture.height(); ++y) {
            const uchar* line = picture.constScanLine(y);
            for (int x = 0; x < 3 * picture.width(); x += 3) {
                coloured = coloured || line[x] != line[x + 1] || line[x + 1] != line[x + 2];
                uniform = uniform && line[x] == frame.Value && line[x + 1] == frame.Value &&
                          line[x + 2] == frame.Value;
            }
        }
        if (frame.Value < 0)
            EXPECT_TRUE(coloured);
        else
            EXPECT_TRUE(uniform);
    }
}

TEST_F(ScanTest, AHandScannerOfUnknownLengthIsReadToItsEnd) {
    TScanner scanner;
    ASSERT_EQ(scanner.Open("test:1"), ScanSuccess);
    const QImage picture = scanner.Acquire(
        SmallWith({{"mode", "Gray"}, {"depth", 8}, {"hand-scanner", true}}), Progress);
    ASSERT_EQ(scanner.LastCode(), ScanSuccess) << ScanCodeText(scanner.LastCode()).toStdString();
    // The scan area does not apply to a hand scanner.
    EXPECT_GT(picture.width(), 0);
    EXPECT_GT(picture.height(), 0);
    scanner.Apply({{"hand-scanner", false}});
}

TEST_F(ScanTest, PreviewScansTheWholeAreaAndKeepsTheOptions) {
    TScanner scanner;
    ASSERT_EQ(scanner.Open("test:0"), ScanSuccess);
    scanner.Apply(Small);
    const QImage preview = scanner.Preview(Progress);
    ASSERT_EQ(scanner.LastCode(), ScanSuccess);
    // The whole 200 × 200 mm at 25 dpi, as the device has no preview mode of its own.
    EXPECT_NEAR(preview.width(), 197, 1);
    EXPECT_NEAR(preview.height(), 197, 1);
    EXPECT_DOUBLE_EQ(scanner.Option("br-x")->Value.toDouble(), 20);
    EXPECT_DOUBLE_EQ(scanner.Option("resolution")->Value.toDouble(), 25);

    scanner.Apply({{"resolution", 50}});
    scanner.Preview(Progress);
    EXPECT_DOUBLE_EQ(scanner.Option("resolution")->Value.toDouble(), 50);
}

TEST_F(ScanTest, ACancelledScanAddsNothing) {
    TScanDriver driver("test:0");
    TCancelOnProgress midway;
    EXPECT_TRUE(ScanCancelled(driver.Acquire(midway, Small)));
    EXPECT_TRUE(driver.Picture().isNull());

    TSilentProgress before;
    before.Cancel();
    EXPECT_TRUE(ScanCancelled(driver.Acquire(before, Small)));
    EXPECT_TRUE(driver.Picture().isNull());
    EXPECT_EQ(ScanImport::AddToSlideshow(*State, *Show, Prompter, driver.Picture(), Progress), -1);
    EXPECT_TRUE(EntryNames().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "DScan.jpg"));

    // The device is usable again afterwards.
    EXPECT_EQ(driver.Acquire(Progress, Small), ScanSuccess);
}

TEST_F(ScanTest, TheSameSourceKeepsItsPropertiesAnotherRealisesAnew) {
    TScanDriver driver;
    ASSERT_EQ(driver.Select("test:0"), ScanSuccess);
    EXPECT_FALSE(driver.Realised());
    ASSERT_EQ(
        driver.Acquire(Progress, SmallWith({{"mode", "Color"}, {"test-picture", "Color pattern"}})),
        ScanSuccess);
    EXPECT_TRUE(driver.Realised());
    EXPECT_EQ(driver.Realisations(), 1);
    EXPECT_EQ(driver.Properties().value("mode").toString(), "Color");

    // Chosen again: the kept properties go to the source before the next scan.
    ASSERT_EQ(driver.Select("test:0"), ScanSuccess);
    EXPECT_TRUE(driver.Realised());
    ASSERT_EQ(driver.Acquire(Progress), ScanSuccess);
    EXPECT_EQ(driver.Realisations(), 1);
    EXPECT_FALSE(driver.Picture().isGrayscale());
    EXPECT_NEAR(driver.Picture().width(), 20, 1);

    // Another source starts from its own properties.
    ASSERT_EQ(driver.Select("test:1"), ScanSuccess);
    EXPECT_EQ(driver.SourceName(), "test:1");
    EXPECT_FALSE(driver.Realised());
    EXPECT_TRUE(driver.Properties().isEmpty());
    ASSERT_EQ(driver.Acquire(Progress, Small), ScanSuccess);
    EXPECT_EQ(driver.Realisations(), 2);
    EXPECT_EQ(driver.Properties().value("mode").toString(), "Gray");

    // A device SANE does not know is refused with SANE's text and changes nothing.
    EXPECT_LT(driver.Select("test:7"), 0);
    EXPECT_FALSE(driver.LastText().isEmpty());
    EXPECT_EQ(driver.SourceName(), "test:1");
    EXPECT_TRUE(driver.Realised());
}

TEST_F(ScanTest, NoSourceChosenTakesTheFirstDevice) {
    TScanDriver driver;
    ASSERT_EQ(driver.Acquire(Progress, Small), ScanSuccess);
    EXPECT_EQ(driver.SourceName(), "test:0");
}

TEST_F(ScanTest, TheChosenSourceIsStored) {
    EXPECT_EQ(ScanImport::StoredSource(*State), "");
    ASSERT_TRUE(ScanImport::StoreSource(*State, "test:1"));
    EXPECT_EQ(ScanImport::StoredSource(*State), "test:1");
}

TEST(ScanCodes, TextsOfTheCodes) {
    EXPECT_EQ(ScanCodeText(ScanSuccess), "");
    EXPECT_EQ(ScanCodeText(ScanNoSane), "SANE is not available");
    EXPECT_EQ(ScanCodeText(ScanNoDevice), "SANE finds no scanner or camera");
    EXPECT_EQ(ScanCodeText(ScanDeviceGone), "The chosen scanner or camera is not connected");
    EXPECT_EQ(ScanCodeText(ScanCodeOfStatus(4)), "Invalid argument"); // SANE_STATUS_INVAL
    EXPECT_EQ(ScanCodeText(-99), "Undefined Error: -99");
    EXPECT_EQ(ScanImport::FailureText(ScanNoSane), "Meldung:\n SANE is not available");
}

// A gettext catalogue of `messages` in the byte order asked for.
QByteArray Catalogue(const QList<std::pair<QByteArray, QByteArray>>& messages, bool little) {
    auto word = [little](quint32 value) {
        QByteArray bytes(4, '\0');
        if (little)
            qToLittleEndian(value, bytes.data());
        else
            qToBigEndian(value, bytes.data());
        return bytes;
    };
    const quint32 count = quint32(messages.size());
    const quint32 originals = 28;
    const quint32 translations = originals + 8 * count;
    QByteArray strings;
    QByteArray originalTable;
    QByteArray translationTable;
    quint32 offset = translations + 8 * count;
    for (const auto& [original, translation] : messages) {
        originalTable += word(quint32(original.size())) + word(offset + quint32(strings.size()));
        strings += original + '\0';
        translationTable +=
            word(quint32(translation.size())) + word(offset + quint32(strings.size()));
        strings += translation + '\0';
    }
    return word(0x950412de) + word(0) + word(count) + word(originals) + word(translations) +
           word(0) + word(0) + originalTable + translationTable + strings;
}

TEST(SaneTexts, CatalogueTraps) {
    const QList<std::pair<QByteArray, QByteArray>> messages{
        {"", "Content-Type: text/plain; charset=UTF-8"},
        {"Scan mode", "Scanmodus"},
        {QByteArray("page\0pages", 10), QByteArray("Seite\0Seiten", 12)},
        {"ctx\x04"
         "Color",
         "Farbe"}, // a message with a context
    };
    const QByteArray little = Catalogue(messages, true);
    const QHash<QString, QString> expected{{"Scan mode", "Scanmodus"}, {"page", "Seite"}};
    EXPECT_EQ(SaneTexts::ReadCatalogue(little), expected);
    EXPECT_EQ(SaneTexts::ReadCatalogue(Catalogue(messages, false)), expected) << "big-endian";
    EXPECT_TRUE(SaneTexts::ReadCatalogue(QByteArray(little).replace(0, 1, "X")).isEmpty());
    EXPECT_TRUE(SaneTexts::ReadCatalogue(little.left(27)).isEmpty()) << "tables cut off";
    // Strings cut off: the entries pointing past the end are skipped, none read beyond.
    EXPECT_EQ(SaneTexts::ReadCatalogue(little.left(little.size() - 30)),
              (QHash<QString, QString>{{"Scan mode", "Scanmodus"}}));
    QByteArray huge = little;
    qToLittleEndian<quint32>(0x7fffffff, huge.data() + 8);
    EXPECT_TRUE(SaneTexts::ReadCatalogue(huge).isEmpty()) << "a count beyond the file";

    // SANE's own German catalogue, as Debian ships it.
    EXPECT_EQ(SaneTexts::Translate("Scan resolution", "GERMAN"),
              QString::fromUtf8("Scanauflösung"));
    EXPECT_EQ(SaneTexts::Translate("Scan resolution", "ENGLISH"), "Scan resolution");
    EXPECT_EQ(SaneTexts::Translate("no such text", "GERMAN"), "no such text");
}

class ScanCli : public testing::Test {
protected:
    void SetUp() override { qputenv("SANE_CONFIG_DIR", SaneTestConfig().toUtf8()); }
    void TearDown() override { qputenv("SANE_CONFIG_DIR", SaneTestConfig().toUtf8()); }

    TTestKit Kit;
};

TEST_F(ScanCli, ListsAndScans) {
    const TTestKit::TCliRun list = Kit.RunCli({"scanners"});
    ASSERT_EQ(list.ExitCode, 0) << list.Err.toStdString();
    const QStringList lines = list.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("test:0\t"));
    EXPECT_EQ(lines[0].split('\t').size(), 4);

    const TTestKit::TCliRun create = Kit.RunCli({"create", "Scans"});
    ASSERT_EQ(create.ExitCode, 0) << create.Err.toStdString();
    const QString show = create.Out.trimmed();
    for (const char* expected : {"DScan.jpg", "DScan_1.jpg"}) {
        const TTestKit::TCliRun scan = Kit.RunCli(
            {"scan", show, "--device", "test:1", "--resolution", "25", "--mode", "Color"});
        ASSERT_EQ(scan.ExitCode, 0) << scan.Err.toStdString();
        EXPECT_EQ(scan.Out.trimmed(), expected);
    }
    const TTestKit::TCliRun shown = Kit.RunCli({"show", show});
    EXPECT_TRUE(shown.Out.contains("1\tDScan.jpg"));
    EXPECT_TRUE(shown.Out.contains("2\tDScan_1.jpg"));
    EXPECT_FALSE(QFileInfo::exists(Kit.Root() + "home/.local/share/lumerix/DScan.jpg"));

    // The picture records the resolution it was scanned at (JFIF units 1: dots per inch).
    const QByteArray jpeg = TTestKit::ReadFile(Kit.Root() + "home/Diashow/" + show + "/DScan.jpg");
    ASSERT_GE(jpeg.size(), 18);
    EXPECT_EQ(jpeg.mid(6, 5), QByteArray("JFIF", 5));
    EXPECT_EQ(int(jpeg[13]), 1);
    EXPECT_EQ((uchar(jpeg[14]) << 8) | uchar(jpeg[15]), 25);
    EXPECT_EQ((uchar(jpeg[16]) << 8) | uchar(jpeg[17]), 25);

    // What the device cannot do is refused, not rounded or left out.
    const struct {
        QStringList Options;
        const char* Message;
    } refused[] = {
        {{"--resolution", "5000"}, "test:1 takes a resolution from "},
        {{"--mode", "Lineart"}, "test:1 takes a mode of "},
        {{"--mode", "Sepia"}, "--mode is Color, Gray or Lineart"},
    };
    for (const auto& c : refused) {
        const TTestKit::TCliRun run =
            Kit.RunCli(QStringList{"scan", show, "--device", "test:1"} + c.Options);
        EXPECT_EQ(run.ExitCode, 1) << c.Message;
        EXPECT_TRUE(run.Err.startsWith(QStringLiteral("lumerix-cli: ") + c.Message))
            << run.Err.toStdString();
    }
    EXPECT_EQ(Kit.RunCli({"show", show}).Out.count("\tDScan"), 2) << "nothing was added";
    const TTestKit::TCliRun wrong = Kit.RunCli({"scan", show, "--mode", "Sepia"});
    EXPECT_EQ(wrong.ExitCode, 1);
    const TTestKit::TCliRun unknown = Kit.RunCli({"scan", show, "--device", "test:9"});
    EXPECT_EQ(unknown.ExitCode, 1);
    EXPECT_TRUE(unknown.Err.contains("not connected: \"test:9\"")) << unknown.Err.toStdString();
}

// Debian's stock configuration loads backends (genesys) whose static objects are gone by the
// time an exit handler runs: SANE ends before main returns, so every command exits normally,
// and a failing one says which way it failed.
TEST_F(ScanCli, StockBackendsExitCleanlyAndFailuresAreToldApart) {
    const TTestKit::TCliRun create = Kit.RunCli({"create", "Scans"});
    ASSERT_EQ(create.ExitCode, 0) << create.Err.toStdString();
    const QString show = create.Out.trimmed();
    struct TCase {
        const char* Trap;
        const char* Backends;
        QStringList Arguments;
        int ExitCode;
        const char* Text; // on standard output when it succeeds, else on standard error
    };
    const TCase cases[] = {
        {"ListingWithGenesys", "test\ngenesys\n", {"scanners"}, 0, "test:1\t"},
        {"ScanningWithGenesys",
         "genesys\ntest\n",
         {"scan", show, "--resolution", "25"},
         0,
         "DScan.jpg"},
        {"NoBackendListsNothing", "", {"scanners"}, 1, "SANE finds no scanner or camera"},
        {"NoBackendScansNothing",
         "",
         {"scan", show},
         1,
         "Meldung:\n SANE finds no scanner or camera"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Trap);
        QTemporaryDir config;
        TTestKit::WriteFile(config.filePath("dll.conf"), c.Backends);
        TTestKit::WriteFile(config.filePath("test.conf"), "number_of_devices 2\n");
        // Without its file the genesys backend gives up before it makes its objects.
        TTestKit::WriteFile(config.filePath("genesys.conf"), "");
        qputenv("SANE_CONFIG_DIR", config.path().toUtf8());
        const TTestKit::TCliRun run = Kit.RunCli(c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err.toStdString();
        EXPECT_TRUE((c.ExitCode == 0 ? run.Out : run.Err).contains(c.Text))
            << run.Out.toStdString() << run.Err.toStdString();
    }
    // The scan that succeeded added its picture once.
    EXPECT_EQ(Kit.RunCli({"show", show}).Out.count("DScan"), 1);
}

} // namespace
