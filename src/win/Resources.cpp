#include "win/Resources.h"

#include <cstdint>
#include <string>

#include "common/Error.h"
#include "common/Utf.h"
#include "win/Text.h"

namespace snipora::win {

UniqueBitmap LoadBitmapResource(HMODULE module, const wchar_t* name) {
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) {
        const std::string what = IS_INTRESOURCE(name)
                                     ? std::to_string(reinterpret_cast<uintptr_t>(name))
                                     : Utf16ToUtf8(Utf16(name));
        throw AppError(FormatText("Cannot load the bitmap resource \"%s\". %s",
                                  {what, ErrorText(::GetLastError())}));
    }
    return bitmap;
}

}  // namespace snipora::win
