// The settings dialog's control identifiers, shared by resources/settings.rc and the dialog's
// code. Plain defines, as the resource compiler reads this file too.
#ifndef SNIPORA_SETTINGS_SETTINGSDIALOGIDS_H
#define SNIPORA_SETTINGS_SETTINGSDIALOGIDS_H

#define IDC_GROUP_SIZE 1001
#define IDC_LABEL_WIDTH 1002
#define IDC_ED_WIDTH 1003
#define IDC_UPDOWN_WIDTH 1004
#define IDC_LABEL_HEIGHT 1005
#define IDC_ED_HEIGHT 1006
#define IDC_UPDOWN_HEIGHT 1007
#define IDC_GROUP_HOTKEYS 1008
#define IDC_CB_PRIMARY 1009
#define IDC_CB_SECONDARY 1010
#define IDC_SECONDARY_HOTKEY 1011
#define IDC_GROUP_PRIVACY 1012
#define IDC_CB_HIDE_FROM_CAPTURE 1013
#define IDC_LABEL_FORGET 1014
#define IDC_ED_FORGET 1015
#define IDC_LABEL_FORGET_UNIT 1016

#endif
