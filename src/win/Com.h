#pragma once

#include <windows.h>

#include <objbase.h>

#include <utility>

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

// One reference to a COM object, released with its owner; move-only.
template <typename Interface>
class UniqueCom {
public:
    UniqueCom() = default;
    explicit UniqueCom(Interface* object) : object_(object) {}
    UniqueCom(UniqueCom&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    UniqueCom& operator=(UniqueCom&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.object_, nullptr));
        }
        return *this;
    }
    UniqueCom(const UniqueCom&) = delete;
    UniqueCom& operator=(const UniqueCom&) = delete;
    ~UniqueCom() { Reset(); }

    Interface* Get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void Reset(Interface* object = nullptr) {
        if (object_ != nullptr) {
            object_->Release();
        }
        object_ = object;
    }
    // For a function that hands out a new reference: releases the one held, then gives the
    // place to write the new one to.
    Interface** Out() {
        Reset();
        return &object_;
    }

private:
    Interface* object_ = nullptr;
};

}  // namespace snipora::win
