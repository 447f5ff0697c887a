#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace snipora::win {

// The full path of a process's program file, or empty when it cannot be read (a null handle
// included). The handle needs PROCESS_QUERY_LIMITED_INFORMATION.
std::wstring ProcessImagePath(HANDLE process);

// The same for the process that owns `window`.
std::wstring WindowProgramPath(HWND window);

// The integrity level of a process (the RID of its token's mandatory label: 0x2000 medium,
// 0x3000 high, as administrator), or nullopt when the process or its token refuses to be
// read: one that runs with more rights does. Any other failure, with nothing to say that it has
// more rights, gives `otherwise`.
std::optional<uint32_t> ProcessIntegrity(DWORD processId, uint32_t otherwise);

// This program's own level; medium when it cannot be read.
uint32_t OwnIntegrity();

}  // namespace snipora::win
