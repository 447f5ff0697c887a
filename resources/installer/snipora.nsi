; Snipora's setup program: a per-user install that needs no administrator rights.
; Built by tools/package, which defines:
;   VERSION  the program's version, from the build's generated Version.h
;   EXE32    the stripped i686 snipora.exe
;   EXE64    the stripped x86_64 snipora.exe
;   ICON     the program's icon
;   OUTFILE  the setup program to write
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"

!define PRODUCT "Snipora"
!define PUBLISHER "Tervix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Snipora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Snipora"
; The bar window's class: how a running copy is found.
!define WINDOW_CLASS "TClipboardViewerForm"
; How long a running copy gets to save its history and end, in milliseconds.
!define CLOSE_WAIT_MS 10000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Var StartWithWindows
Var RunNow
Var RemoveData
Var StartBox
Var RunBox
Var RemoveBox

!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.OptionsPage un.OptionsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Closes every running copy the way its tray menu's Exit does: WM_CLOSE to the bar window, so
; that the copy saves its history and settings. Waits up to CLOSE_WAIT_MS for the process to end;
; a copy that is still there then is left running and the setup stops with a message.
!macro CLOSE_RUNNING_COPY prefix
Function ${prefix}CloseRunningCopy
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    System::Call "kernel32::GetTickCount() i .r3"
    IntOp $3 $3 + ${CLOSE_WAIT_MS}
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}"
        ${IfThen} $0 = 0 ${|} ${Break} ${|}
        DetailPrint "Closing the running ${PRODUCT}..."
        System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
        ; SYNCHRONIZE: the process holds its program file until it has ended, so wait for that.
        System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=${CLOSE_WAIT_MS}
        StrCpy $4 0  ; ended
        ${Do}
            ${If} $2 <> 0
                System::Call "kernel32::WaitForSingleObject(p r2, i 100) i .r1"
                ${IfThen} $1 = 0 ${|} StrCpy $4 1 ${|}
            ${Else}
                Sleep 100
                StrCpy $4 1
                IsWindow $0 0 +2
                StrCpy $4 0
            ${EndIf}
            ${IfThen} $4 = 1 ${|} ${Break} ${|}
            System::Call "kernel32::GetTickCount() i .r1"
            IntOp $1 $3 - $1
            ${IfThen} $1 < 0 ${|} ${Break} ${|}
        ${Loop}
        ${IfThen} $2 <> 0 ${|} System::Call "kernel32::CloseHandle(p r2)" ${|}
        ${If} $4 = 0
            MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} is still running: it did not close within \
                10 seconds.$\r$\n$\r$\nPlease end it with Exit in its tray menu (it may be \
                showing a message of its own), then run this program again." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${Loop}
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

Function .onInit
    SetShellVarContext current
    StrCpy $RunNow 1
    ; A first install starts with Windows; an upgrade keeps what the user chose since.
    StrCpy $StartWithWindows 1
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "UninstallString"
    ${If} $0 != ""
        ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $0 == ""
            StrCpy $StartWithWindows 0
        ${EndIf}
    ${EndIf}
FunctionEnd

Function OptionsPage
    !insertmacro MUI_HEADER_TEXT "Options" "Choose how ${PRODUCT} starts."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateCheckbox} 0 0 100% 12u "Start ${PRODUCT} when Windows starts"
    Pop $StartBox
    ${If} $StartWithWindows = 1
        ${NSD_Check} $StartBox
    ${EndIf}
    ${NSD_CreateCheckbox} 0 18u 100% 12u "Run ${PRODUCT} now"
    Pop $RunBox
    ${If} $RunNow = 1
        ${NSD_Check} $RunBox
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
    ${NSD_GetState} $StartBox $0
    ${IfThen} $0 = ${BST_CHECKED} ${|} StrCpy $StartWithWindows 1 ${|}
    ${IfThen} $0 <> ${BST_CHECKED} ${|} StrCpy $StartWithWindows 0 ${|}
    ${NSD_GetState} $RunBox $0
    ${IfThen} $0 = ${BST_CHECKED} ${|} StrCpy $RunNow 1 ${|}
    ${IfThen} $0 <> ${BST_CHECKED} ${|} StrCpy $RunNow 0 ${|}
FunctionEnd

Section "Snipora" SecProgram
    SectionIn RO
    Call CloseRunningCopy
    SetOutPath "$INSTDIR"
    SetOverwrite on
    ${If} ${RunningX64}
        File "/oname=snipora.exe" "${EXE64}"
    ${Else}
        File "/oname=snipora.exe" "${EXE32}"
    ${EndIf}
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\snipora.exe" "" \
        "$INSTDIR\snipora.exe" 0 SW_SHOWNORMAL "" "Clipboard history"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\snipora.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

    ${If} $StartWithWindows = 1
        WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\snipora.exe"'
    ${Else}
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
SectionEnd

Function .onInstSuccess
    ${If} $RunNow = 1
        Exec '"$INSTDIR\snipora.exe"'
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext current
    StrCpy $RemoveData 0
FunctionEnd

Function un.OptionsPage
    !insertmacro MUI_HEADER_TEXT "Your data" "${PRODUCT}'s history and settings are kept unless you choose otherwise."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateCheckbox} 0 0 100% 12u "Also remove my clipboard history and settings"
    Pop $RemoveBox
    nsDialogs::Show
FunctionEnd

Function un.OptionsPageLeave
    ${NSD_GetState} $RemoveBox $0
    ${IfThen} $0 = ${BST_CHECKED} ${|} StrCpy $RemoveData 1 ${|}
FunctionEnd

Section "Uninstall"
    Call un.CloseRunningCopy
    Delete "$INSTDIR\snipora.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${If} $RemoveData = 1
        RMDir /r "$APPDATA\${PUBLISHER}\${PRODUCT}"
        RMDir "$APPDATA\${PUBLISHER}"
    ${EndIf}
SectionEnd
