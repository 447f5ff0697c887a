#pragma once

#include <windows.h>

#include <string_view>

#include "store/Clipboard.h"
#include "store/ExcludedPrograms.h"

namespace snipora {

// The Win32 clipboard. Text goes both ways as CF_UNICODETEXT only.
class Win32Clipboard final : public IClipboard {
public:
    Win32Clipboard();

    bool HasText() override;
    // Also true when the clipboard's owner is a window of an excluded program.
    bool IsPrivate(WindowHandle owner) override;
    ClipboardRead ReadText(WindowHandle owner, StoredText& text) override;
    bool WriteText(WindowHandle owner, std::u16string_view text) override;

    void SetExcludedPrograms(std::u16string_view list) { excluded_.Assign(list); }

private:
    bool OwnerIsExcluded() const;

    ExcludedPrograms excluded_;
    UINT excludeFormat_;
    UINT viewerIgnoreFormat_;
    UINT canIncludeFormat_;
};

// The one clipboard of the process.
IClipboard& SystemClipboard();
// The programs (';'-separated file names) whose copies the process's clipboard keeps private.
void SetExcludedPrograms(std::u16string_view list);

}  // namespace snipora
