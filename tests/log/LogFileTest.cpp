#include "log/LogFile.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "log/Logger.h"

namespace snipora {
namespace {

// Files in memory; appends and renames can be made to fail.
class MemoryLogFiles final : public ILogFiles {
public:
    uint64_t FileSize(const std::u16string& path) override {
        const auto found = files.find(path);
        return found == files.end() ? 0 : found->second.size();
    }
    bool Append(const std::u16string& path, std::string_view bytes) override {
        ++appends;
        if (failAppend) {
            return false;
        }
        files[path] += bytes;
        return true;
    }
    bool Replace(const std::u16string& from, const std::u16string& to) override {
        ++replaces;
        if (failReplace || files.count(from) == 0) {
            return false;
        }
        files[to] = std::move(files[from]);
        files.erase(from);
        return true;
    }

    std::map<std::u16string, std::string> files;
    int appends = 0;
    int replaces = 0;
    bool failAppend = false;
    bool failReplace = false;
};

const std::u16string kPath = u"C:\\Data\\Snipora-log.html";
const std::u16string kOlderPath = u"C:\\Data\\Snipora-log.1.html";

class LogFileTest : public ::testing::Test {
protected:
    std::string Current() { return files.files.count(kPath) ? files.files[kPath] : "<none>"; }
    std::string Older() {
        return files.files.count(kOlderPath) ? files.files[kOlderPath] : "<none>";
    }

    MemoryLogFiles files;
};

TEST_F(LogFileTest, ErrorsAreWrittenAtOnceAndInformationOnlyWithDetails) {
    LogFile log(files, u"C:\\Data\\");
    log.Write(kLogInfo, "info dropped;");
    log.Write(0, "level 0 dropped;");
    log.Write(2, "level 2 dropped;");
    log.Flush();
    EXPECT_EQ(files.appends, 0);
    log.Write(kLogError, "error;");
    EXPECT_EQ(Current(), "error;");

    log.SetDetails(true);
    log.Write(kLogInfo, "info;");
    log.Write(2, "warning;");
    EXPECT_EQ(Current(), "error;");  // waiting
    log.Write(kLogError, "second error;");
    EXPECT_EQ(Current(), "error;info;warning;second error;");
    EXPECT_EQ(files.appends, 2);

    log.SetDetails(false);
    log.Write(kLogInfo, "dropped again;");
    log.Flush();
    EXPECT_EQ(files.appends, 2);
}

TEST_F(LogFileTest, WaitingLinesGoOutAtTheFlushSizeOnFlushAndAtTheEnd) {
    {
        LogFile log(files, u"C:\\Data");  // the separator is added
        log.SetDetails(true);
        log.Write(kLogInfo, std::string(kLogFlushSize - 1, 'a'));
        EXPECT_EQ(files.appends, 0);
        log.Write(kLogInfo, "b");  // exactly the flush size
        EXPECT_EQ(Current(), std::string(kLogFlushSize - 1, 'a') + "b");
        log.Write(kLogInfo, "c");
        log.Flush();
        log.Flush();  // nothing waits: no write
        EXPECT_EQ(files.appends, 2);
        log.Write(kLogInfo, "d");
        EXPECT_EQ(files.appends, 2);
    }
    EXPECT_EQ(files.appends, 3);
    EXPECT_EQ(Current().substr(kLogFlushSize), "cd");
}

TEST_F(LogFileTest, AFileReachesExactlyTheCapAndTheNextByteStartsANewOne) {
    files.files[kOlderPath] = "an older file";
    files.files[kPath] = std::string(kLogFileCap - 10, 'x');  // from an earlier run
    LogFile log(files, u"C:\\Data\\");
    log.Write(kLogError, "0123456789");  // exactly the cap
    EXPECT_EQ(Current().size(), kLogFileCap);
    EXPECT_EQ(Older(), "an older file");

    log.Write(kLogError, "n");  // one byte over
    EXPECT_EQ(Older(), std::string(kLogFileCap - 10, 'x') + "0123456789");
    EXPECT_EQ(Current(), "n");

    // Information lines wait up to exactly the cap; the line past it sends them to the full
    // file, which is set aside, and waits itself, as do the lines after it.
    log.SetDetails(true);
    log.Write(kLogInfo, std::string(kLogFileCap - 3, 'y'));  // past the flush size: written
    const int appends = files.appends;
    log.Write(kLogInfo, "z");
    log.Write(kLogInfo, "z");  // the file and what waits exactly at the cap
    EXPECT_EQ(files.appends, appends);
    log.Write(kLogInfo, "e");
    log.Write(kLogInfo, "f");
    EXPECT_EQ(files.appends, appends + 1);
    EXPECT_EQ(Older(), "n" + std::string(kLogFileCap - 3, 'y') + "zz");
    log.Flush();
    EXPECT_EQ(Current(), "ef");
    EXPECT_EQ(files.replaces, 2);
}

TEST_F(LogFileTest, AFileDeletedWhileTheProgramRunsIsBegunAnew) {
    files.files[kOlderPath] = "an older file";
    files.files[kPath] = std::string(kLogFileCap - 5, 'x');
    LogFile log(files, u"C:\\Data\\");
    files.files.erase(kPath);
    log.Write(kLogError, "123456");  // would pass the cap of the file that was there
    EXPECT_TRUE(log.IsOn());
    EXPECT_EQ(Current(), "123456");
    EXPECT_EQ(Older(), "an older file");
    EXPECT_EQ(files.replaces, 0);
    // The new file is counted from its real size: it reaches the cap before it is set aside.
    log.Write(kLogError, std::string(kLogFileCap - 6, 'y'));
    EXPECT_EQ(Current().size(), kLogFileCap);
    log.Write(kLogError, "z");
    EXPECT_EQ(Older(), "123456" + std::string(kLogFileCap - 6, 'y'));
    EXPECT_EQ(Current(), "z");
}

TEST_F(LogFileTest, ALineLongerThanTheCapIsCutToIt) {
    LogFile log(files, u"C:\\Data\\");
    log.Write(kLogError, std::string(kLogFileCap + 1, 'x'));
    EXPECT_EQ(Current(), std::string(kLogFileCap, 'x'));
    EXPECT_EQ(files.replaces, 0);
    // An existing file past the cap (written by an earlier rule) is set aside at once.
    files.files[kPath] += "over";
    LogFile next(files, u"C:\\Data\\");
    next.Write(kLogError, "e");
    EXPECT_EQ(Older().size(), kLogFileCap + 4);
    EXPECT_EQ(Current(), "e");
}

TEST_F(LogFileTest, AFileThatCannotBeWrittenTurnsTheLogOffQuietly) {
    LogFile log(files, u"C:\\Data\\");
    log.SetDetails(true);
    log.Write(kLogInfo, "waits;");
    files.failAppend = true;
    log.Write(kLogError, "fails");
    EXPECT_FALSE(log.IsOn());
    EXPECT_EQ(files.appends, 1);
    files.failAppend = false;
    log.Write(kLogError, "after");
    log.Flush();
    EXPECT_EQ(files.appends, 1);
    EXPECT_EQ(Current(), "<none>");

    // A flush that fails where the file is full sets nothing aside: the older file stays.
    files.files[kOlderPath] = "an older file";
    files.files[kPath] = std::string(kLogFileCap - 1, 'x');
    LogFile failing(files, u"C:\\Data\\");
    failing.SetDetails(true);
    failing.Write(kLogInfo, "w");  // waits, the file now at the cap
    files.failAppend = true;
    failing.Write(kLogError, "ee");  // would pass the cap even of the file as it is
    EXPECT_FALSE(failing.IsOn());
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(Older(), "an older file");
    EXPECT_EQ(Current().size(), kLogFileCap - 1);
    files.failAppend = false;
    files.files.erase(kOlderPath);

    // A full file that cannot be set aside does the same.
    files.files[kPath] = std::string(kLogFileCap, 'x');
    LogFile full(files, u"C:\\Data\\");
    files.failReplace = true;
    full.Write(kLogError, "e");
    EXPECT_FALSE(full.IsOn());
    files.failReplace = false;
    full.Write(kLogError, "e");
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(Current().size(), kLogFileCap);
}

TEST_F(LogFileTest, AnAttachedFileTakesTheLogsLinesUntilItGoes) {
    {
        LogFile log(files, u"C:\\Data\\");
        log.Attach();
        LogError("[Test] broken");
        LogInfo("[Test] detail");
    }
    LogError("[Test] after");  // reaches nothing
    EXPECT_EQ(Current(), "<font color=\"#ff0000\"><b>[Test] broken</b></font><br>\r\n");

    // A file detached before it goes leaves the one attached after it in place.
    MemoryLogFiles otherFiles;
    auto first = std::make_unique<LogFile>(files, u"C:\\Data\\");
    first->Attach();
    first->Detach();
    LogFile second(otherFiles, u"C:\\Other\\");
    second.Attach();
    first.reset();
    LogError("[Test] second");
    EXPECT_EQ(otherFiles.files[u"C:\\Other\\Snipora-log.html"],
              "<font color=\"#ff0000\"><b>[Test] second</b></font><br>\r\n");
}

}  // namespace
}  // namespace snipora
