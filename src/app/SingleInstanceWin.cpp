#include "app/SingleInstanceWin.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "win/Text.h"

namespace snipora {
namespace {

// FILE_ID_INFO, which GetFileInformationByHandleEx gives from Windows 8 on: a 128-bit id, as
// ReFS needs.
struct FileIdInfo {
    ULONGLONG volumeSerial;
    BYTE fileId[16];
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

// The window properties that carry the folder's tag: two halves, never zero.
constexpr wchar_t kTagLow[] = L"Snipora.FolderTag.Low";
constexpr wchar_t kTagHigh[] = L"Snipora.FolderTag.High";
constexpr UINT_PTR kMarkSubclass = 0x536E6946;

// The properties go before the window does, as the system asks.
LRESULT CALLBACK UnmarkOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        ::RemovePropW(window, kTagLow);
        ::RemovePropW(window, kTagHigh);
        ::RemoveWindowSubclass(window, UnmarkOnDestroy, id);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

FolderFacts ReadFolderFacts(std::u16string_view folder) {
    FolderFacts facts;
    facts.spelled = folder;
    const std::wstring path(win::Wide(folder));
    if (path.empty() || path.find(L'\0') != std::wstring::npos) {
        return facts;
    }
    // Only the attributes are asked for: a folder that the user may not list opens as well.
    const win::UniqueFile handle(::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) {
        return facts;
    }
    FileIdInfo id{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandleEx(handle.Get(), kFileIdInfo, &id, sizeof id)) {
        facts.volumeSerial = id.volumeSerial;
        std::memcpy(facts.fileId.data(), id.fileId, sizeof id.fileId);
    } else if (::GetFileInformationByHandle(handle.Get(), &info)) {
        facts.volumeSerial = info.dwVolumeSerialNumber;
        const uint64_t index =
            (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        for (size_t i = 0; i < 8; ++i) {
            facts.fileId[i] = static_cast<uint8_t>(index >> (8 * i));
        }
    }
    std::vector<wchar_t> final(MAX_PATH);
    DWORD length = ::GetFinalPathNameByHandleW(
        handle.Get(), final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    if (length >= final.size()) {
        final.resize(length + 1);
        length = ::GetFinalPathNameByHandleW(
            handle.Get(), final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    }
    if (length > 0 && length < final.size()) {
        facts.finalPath = win::Utf16(std::wstring_view(final.data(), length));
    }
    return facts;
}

SingleInstance::SingleInstance(std::u16string_view dataFolder)
    : digest_(IdentityDigest(FolderIdentity(ReadFolderFacts(dataFolder)))) {
    const std::u16string name = InstanceMutexName(digest_);
    mutex_.Reset(::CreateMutexW(nullptr, FALSE, win::Wide(name)));
    // Failed, the copy runs as it did before there was a mutex.
    outcome_ = MutexOutcomeOf(static_cast<bool>(mutex_), ::GetLastError());
}

void SingleInstance::MarkWindow(HWND window, UINT bringToFront) const {
    const auto tag = WindowTagOf(digest_);
    ::SetPropW(window, kTagLow, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(tag[0])));
    ::SetPropW(window, kTagHigh, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(tag[1])));
    ::SetWindowSubclass(window, UnmarkOnDestroy, kMarkSubclass, 0);
    // A copy that runs as administrator takes the switches of one that does not; the data are
    // checked (SwitchFromPayload) before anything is done.
    for (const UINT message : {static_cast<UINT>(WM_COPYDATA), bringToFront}) {
        ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
}

// The properties are read without a message, so that neither a busy copy nor one that runs
// with other rights holds up the search.
HWND SingleInstance::FindRunningWindow(const wchar_t* className) const {
    const auto tag = WindowTagOf(digest_);
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
        if (reinterpret_cast<UINT_PTR>(::GetPropW(window, kTagLow)) == tag[0] &&
            reinterpret_cast<UINT_PTR>(::GetPropW(window, kTagHigh)) == tag[1]) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace snipora
