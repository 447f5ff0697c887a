#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace snipora::web {

// Opens a web page, false when nothing could; the program's own opener is OpenWebPage.
using WebOpener = std::function<bool(const std::u16string& url)>;

// Opens the page in the default browser: ShellExecuteW with no owner and the verb "open". False
// when the shell found no program for it.
bool OpenWebPage(const std::u16string& url);

// Opens the page with `open`; where nothing could, a box owned by `owner` gives its address.
void OpenOrShowAddress(HWND owner, const std::u16string& url, const WebOpener& open);

// The start-up's interval test: true from the 8th day after the last offer on, and never while
// the clock stands before it.
bool IsUpdateOfferDueToday();

// Stores today as the day of the last offer, asks `question` in a Yes/No box owned by `owner`,
// and on Yes opens the update page (the U3 one when the drive names its serial), or gives its
// address where no browser could open it.
void CheckForUpdates(HWND owner, const std::wstring& question, const WebOpener& open = OpenWebPage);

}  // namespace snipora::web
