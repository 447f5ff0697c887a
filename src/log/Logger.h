#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace snipora {

// The levels that the log's functions write; WriteLogLine takes 0 to 3.
inline constexpr uint8_t kLogInfo = 1;
inline constexpr uint8_t kLogError = 3;

// Diagnostic lines as HTML, coloured by level, one line of text each: the local time when a clock
// is set, then the text, escaped so that it shows as written (a null text is an empty line), then
// a line break. Without an output every call returns at once; the program attaches its log file,
// tests a memory stream.
void WriteLogLine(uint8_t level, const char* text);
void LogInfo(const char* text);
void LogError(const std::string& text);

// A moment in local time, as a log line is stamped with it.
struct LogTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};
// The clock that stamps each line (an empty one leaves the lines without a time).
void SetLogClock(std::function<LogTime()> clock);
// "2026-12-08 20:32:06.123": the time as a line starts with it.
std::string FormatLogTime(const LogTime& time);

// Attaches the function that receives each whole line with its level, with its context (a null
// sink detaches).
using LogSink = void (*)(void* context, uint8_t level, std::string_view line);
void AttachLogSink(LogSink sink, void* context);

// Attaches a stream that receives the lines (nullptr detaches). Inline, so that only a program
// that sends its log to a stream carries the stream library.
inline void AttachLogOutput(std::ostream* output) {
    if (output == nullptr) {
        AttachLogSink(nullptr, nullptr);
        return;
    }
    AttachLogSink(
        [](void* stream, uint8_t, std::string_view line) {
            static_cast<std::ostream*>(stream)->write(line.data(),
                                                      static_cast<std::streamsize>(line.size()));
        },
        output);
}

}  // namespace snipora
