#pragma once

#include <string>
#include <string_view>

#include "log/LogFile.h"
#include "log/Logger.h"

namespace snipora {

// The log file's operations on the Win32 file functions. Each append opens the file, writes and
// closes it, so that the file is free to read between writes.
class Win32LogFiles final : public ILogFiles {
public:
    uint64_t FileSize(const std::u16string& path) override;
    bool Append(const std::u16string& path, std::string_view bytes) override;
    bool Replace(const std::u16string& from, const std::u16string& to) override;
};

// The system's local time, as log lines are stamped with it.
LogTime LocalLogTime();

// The program's log file in the given folder, the log's output while this lives; its lines carry
// the local time.
class LogFileOutput {
public:
    explicit LogFileOutput(std::u16string_view folder) : file_(files_, folder) {
        SetLogClock(LocalLogTime);
        file_.Attach();
    }
    ~LogFileOutput() { SetLogClock(nullptr); }
    LogFileOutput(const LogFileOutput&) = delete;
    LogFileOutput& operator=(const LogFileOutput&) = delete;

    void SetDetails(bool on) { file_.SetDetails(on); }
    void Flush() { file_.Flush(); }

private:
    Win32LogFiles files_;
    LogFile file_;
};

}  // namespace snipora
