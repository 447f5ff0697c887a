#include "log/Logger.h"

#include <cstdio>
#include <utility>

namespace snipora {
namespace {

LogSink g_sink = nullptr;
void* g_context = nullptr;
std::function<LogTime()> g_clock;

const char* PrefixFor(uint8_t level) {
    switch (level) {
        case 0:
            return "<font color=\"#8f8f8f\"><b>";
        case 1:
            return "<font color=\"#4f4f4f\"><b>";
        case 2:
            return "<font color=\"#ffff00\"><b>";
        case 3:
            return "<font color=\"#ff0000\"><b>";
        default:
            return "<font color=\"#ffffff\"><b>";
    }
}

constexpr char kSuffix[] = "</b></font><br>\r\n";

// The text as HTML shows it: a logged value (a path, a setting as typed) is never markup.
void AppendEscaped(std::string& line, const char* text) {
    for (; *text != '\0'; ++text) {
        switch (*text) {
            case '<':
                line += "&lt;";
                break;
            case '>':
                line += "&gt;";
                break;
            case '&':
                line += "&amp;";
                break;
            case '"':
                line += "&quot;";
                break;
            default:
                line += *text;
                break;
        }
    }
}

}  // namespace

void WriteLogLine(uint8_t level, const char* text) {
    if (g_sink == nullptr) {
        return;
    }
    std::string line;
    if (g_clock) {
        line = FormatLogTime(g_clock()) + ' ';
    }
    line += PrefixFor(level);
    if (text != nullptr) {
        AppendEscaped(line, text);
    }
    line.append(kSuffix, sizeof kSuffix - 1);
    g_sink(g_context, level, line);
}

void LogInfo(const char* text) {
    WriteLogLine(kLogInfo, text);
}

void LogError(const std::string& text) {
    WriteLogLine(kLogError, text.c_str());
}

void SetLogClock(std::function<LogTime()> clock) {
    g_clock = std::move(clock);
}

std::string FormatLogTime(const LogTime& time) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.millisecond);
    return text;
}

void AttachLogSink(LogSink sink, void* context) {
    g_sink = sink;
    g_context = context;
}

}  // namespace snipora
