#include <gtest/gtest.h>

#include <sstream>

#include "log/Logger.h"

namespace snipora {
namespace {

class LoggerTest : public ::testing::Test {
protected:
    ~LoggerTest() override {
        AttachLogOutput(nullptr);
        SetLogClock(nullptr);
    }
};

TEST_F(LoggerTest, ADetachedOutputHearsNothingMore) {
    std::ostringstream out;
    AttachLogOutput(&out);
    LogError("kept");
    AttachLogOutput(nullptr);
    LogError("[Test] nowhere");
    LogInfo(nullptr);
    EXPECT_EQ(out.str(), "<font color=\"#ff0000\"><b>kept</b></font><br>\r\n");
}

TEST_F(LoggerTest, LinesCarryTheMarkupOfTheirLevel) {
    std::ostringstream out;
    AttachLogOutput(&out);
    LogInfo("abc");
    EXPECT_EQ(out.str(), "<font color=\"#4f4f4f\"><b>abc</b></font><br>\r\n");
    out.str("");
    LogError("[Paste] <script>a&b</script> \"c\"");  // shown as written, never markup
    LogError(std::string());
    LogInfo(nullptr);
    WriteLogLine(0, "z");
    WriteLogLine(2, "y");
    WriteLogLine(7, "x");
    EXPECT_EQ(out.str(),
              "<font color=\"#ff0000\"><b>[Paste] &lt;script&gt;a&amp;b&lt;/script&gt; "
              "&quot;c&quot;</b></font><br>\r\n"
              "<font color=\"#ff0000\"><b></b></font><br>\r\n"
              "<font color=\"#4f4f4f\"><b></b></font><br>\r\n"
              "<font color=\"#8f8f8f\"><b>z</b></font><br>\r\n"
              "<font color=\"#ffff00\"><b>y</b></font><br>\r\n"
              "<font color=\"#ffffff\"><b>x</b></font><br>\r\n");
}

// Each line starts with the local time, padded to fixed widths, and ends its own line: a log
// read in a text editor shows one entry a line, each with its moment.
TEST_F(LoggerTest, EachLineCarriesTheLocalTimeAndEndsItsLine) {
    std::ostringstream out;
    AttachLogOutput(&out);
    LogTime now{2026, 1, 2, 3, 4, 5, 6};
    SetLogClock([&now] { return now; });
    LogInfo("a");
    now = {2026, 12, 31, 23, 59, 59, 999};
    LogError("b");
    EXPECT_EQ(out.str(),
              "2026-01-02 03:04:05.006 <font color=\"#4f4f4f\"><b>a</b></font><br>\r\n"
              "2026-12-31 23:59:59.999 <font color=\"#ff0000\"><b>b</b></font><br>\r\n");
}

}  // namespace
}  // namespace snipora
