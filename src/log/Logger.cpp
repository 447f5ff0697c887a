#include "log/Logger.h"

#include <cstring>

namespace snipora {
namespace {

std::ostream* g_output = nullptr;

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

constexpr char kSuffix[] = "</b></font><br>";

}  // namespace

void WriteLogLine(uint8_t level, const char* text) {
    if (g_output == nullptr) {
        return;
    }
    const char* prefix = PrefixFor(level);
    g_output->write(prefix, static_cast<std::streamsize>(std::strlen(prefix)));
    if (text != nullptr) {
        g_output->write(text, static_cast<std::streamsize>(std::strlen(text)));
    }
    g_output->write(kSuffix, sizeof kSuffix - 1);
}

void LogInfo(const char* text) {
    WriteLogLine(1, text);
}

void LogError(const std::string& text) {
    WriteLogLine(3, text.c_str());
}

std::ostream* AttachLogOutput(std::ostream* output) {
    std::ostream* previous = g_output;
    g_output = output;
    return previous;
}

}  // namespace snipora
