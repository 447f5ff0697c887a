#pragma once

// Old name of settings/SettingsDialogWin.h, still included by the popup's menu code; goes once
// that includes the new name.
#include "settings/SettingsDialogWin.h"
