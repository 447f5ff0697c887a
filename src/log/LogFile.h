#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace snipora {

// The file operations that the log file needs. None raises: a failure is in the result.
class ILogFiles {
public:
    virtual ~ILogFiles() = default;
    // The file's size in bytes; 0 when there is no such file.
    virtual uint64_t FileSize(const std::u16string& path) = 0;
    // Writes the bytes at the file's end, creating the file when it is missing. False unless all
    // were written.
    virtual bool Append(const std::u16string& path, std::string_view bytes) = 0;
    // Renames `from` to `to`, replacing any file of that name. False on failure.
    virtual bool Replace(const std::u16string& from, const std::u16string& to) = 0;
};

inline constexpr std::u16string_view kLogFileName = u"Snipora-log.html";
inline constexpr std::u16string_view kOlderLogFileName = u"Snipora-log.1.html";
// The most bytes a log file holds.
inline constexpr uint64_t kLogFileCap = 1024 * 1024;
// Lines waiting in memory are written once they reach this many bytes.
inline constexpr size_t kLogFlushSize = 16 * 1024;

// The log file in a folder. Error lines are always kept, the other levels only with details on.
// Lines wait in memory and go to the file with an error line, once kLogFlushSize bytes wait, on
// Flush and on destruction. A file never passes kLogFileCap: the line that would take it past
// starts a new file, and the full one is kept under kOlderLogFileName in place of an older one
// (a single line longer than the cap is cut to it). A file deleted while the program runs is
// begun anew by the next write. Once the file cannot be written the log is off for good, without
// a word.
class LogFile {
public:
    LogFile(ILogFiles& files, std::u16string_view folder);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    void SetDetails(bool on) { details_ = on; }
    void Write(uint8_t level, std::string_view line);
    void Flush();
    bool IsOn() const { return on_; }

    // Makes this file the log's output until Detach or destruction.
    void Attach();
    void Detach();

private:
    void TurnOff();

    ILogFiles& files_;
    std::u16string path_;
    std::u16string olderPath_;
    std::string waiting_;
    uint64_t written_ = 0;  // the file's size without what waits
    bool details_ = false;
    bool on_ = true;
    bool attached_ = false;
};

}  // namespace snipora
