// The folder the FTP client takes from a server's "257" reply after CWD and PWD.
#include "gallery/TFtpClient.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

struct TReply {
    const char* Name;
    QString Reply;
    QString Folder; ///< empty: the reply names no usable folder
};

class FtpReply : public testing::TestWithParam<TReply> {};

TEST_P(FtpReply, NamesTheFolderBetweenQuotes) {
    EXPECT_EQ(TFtpClient::ReportedFolder(GetParam().Reply), GetParam().Folder);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpReply,
    testing::Values(TReply{"plain", "257 \"/web/alben\" is the current directory", "/web/alben"},
                    TReply{"root", "257 \"/\"", "/"},
                    TReply{"doubled_quote_stands_for_one", "257 \"/a \"\"b\"\" c\" is current",
                           "/a \"b\" c"},
                    TReply{"non_ascii", QString::fromUtf8("257 \"/Gr\xc3\xbc\xc3\x9f\x65\""),
                           QString::fromUtf8("/Gr\xc3\xbc\xc3\x9f\x65")},
                    TReply{"relative_folder_is_not_taken", "257 \"web\"", ""},
                    TReply{"empty_name", "257 \"\"", ""},
                    TReply{"unclosed_quote", "257 \"/web", ""},
                    TReply{"no_quotes", "257 /web is current", ""},
                    TReply{"other_reply_code", "250 \"/web\"", ""},
                    TReply{"carriage_return_would_end_a_command", "257 \"/web\rDELE x\"", ""},
                    TReply{"nul_inside", QString("257 \"/we") + QChar(0) + "b\"", ""},
                    TReply{"ends_on_doubled_quote", "257 \"/web\"\"", ""}),
    [](const testing::TestParamInfo<TReply>& info) { return std::string(info.param.Name); });

} // namespace
