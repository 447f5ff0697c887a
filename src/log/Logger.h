#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace snipora {

// Diagnostic lines as HTML, coloured by level. The program attaches no output, so every call
// returns at once; tests attach a memory stream.
void WriteLogLine(uint8_t level, const char* text);
void LogInfo(const char* text);
void LogError(const std::string& text);

// Attaches the stream that receives the lines (nullptr detaches); returns the one before.
std::ostream* AttachLogOutput(std::ostream* output);

}  // namespace snipora
