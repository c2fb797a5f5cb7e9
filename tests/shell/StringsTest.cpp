#include "shell/Strings.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Lumerix::Strings;

namespace {

struct TWordCase {
    const char* Name;
    QString Text;
    QString Delimiters;
    int Count;
    QStringList Words; // words 1..Count, then one past the end is empty
};

void PrintTo(const TWordCase& c, std::ostream* out) {
    *out << c.Name;
}

class WordSplitting : public testing::TestWithParam<TWordCase> {};

TEST_P(WordSplitting, CountsAndExtractsWithoutEmptyWords) {
    const TWordCase& c = GetParam();
    EXPECT_EQ(WordCount(c.Text, c.Delimiters), c.Count);
    for (int n = 1; n <= c.Words.size(); ++n)
        EXPECT_EQ(ExtractWord(n, c.Text, c.Delimiters), c.Words[n - 1]) << "word " << n;
    EXPECT_EQ(ExtractWord(c.Count + 1, c.Text, c.Delimiters), QString());
    EXPECT_EQ(ExtractWord(0, c.Text, c.Delimiters), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordSplitting,
    testing::Values(TWordCase{"RepeatedDelimitersCountOnce", "a||b", "|", 2, {"a", "b"}},
                    TWordCase{"LeadingDelimiterSkipped", "|a", "|", 1, {"a"}},
                    TWordCase{"BlanksAroundDelimiterStay", "x | y", "|", 2, {"x ", " y"}},
                    TWordCase{"FewerWordsThanAsked", "a|b", "|", 2, {"a", "b"}},
                    TWordCase{"OnlyDelimiters", "|||", "|", 0, {}},
                    TWordCase{"EmptyText", "", "|", 0, {}},
                    TWordCase{"SeveralDelimiterCharacters",
                              "<img>name.jpg | caption",
                              "<>|",
                              3,
                              {"img", "name.jpg ", " caption"}}),
    [](const testing::TestParamInfo<TWordCase>& info) { return std::string(info.param.Name); });

TEST(StringRoutines, PadLeftFillsOnlyShortTexts) {
    EXPECT_EQ(PadLeft("7", u'0', 4), "0007");
    EXPECT_EQ(PadLeft("12", u'0', 3), "012");
    EXPECT_EQ(PadLeft("12345", u'0', 4), "12345");
    EXPECT_EQ(PadLeft("", u'0', 2), "00");
}

TEST(StringRoutines, AddBackslashKeepsRulesForShortValues) {
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("C"), "C");
    EXPECT_EQ(AddBackslash("C:"), "C:/");
    EXPECT_EQ(AddBackslash("ab"), "ab");
    EXPECT_EQ(AddBackslash("/home/user"), "/home/user/");
    EXPECT_EQ(AddBackslash("/home/user/"), "/home/user/");
}

TEST(StringRoutines, DirectoryPartKeepsTheRootWhole) {
    EXPECT_EQ(ExtractFileDir("/home/user/x.jpg"), "/home/user");
    EXPECT_EQ(ExtractFileDir("/x.jpg"), "/");
    EXPECT_EQ(ExtractFileDir("x.jpg"), "");
    EXPECT_EQ(ExtractFileDir("/home/user/"), "/home/user");
}

TEST(StringRoutines, FolderPathEndsInOneSlash) {
    EXPECT_EQ(FolderPath("/a//b/"), "/a/b/");
    EXPECT_EQ(FolderPath("/a/b"), "/a/b/");
    EXPECT_EQ(FolderPath("/"), "/");
    EXPECT_EQ(FolderPath(""), "");
}

} // namespace
