// The tray menu's commands, and the first-launch and update steps of the start-up.
#include "app/ClipboardViewerFormWin.h"

namespace snipora {

void TClipboardViewerForm::Settings1Click() {}

void TClipboardViewerForm::Checkforupdates1Click() {}

void TClipboardViewerForm::About1Click() {}

void TClipboardViewerForm::FirstLaunchStep() {}

void TClipboardViewerForm::UpdateStep() {}

}  // namespace snipora
