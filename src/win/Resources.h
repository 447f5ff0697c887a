#pragma once

#include <windows.h>

#include "win/UniqueGdiObject.h"

namespace snipora::win {

// Loads a bitmap resource of `module` as a device-independent bitmap, keeping its own format.
// Raises AppError when there is none of that name.
UniqueBitmap LoadBitmapResource(HMODULE module, const wchar_t* name);

}  // namespace snipora::win
