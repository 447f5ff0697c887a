#include "win/Resources.h"

#include <cstdint>
#include <string>

#include "common/Error.h"
#include "common/Utf.h"
#include "win/Text.h"

namespace snipora::win {

namespace {

// A run-length encoded 8-bit bitmap resource, which LoadImage need not take as a DIB section:
// the section is made uncompressed and SetDIBits decodes the runs into it. Null if the resource
// is not such a bitmap.
HBITMAP LoadRle8Bitmap(HMODULE module, const wchar_t* name) {
    HRSRC found = ::FindResourceW(module, name, MAKEINTRESOURCEW(2));  // RT_BITMAP
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* info =
        loaded != nullptr ? static_cast<const BITMAPINFO*>(::LockResource(loaded)) : nullptr;
    if (info == nullptr || ::SizeofResource(module, found) < sizeof(BITMAPINFOHEADER) ||
        info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
        info->bmiHeader.biCompression != BI_RLE8 || info->bmiHeader.biBitCount != 8 ||
        info->bmiHeader.biHeight <= 0) {
        return nullptr;
    }
    const DWORD colours = info->bmiHeader.biClrUsed != 0 ? info->bmiHeader.biClrUsed : 256;
    const size_t headerBytes = info->bmiHeader.biSize + colours * sizeof(RGBQUAD);
    if (colours > 256 || headerBytes > ::SizeofResource(module, found)) {
        return nullptr;
    }
    std::string plainInfo(reinterpret_cast<const char*>(info), headerBytes);
    auto* plain = reinterpret_cast<BITMAPINFO*>(plainInfo.data());
    plain->bmiHeader.biCompression = BI_RGB;
    plain->bmiHeader.biSizeImage = 0;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, plain, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    HDC dc = ::GetDC(nullptr);
    const int rows =
        ::SetDIBits(dc, bitmap, 0, static_cast<UINT>(info->bmiHeader.biHeight),
                    reinterpret_cast<const char*>(info) + headerBytes, info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    if (rows == 0) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

UniqueBitmap LoadBitmapResource(HMODULE module, const wchar_t* name) {
    HBITMAP rle = LoadRle8Bitmap(module, name);
    UniqueBitmap bitmap(rle != nullptr
                            ? rle
                            : static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0,
                                                                LR_CREATEDIBSECTION)));
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
