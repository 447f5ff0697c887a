#include <gtest/gtest.h>

#include <sstream>

#include "log/Logger.h"

namespace snipora {
namespace {

class LoggerTest : public ::testing::Test {
protected:
    ~LoggerTest() override { AttachLogOutput(nullptr); }
};

TEST_F(LoggerTest, ADetachedOutputHearsNothingMore) {
    std::ostringstream out;
    AttachLogOutput(&out);
    LogError("kept");
    AttachLogOutput(nullptr);
    LogError("[Test] nowhere");
    LogInfo(nullptr);
    EXPECT_EQ(out.str(), "<font color=\"#ff0000\"><b>kept</b></font><br>");
}

TEST_F(LoggerTest, LinesCarryTheMarkupOfTheirLevel) {
    std::ostringstream out;
    AttachLogOutput(&out);
    LogInfo("abc");
    EXPECT_EQ(out.str(), "<font color=\"#4f4f4f\"><b>abc</b></font><br>");
    out.str("");
    LogError("[Paste] <script>a&b</script> \"c\"");  // shown as written, never markup
    LogError(std::string());
    LogInfo(nullptr);
    WriteLogLine(0, "z");
    WriteLogLine(2, "y");
    WriteLogLine(7, "x");
    EXPECT_EQ(out.str(),
              "<font color=\"#ff0000\"><b>[Paste] &lt;script&gt;a&amp;b&lt;/script&gt; "
              "&quot;c&quot;</b></font><br>"
              "<font color=\"#ff0000\"><b></b></font><br>"
              "<font color=\"#4f4f4f\"><b></b></font><br>"
              "<font color=\"#8f8f8f\"><b>z</b></font><br>"
              "<font color=\"#ffff00\"><b>y</b></font><br>"
              "<font color=\"#ffffff\"><b>x</b></font><br>");
}

}  // namespace
}  // namespace snipora
