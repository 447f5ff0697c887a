#include "store/ClipboardWin.h"

#include <cstring>
#include <string>

#include "common/TextScan.h"
#include "win/ClipboardSession.h"
#include "win/Process.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

HWND AsWindow(WindowHandle window) {
    return static_cast<HWND>(window);
}

}  // namespace

Win32Clipboard::Win32Clipboard()
    : excludeFormat_(::RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")),
      viewerIgnoreFormat_(::RegisterClipboardFormatW(L"Clipboard Viewer Ignore")),
      canIncludeFormat_(::RegisterClipboardFormatW(L"CanIncludeInClipboardHistory")) {}

bool Win32Clipboard::HasText() {
    return ::IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

bool Win32Clipboard::OwnerIsExcluded() const {
    if (excluded_.Empty()) {
        return false;
    }
    const std::wstring path = win::WindowProgramPath(::GetClipboardOwner());
    return excluded_.Contains(win::Utf16(path));
}

bool Win32Clipboard::IsPrivate(WindowHandle owner) {
    if (OwnerIsExcluded()) {
        return true;
    }
    if ((excludeFormat_ != 0 && ::IsClipboardFormatAvailable(excludeFormat_)) ||
        (viewerIgnoreFormat_ != 0 && ::IsClipboardFormatAvailable(viewerIgnoreFormat_))) {
        return true;
    }
    if (canIncludeFormat_ == 0 || !::IsClipboardFormatAvailable(canIncludeFormat_)) {
        return false;
    }
    win::ClipboardSession session(AsWindow(owner));
    if (!session) {
        return true;  // the marker is there but cannot be read: keep out of the history
    }
    HANDLE data = ::GetClipboardData(canIncludeFormat_);
    if (data == nullptr || ::GlobalSize(data) < sizeof(DWORD)) {
        return false;
    }
    win::GlobalLockGuard lock(data);
    if (lock.Data() == nullptr) {
        return false;
    }
    DWORD value = 0;
    std::memcpy(&value, lock.Data(), sizeof value);
    return value == 0;
}

ClipboardRead Win32Clipboard::ReadText(WindowHandle owner, StoredText& text) {
    win::ClipboardSession session(AsWindow(owner));
    if (!session) {
        return ClipboardRead::OpenFailed;
    }
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        return ClipboardRead::NoData;
    }
    win::GlobalLockGuard lock(data);
    if (lock.Data() == nullptr) {
        return ClipboardRead::NoData;
    }
    const auto* units = static_cast<const char16_t*>(lock.Data());
    // The text ends at its first zero unit, and never past the block.
    const size_t capacity = ::GlobalSize(data) / sizeof(char16_t);
    const size_t length =
        capacity > 0 ? FindZeroUnit(units, capacity) : std::char_traits<char16_t>::length(units);
    text = std::u16string_view(units, length);
    return ClipboardRead::Text;
}

bool Win32Clipboard::WriteText(WindowHandle owner, std::u16string_view text) {
    win::ClipboardSession session(AsWindow(owner));
    if (!session || !::EmptyClipboard()) {
        return false;
    }
    if (text.size() >= (SIZE_MAX / sizeof(char16_t)) - 1) {
        return false;
    }
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    win::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) {
        return false;
    }
    {
        win::GlobalLockGuard lock(block.Get());
        if (lock.Data() == nullptr) {
            return false;
        }
        auto* units = static_cast<char16_t*>(lock.Data());
        std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
        units[text.size()] = u'\0';
    }
    if (::SetClipboardData(CF_UNICODETEXT, block.Get()) == nullptr) {
        return false;  // the block is still ours and is freed here
    }
    block.Release();  // the system owns it now
    return true;
}

namespace {

Win32Clipboard& TheClipboard() {
    static Win32Clipboard clipboard;
    return clipboard;
}

}  // namespace

IClipboard& SystemClipboard() {
    return TheClipboard();
}

void SetExcludedPrograms(std::u16string_view list) {
    TheClipboard().SetExcludedPrograms(list);
}

}  // namespace snipora
