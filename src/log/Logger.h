#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace snipora {

// Diagnostic lines as HTML, coloured by level. The program attaches no output, so every call
// returns at once; tests attach a memory stream.
void WriteLogLine(uint8_t level, const char* text);
void LogInfo(const char* text);
void LogError(const std::string& text);

// Attaches the function that receives the lines, with its context (a null sink detaches).
using LogSink = void (*)(void* context, std::string_view text);
void AttachLogSink(LogSink sink, void* context);

// Attaches a stream that receives the lines (nullptr detaches). Inline, so that only a program
// that sends its log to a stream carries the stream library.
inline void AttachLogOutput(std::ostream* output) {
    if (output == nullptr) {
        AttachLogSink(nullptr, nullptr);
        return;
    }
    AttachLogSink(
        [](void* stream, std::string_view text) {
            static_cast<std::ostream*>(stream)->write(text.data(),
                                                      static_cast<std::streamsize>(text.size()));
        },
        output);
}

}  // namespace snipora
