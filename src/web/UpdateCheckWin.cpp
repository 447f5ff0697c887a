#include "web/UpdateCheckWin.h"

#include <shellapi.h>

#include "common/OleDate.h"
#include "settings/DataLocationsWin.h"
#include "settings/SettingsStorageWin.h"
#include "settings/SettingsValues.h"
#include "web/UpdateCheck.h"
#include "win/Com.h"
#include "win/Text.h"

namespace snipora::web {

bool OpenWebPage(const std::u16string& url) {
    // The shell may hand the page to a handler that needs COM on this thread.
    const win::ScopedComInit com;
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", win::Wide(url), nullptr, nullptr, SW_SHOWNORMAL);
    // Above 32 is success, as the shell has answered since its first version.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void OpenOrShowAddress(HWND owner, const std::u16string& url, const WebOpener& open) {
    if (!open(url)) {
        ::MessageBoxW(owner, win::Wide(PageNotOpenedText(url)), L"Snipora", MB_OK | MB_ICONWARNING);
    }
}

bool IsUpdateOfferDueToday() {
    const double last = settings::GetSettingsStorage().GetLastUpdatesCheck();
    return IsUpdateOfferDue(WholeDayNumber(last), WholeDayNumber(CurrentOleDate()));
}

void CheckForUpdates(HWND owner, const std::wstring& question, const WebOpener& open) {
    // Stored before the question, so that a "No" counts as an offer too.
    settings::GetSettingsStorage().SetLastUpdatesCheck(CurrentOleDate());
    if (::MessageBoxW(owner, question.c_str(), L"Snipora", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    OpenOrShowAddress(owner, UpdatePageUrl(settings::GetEnvironmentValue(kU3SerialVariable)), open);
}

}  // namespace snipora::web
