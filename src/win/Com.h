#pragma once

#include <windows.h>

#include <objbase.h>

namespace snipora::win {

// COM initialised on this thread for the span of a scope, in a single-threaded apartment. A
// thread that already has COM (in this or the other model) keeps it: only a successful
// initialisation is undone.
class ScopedComInit {
public:
    explicit ScopedComInit(DWORD model = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
        : result_(::CoInitializeEx(nullptr, model)) {}
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;
    ~ScopedComInit() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }

private:
    HRESULT result_;
};

}  // namespace snipora::win
