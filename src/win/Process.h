#pragma once

#include <windows.h>

#include <string>

namespace snipora::win {

// The full path of a process's program file, or empty when it cannot be read (a null handle
// included). The handle needs PROCESS_QUERY_LIMITED_INFORMATION.
std::wstring ProcessImagePath(HANDLE process);

// The same for the process that owns `window`.
std::wstring WindowProgramPath(HWND window);

}  // namespace snipora::win
