#include "win/Dpi.h"

#include "win/Gdi.h"

namespace snipora::win {

Dpi Dpi::OfScreen() {
    const ScreenDc screen;
    return Dpi(screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : kDesign);
}

}  // namespace snipora::win
