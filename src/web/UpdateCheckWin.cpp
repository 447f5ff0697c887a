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

void OpenWebPage(const std::u16string& url) {
    // The shell may hand the page to a handler that needs COM on this thread.
    const win::ScopedComInit com;
    ::ShellExecuteW(nullptr, L"open", win::Wide(url), nullptr, nullptr, SW_SHOWNORMAL);
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
    open(UpdatePageUrl(settings::GetEnvironmentValue(kU3SerialVariable)));
}

}  // namespace snipora::web
