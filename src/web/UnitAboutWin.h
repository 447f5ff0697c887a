#pragma once

// Old place of app/AboutBoxWin.h, still included by the popup's menu code (as web::TAboutBox);
// goes once that includes the new one.
#include "app/AboutBoxWin.h"

namespace snipora::web {
using snipora::TAboutBox;
}  // namespace snipora::web
