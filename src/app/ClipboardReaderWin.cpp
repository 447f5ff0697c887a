#include "app/ClipboardReaderWin.h"

#include <exception>
#include <string>
#include <utility>

#include "log/Logger.h"

namespace snipora {
namespace {

constexpr wchar_t kClassName[] = L"SniporaClipboardReader";
constexpr DWORD kStartMs = 5000;

}  // namespace

ClipboardReader::ClipboardReader(HWND window, UINT message) : window_(window), message_(message) {}

void ClipboardReader::Start() {
    if (thread_) {
        return;
    }
    ready_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready_) {
        return;
    }
    DWORD id = 0;
    thread_.Reset(::CreateThread(nullptr, 0, ThreadMain, this, 0, &id));
    if (thread_) {
        ::WaitForSingleObject(ready_.Get(), kStartMs);
    }
    if (listener_ == nullptr) {
        LogError("[ClipboardReader] No clipboard format listener (error " + std::to_string(error_) +
                 "); the viewer chain alone reports copies");
    }
}

void ClipboardReader::Stop() {
    if (!thread_) {
        return;
    }
    if (HWND listener = listener_) {
        ::PostMessageW(listener, WM_CLOSE, 0, 0);
    }
    ::WaitForSingleObject(thread_.Get(), kStartMs);
    thread_.Reset(nullptr);
    listener_ = nullptr;
    std::lock_guard lock(mutex_);
    read_.clear();
}

void ClipboardReader::SetExcludedPrograms(std::u16string_view list) {
    std::lock_guard lock(mutex_);
    excluded_ = list;
    excludedChanged_ = true;
}

std::vector<ClipboardSnapshot> ClipboardReader::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(read_, {});
}

DWORD WINAPI ClipboardReader::ThreadMain(void* self) {
    auto* reader = static_cast<ClipboardReader*>(self);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);  // fails harmlessly when registered by an earlier start
    HWND listener = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, nullptr);
    if (listener == nullptr) {
        reader->error_ = ::GetLastError();
    } else {
        ::SetWindowLongPtrW(listener, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reader));
        if (::AddClipboardFormatListener(listener)) {
            reader->listener_ = listener;
        } else {
            reader->error_ = ::GetLastError();
            ::DestroyWindow(listener);
        }
    }
    ::SetEvent(reader->ready_.Get());
    if (reader->listener_ == nullptr) {
        return 0;
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    return 0;
}

LRESULT CALLBACK ClipboardReader::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* reader = reinterpret_cast<ClipboardReader*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_CLIPBOARDUPDATE:
            if (reader != nullptr) {
                reader->Read();
            }
            return 0;
        case WM_CLOSE:
            ::RemoveClipboardFormatListener(window);
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// The number first: a change made while the content is read has a later number and a
// notification of its own, so that its text is at worst read twice, and never lost.
void ClipboardReader::Read() {
    try {
        ClipboardSnapshot snapshot;
        snapshot.sequence = ::GetClipboardSequenceNumber();
        if (!paused_) {
            {
                std::lock_guard lock(mutex_);
                if (excludedChanged_) {
                    excludedChanged_ = false;
                    clipboard_.SetExcludedPrograms(excluded_);
                }
            }
            snapshot = TakeSnapshot(clipboard_, listener_.load(), snapshot.sequence);
        }
        std::lock_guard lock(mutex_);
        read_.push_back(std::move(snapshot));
    } catch (const std::exception&) {
        // Out of memory: the window reads the clipboard itself when told.
    }
    ::PostMessageW(window_, message_, 0, 0);
}

}  // namespace snipora
