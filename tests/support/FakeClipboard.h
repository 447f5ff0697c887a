#pragma once

#include <functional>
#include <string>

#include "store/Clipboard.h"

namespace snipora::test {

// A clipboard in memory, with switches for the ways a real one can let a program down.
class FakeClipboard final : public IClipboard {
public:
    bool hasText = false;     // CF_TEXT is announced
    bool hasUnicode = true;   // a Unicode block is there when text is announced
    bool isPrivate = false;   // marked by a password manager
    bool openFails = false;   // another program holds it open
    bool writeFails = false;  // e.g. no memory for the block
    std::u16string text;
    WindowHandle lastOwner = nullptr;
    int writes = 0;
    std::string asked;  // 'P' for each IsPrivate, 'H' for each HasText, in order
    // Runs after a successful write, as the system's change notification would.
    std::function<void()> onChange;

    void Put(std::u16string value) {
        text = std::move(value);
        hasText = true;
        hasUnicode = true;
    }

    bool HasText() override {
        asked += 'H';
        return hasText;
    }
    bool IsPrivate(WindowHandle) override {
        asked += 'P';
        return isPrivate;
    }
    ClipboardRead ReadText(WindowHandle owner, StoredText& out) override {
        lastOwner = owner;
        if (openFails) {
            return ClipboardRead::OpenFailed;
        }
        if (!hasUnicode) {
            return ClipboardRead::NoData;
        }
        out = std::u16string_view(text);
        return ClipboardRead::Text;
    }
    bool WriteText(WindowHandle owner, std::u16string_view value) override {
        lastOwner = owner;
        ++writes;
        if (openFails || writeFails) {
            return false;
        }
        Put(std::u16string(value));
        if (onChange) {
            onChange();
        }
        return true;
    }
};

}  // namespace snipora::test
