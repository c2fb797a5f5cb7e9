#include "document/TPictureEntry.h"
#include "document/TPictureList.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

const QString Thumb = QStringLiteral("/home/anna/Diashow/Diashow_0001/_THUMB_Strand.jpg");

TEST(PictureEntry, TextIsTheImageTagThenTheLine) {
    EXPECT_EQ((TPictureEntry{Thumb, "Strand.jpg", "", false}.Text()),
              "<IMG src=\"file:///home/anna/Diashow/Diashow_0001/_THUMB_Strand.jpg\" "
              "align=\"top\">Strand.jpg");
    EXPECT_EQ((TPictureEntry{Thumb, "Strand.jpg", "Abends", true}.Text()),
              "<IMG src=\"file:///home/anna/Diashow/Diashow_0001/_THUMB_Strand.jpg\" "
              "align=\"top\">Strand.jpg | Abends");
    // An entry with an empty caption still carries the separator.
    EXPECT_EQ((TPictureEntry{Thumb, "Strand.jpg", "", true}.PicturesLine()), "Strand.jpg | ");
    EXPECT_EQ((TPictureEntry{Thumb, "Strand.jpg", "", false}.PicturesLine()), "Strand.jpg");
    EXPECT_EQ((TPictureEntry{Thumb, "Strand.jpg", "x > y | z", true}.PicturesLine()),
              "Strand.jpg | x > y | z");
}

struct TRoundTrip {
    const char* Thumbnail;
    const char* FileName;
    const char* Caption;
    bool HasCaption;
};

class PictureEntryRoundTrip : public testing::TestWithParam<TRoundTrip> {};

TEST_P(PictureEntryRoundTrip, ParseGivesBackEveryPiece) {
    const TRoundTrip& c = GetParam();
    const TPictureEntry entry{c.Thumbnail, c.FileName, c.Caption, c.HasCaption};
    const TPictureEntry parsed = TPictureEntry::Parse(entry.Text());
    EXPECT_EQ(parsed.ThumbnailPath, entry.ThumbnailPath);
    EXPECT_EQ(parsed.FileName, entry.FileName);
    EXPECT_EQ(parsed.Caption, entry.Caption);
    EXPECT_EQ(parsed.HasCaption, entry.HasCaption);
    EXPECT_EQ(parsed.Text(), entry.Text());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PictureEntryRoundTrip,
    testing::Values(TRoundTrip{"/w/_THUMB_a.jpg", "a.jpg", "", false},
                    TRoundTrip{"/w/_THUMB_a.jpg", "a.jpg", "", true},
                    TRoundTrip{"/w/_THUMB_a.jpg", "a.jpg", "Abends am Strand", true},
                    TRoundTrip{"/w/_THUMB_a.jpg", "a.jpg", "x > y", true},
                    TRoundTrip{"/w/_THUMB_a.jpg", "a.jpg", "a | b", true},
                    TRoundTrip{"/w/_THUMB_a.jpg", "a.jpg", "<b>fett</b> > | >", true},
                    TRoundTrip{"/w/_THUMB_1Sch\u00e4fchen.jpg", "Sch\u00e4fchen.jpg",
                               "W\u00f6lkchen", true},
                    // Markup characters in the thumbnail's folder stay in the path.
                    TRoundTrip{"/tmp/a>b|c/_THUMB_x y.jpg", "x y.jpg", "c", true},
                    TRoundTrip{"", "a.jpg", "leer", true}));

TEST(PictureEntry, ParseTrimsAndSplitsAtTheFirstBar) {
    const TPictureEntry entry =
        TPictureEntry::Parse("<IMG src=\"file:///t.jpg\" align=\"top\">  a.jpg  |  x | y  ");
    EXPECT_EQ(entry.FileName, "a.jpg");
    EXPECT_EQ(entry.Caption, "x | y");
    EXPECT_TRUE(entry.HasCaption);

    // Text from other writers: another tag, or no tag at all.
    const TPictureEntry other = TPictureEntry::Parse("<img src='x'>b.jpg | c");
    EXPECT_EQ(other.FileName, "b.jpg");
    EXPECT_EQ(other.Caption, "c");
    const TPictureEntry bare = TPictureEntry::Parse("c.jpg | x > y");
    EXPECT_EQ(bare.FileName, "c.jpg");
    EXPECT_EQ(bare.Caption, "x > y");
    EXPECT_TRUE(bare.ThumbnailPath.isEmpty());
}

TEST(PictureEntry, PicturesLineAlwaysGivesAnEntryWithCaption) {
    const TPictureEntry plain = TPictureEntry::FromPicturesLine("  a.jpg  ", "/t.jpg");
    EXPECT_EQ(plain.FileName, "a.jpg");
    EXPECT_EQ(plain.Caption, "");
    EXPECT_TRUE(plain.HasCaption);
    EXPECT_EQ(plain.ThumbnailPath, "/t.jpg");

    const TPictureEntry captioned = TPictureEntry::FromPicturesLine("b.jpg |  x > y | z  ", "");
    EXPECT_EQ(captioned.FileName, "b.jpg");
    EXPECT_EQ(captioned.Caption, "x > y | z");
    EXPECT_EQ(captioned.PicturesLine(), "b.jpg | x > y | z");
}

QStringList Names(const TPictureList& list) {
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names.append(list.Parsed(i).FileName);
    return names;
}

TPictureList& Filled(TPictureList& list, const QStringList& names) {
    QStringList entries;
    for (const QString& name : names)
        entries.append(TPictureEntry{"/w/_THUMB_" + name, name, {}, false}.Text());
    list.SetEntries(entries);
    return list;
}

TEST(PictureList, InsertClampsToTheEnd) {
    TPictureList list;
    Filled(list, {"a", "b"});
    EXPECT_EQ(list.Insert(-1, TPictureEntry{"", "c", {}, false}.Text()), 2);
    EXPECT_EQ(list.Insert(99, TPictureEntry{"", "d", {}, false}.Text()), 3);
    EXPECT_EQ(list.Insert(0, TPictureEntry{"", "z", {}, false}.Text()), 0);
    EXPECT_EQ(Names(list), (QStringList{"z", "a", "b", "c", "d"}));
}

struct TMove {
    int From;
    int To;
    QStringList Expected;
};

class PictureListMove : public testing::TestWithParam<TMove> {};

TEST_P(PictureListMove, EntryEndsUpAtTo) {
    TPictureList list;
    Filled(list, {"a", "b", "c", "d"});
    list.Move(GetParam().From, GetParam().To);
    EXPECT_EQ(Names(list), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, PictureListMove,
    testing::Values(TMove{0, 2, {"b", "c", "a", "d"}}, TMove{3, 0, {"d", "a", "b", "c"}},
                    TMove{1, 3, {"a", "c", "d", "b"}}, TMove{2, 1, {"a", "c", "b", "d"}},
                    TMove{1, 1, {"a", "b", "c", "d"}}, TMove{0, 4, {"a", "b", "c", "d"}},
                    TMove{-1, 0, {"a", "b", "c", "d"}}));

TEST(PictureList, DragMoveNamesTheRowBeforeWhichTheEntryGoes) {
    TPictureList list;
    Filled(list, {"a", "b", "c", "d"});
    // Qt's destination is the row the entry is put before.
    ASSERT_TRUE(list.moveRows({}, 0, 1, {}, 3));
    EXPECT_EQ(Names(list), (QStringList{"b", "c", "a", "d"}));
    ASSERT_TRUE(list.moveRows({}, 2, 1, {}, 0));
    EXPECT_EQ(Names(list), (QStringList{"a", "b", "c", "d"}));
    ASSERT_TRUE(list.moveRows({}, 1, 1, {}, 4));
    EXPECT_EQ(Names(list), (QStringList{"a", "c", "d", "b"}));
    EXPECT_FALSE(list.moveRows({}, 0, 2, {}, 3));
    EXPECT_FALSE(list.moveRows({}, 4, 1, {}, 0));
    EXPECT_FALSE(list.moveRows({}, 0, 1, {}, 5));
}

TEST(PictureList, RolesAndPicturesLines) {
    TPictureList list;
    list.SetEntries({TPictureEntry{"/w/_THUMB_a.jpg", "a.jpg", "", true}.Text(),
                     TPictureEntry{"/w/_THUMB_b.jpg", "b.jpg", "x > y", true}.Text(),
                     TPictureEntry{"/w/_THUMB_c.jpg", "c.jpg", "", false}.Text()});
    EXPECT_EQ(list.PicturesLines(), (QStringList{"a.jpg | ", "b.jpg | x > y", "c.jpg"}));
    EXPECT_EQ(list.data(list.index(0), Qt::DisplayRole).toString(), "a.jpg");
    EXPECT_EQ(list.data(list.index(1), Qt::DisplayRole).toString(), "b.jpg | x > y");
    EXPECT_EQ(list.data(list.index(1), TPictureList::CaptionRole).toString(), "x > y");
    EXPECT_EQ(list.data(list.index(1), TPictureList::ThumbnailRole).toString(), "/w/_THUMB_b.jpg");
    EXPECT_EQ(list.data(list.index(2), TPictureList::EntryRole).toString(), list.Entry(2));
    EXPECT_FALSE(list.data(list.index(3), Qt::DisplayRole).isValid());

    int changed = 0;
    QObject::connect(&list, &TPictureList::dataChanged, [&changed] { ++changed; });
    list.Replace(1, list.Entry(1));
    EXPECT_EQ(changed, 0) << "an unchanged entry repaints nothing";
    list.Replace(1, TPictureEntry{"/w/_THUMB_b.jpg", "b.jpg", "neu", true}.Text());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(list.Parsed(1).Caption, "neu");
}

} // namespace
