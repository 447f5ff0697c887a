#pragma once

#include <windows.h>

#include <utility>

namespace snipora::win {

// One owner for one system handle; moves, never copies. Traits give the empty value and the
// call that gives the handle back.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }

    // Gives up ownership without closing.
    Handle Release() { return std::exchange(handle_, Traits::Empty()); }

    // Closes the handle held, if any; false if the system refused.
    bool Reset(Handle handle = Traits::Empty()) {
        const Handle old = std::exchange(handle_, handle);
        return old == Traits::Empty() || Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Empty();
};

// A file from CreateFileW, which fails with INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle h) { return ::CloseHandle(h) != FALSE; }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

// A kernel object whose maker fails with null: a mutex, an event, a process or thread.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::CloseHandle(h) != FALSE; }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// A block the system allocated for the caller with LocalAlloc (FormatMessageW's buffer, say).
struct LocalTraits {
    using Handle = HLOCAL;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::LocalFree(h) == nullptr; }
};
using UniqueLocal = UniqueHandle<LocalTraits>;

struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::GlobalFree(h) == nullptr; }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

struct WindowTraits {
    using Handle = HWND;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::DestroyWindow(h) != FALSE; }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

// A hook from SetWindowsHookExW, removed on the thread that installed it.
struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return ::UnhookWindowsHookEx(h) != FALSE; }
};
using UniqueHook = UniqueHandle<HookTraits>;

// A global memory block locked for the span of a scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block) : block_(block), data_(::GlobalLock(block)) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (data_ != nullptr) {
            ::GlobalUnlock(block_);
        }
    }
    void* Data() const { return data_; }

private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace snipora::win
