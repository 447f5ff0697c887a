#include "store/SavedClipboardWin.h"

#include <cstring>
#include <optional>

#include "win/ClipboardSession.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

// Opening may wait on a program still reading what it was just offered.
constexpr int kOpenTries = 50;

// The formats whose handle is no memory block, or that the system makes from another.
bool Skipped(UINT id) {
    switch (id) {
        case CF_BITMAP:
        case CF_PALETTE:
        case CF_OWNERDISPLAY:
        case CF_DSPBITMAP:
        case CF_DSPMETAFILEPICT:
        case CF_DSPENHMETAFILE:
            return true;
        default:
            return (id >= CF_PRIVATEFIRST && id <= CF_PRIVATELAST) ||
                   (id >= CF_GDIOBJFIRST && id <= CF_GDIOBJLAST);
    }
}

std::string BytesOf(HANDLE memory) {
    const SIZE_T size = ::GlobalSize(memory);
    win::GlobalLockGuard lock(memory);
    if (lock.Data() == nullptr) {
        return {};
    }
    return std::string(static_cast<const char*>(lock.Data()), size);
}

win::UniqueGlobal BlockOf(const void* bytes, size_t size) {
    win::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size > 0 ? size : 1));
    if (block && size > 0) {
        win::GlobalLockGuard lock(block.Get());
        if (lock.Data() == nullptr) {
            return win::UniqueGlobal();
        }
        std::memcpy(lock.Data(), bytes, size);
    }
    return block;
}

UINT ExcludeFormat() {
    static const UINT format =
        ::RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    return format;
}

}  // namespace

SavedClipboard SavedClipboard::Take(HWND owner) {
    SavedClipboard saved;
    win::ClipboardSession session(owner, kOpenTries);
    if (!session) {
        return saved;
    }
    saved.taken_ = true;
    for (UINT id = ::EnumClipboardFormats(0); id != 0; id = ::EnumClipboardFormats(id)) {
        if (Skipped(id)) {
            continue;
        }
        HANDLE data = ::GetClipboardData(id);
        if (data == nullptr) {
            continue;  // its owner could not render it
        }
        Format format;
        format.id = id;
        if (id == CF_ENHMETAFILE) {
            const auto file = static_cast<HENHMETAFILE>(data);
            format.bytes.resize(::GetEnhMetaFileBits(file, 0, nullptr));
            if (format.bytes.empty() ||
                ::GetEnhMetaFileBits(file, static_cast<UINT>(format.bytes.size()),
                                     reinterpret_cast<BYTE*>(format.bytes.data())) == 0) {
                continue;
            }
        } else if (id == CF_METAFILEPICT) {
            win::GlobalLockGuard lock(data);
            const auto* picture = static_cast<const METAFILEPICT*>(lock.Data());
            if (picture == nullptr || ::GlobalSize(data) < sizeof(METAFILEPICT)) {
                continue;
            }
            format.mode = picture->mm;
            format.x = picture->xExt;
            format.y = picture->yExt;
            format.bytes.resize(::GetMetaFileBitsEx(picture->hMF, 0, nullptr));
            if (format.bytes.empty() ||
                ::GetMetaFileBitsEx(picture->hMF, static_cast<UINT>(format.bytes.size()),
                                    format.bytes.data()) == 0) {
                continue;
            }
        } else {
            format.bytes = BytesOf(data);
        }
        saved.formats_.push_back(std::move(format));
    }
    return saved;
}

bool SavedClipboard::PutBack(HWND owner) const {
    win::ClipboardSession session(owner, kOpenTries);
    if (!session || !::EmptyClipboard()) {
        return false;
    }
    bool all = true;
    for (const Format& format : formats_) {
        const auto* bits = reinterpret_cast<const BYTE*>(format.bytes.data());
        if (format.id == CF_ENHMETAFILE) {
            HENHMETAFILE file = ::SetEnhMetaFileBits(static_cast<UINT>(format.bytes.size()), bits);
            if (file == nullptr || ::SetClipboardData(CF_ENHMETAFILE, file) == nullptr) {
                if (file != nullptr) {
                    ::DeleteEnhMetaFile(file);
                }
                all = false;
            }
            continue;
        }
        if (format.id == CF_METAFILEPICT) {
            METAFILEPICT picture{format.mode, format.x, format.y,
                                 ::SetMetaFileBitsEx(static_cast<UINT>(format.bytes.size()), bits)};
            win::UniqueGlobal block =
                picture.hMF != nullptr ? BlockOf(&picture, sizeof picture) : win::UniqueGlobal();
            if (!block || ::SetClipboardData(CF_METAFILEPICT, block.Get()) == nullptr) {
                if (picture.hMF != nullptr) {
                    ::DeleteMetaFile(picture.hMF);
                }
                all = false;
                continue;
            }
            block.Release();
            continue;
        }
        win::UniqueGlobal block = BlockOf(format.bytes.data(), format.bytes.size());
        if (!block || ::SetClipboardData(format.id, block.Get()) == nullptr) {
            all = false;
            continue;
        }
        block.Release();  // the system's now
    }
    return all;
}

bool OfferText(HWND owner) {
    win::ClipboardSession session(owner, kOpenTries);
    if (!session || !::EmptyClipboard()) {
        return false;
    }
    ::SetClipboardData(CF_UNICODETEXT, nullptr);
    if (const UINT exclude = ExcludeFormat(); exclude != 0) {
        const DWORD none = 0;
        win::UniqueGlobal marker = BlockOf(&none, sizeof none);
        if (marker && ::SetClipboardData(exclude, marker.Get()) != nullptr) {
            marker.Release();
        }
    }
    return true;
}

bool RenderOfferedText(HWND owner, const std::u16string& text, bool open) {
    std::optional<win::ClipboardSession> session;
    if (open) {
        session.emplace(owner, kOpenTries);
        // Still ours, and not rendered yet: another program may have taken the clipboard since.
        if (!*session || ::GetClipboardOwner() != owner) {
            return false;
        }
    }
    win::UniqueGlobal block = BlockOf(text.c_str(), (text.size() + 1) * sizeof(char16_t));
    if (!block || ::SetClipboardData(CF_UNICODETEXT, block.Get()) == nullptr) {
        return false;
    }
    block.Release();
    return true;
}

}  // namespace snipora
