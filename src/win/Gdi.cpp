#include "win/Gdi.h"

namespace snipora::win {

UniqueFont MakeFont(int height, int weight) {
    return UniqueFont(::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

}  // namespace snipora::win
