#pragma once

#include <windows.h>

#include "store/Clipboard.h"

namespace snipora {

// The Win32 clipboard. Text goes both ways as CF_UNICODETEXT only.
class Win32Clipboard final : public IClipboard {
public:
    Win32Clipboard();

    bool HasText() override;
    bool IsPrivate(WindowHandle owner) override;
    ClipboardRead ReadText(WindowHandle owner, std::pmr::u16string& text) override;
    bool WriteText(WindowHandle owner, std::u16string_view text) override;

private:
    UINT excludeFormat_;
    UINT viewerIgnoreFormat_;
    UINT canIncludeFormat_;
};

// The one clipboard of the process.
IClipboard& SystemClipboard();

}  // namespace snipora
