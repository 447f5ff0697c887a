// A small console program for the end-to-end tests: it sets, reads and holds the clipboard,
// joins the clipboard-viewer chain, and reports what Snipora's window shows. It prints its
// answers on standard output, one line each.
//
//   snipora-probe set TEXT               put TEXT on the clipboard
//   snipora-probe clear                  empty the clipboard
//   snipora-probe set-owned TEXT MS      put TEXT there from a window of its own, kept MS ms
//   snipora-probe set-many PREFIX N MS   put PREFIX1 .. PREFIXN, MS milliseconds apart
//   snipora-probe get                    print the clipboard's text
//   snipora-probe hold MS                keep the clipboard open for MS milliseconds
//   snipora-probe viewer SECONDS FILE [swallow]  stay in the viewer chain, counting
//                                        notifications in FILE; with swallow, pass none on
//   snipora-probe window                 print the bar's state (see Describe)
//   snipora-probe foreground             print the class of the foreground window
//   snipora-probe names                  print the accessible names of the bar's button and of
//                                        its search field, one a line
//   snipora-probe workarea               print the primary work area
//   snipora-probe close                  ask the bar to close, as "Exit" does
//   snipora-probe wait-window MS         wait until the bar exists; exit code 1 if it never does
//   snipora-probe edit-text CLASS        print the text of the first edit control of a window
//   snipora-probe lock FILE MS           hold FILE open, shared with nobody, for MS milliseconds
//   snipora-probe error-box MS           wait for Snipora's error box, print its text, press OK
//   snipora-probe endsession             tell the bar that the session ends, as logging off does
//   snipora-probe command ID             send the bar a menu command (WM_COMMAND with ID)
//   snipora-probe dialog TITLE MS        wait for a dialog with that title; print its place, then
//                                        one line per control: id class checked value text
//   snipora-probe dialog-count TITLE     print how many dialogs with that title are shown
//   snipora-probe dialog-gone TITLE MS   wait until no dialog with that title is shown
//   snipora-probe dialog-set TITLE ID TEXT       set a control's text
//   snipora-probe dialog-check TITLE ID 0|1      set a check box
//   snipora-probe dialog-hotkey TITLE ID VALUE   set a hot-key field (HKM_SETHOTKEY)
//   snipora-probe dialog-press TITLE ID          press a button (or click a notifying label)
//   snipora-probe record FILE ARG...     append the arguments as one line to FILE (UTF-8)
//   snipora-probe paste-target FILE      show a window "Paste target" with an edit control (left)
//                                        and a control that pastes only on Ctrl+V, Ctrl+Alt+V or
//                                        Shift+Insert and types the characters it gets (right);
//                                        each change appends "TIME HOW TEXT" to FILE (TIME in Unix
//                                        seconds, HOW message|ctrl+v|ctrl+alt+v|shift+insert|char)
//                                        Above the edit control, an in-place editor that hides
//                                        itself when it loses the focus ("killfocus TEXT") and
//                                        logs its pastes ("inplace TEXT"); the window logs
//                                        "inactive" when it loses activation and "click" for a
//                                        click on its background
//   snipora-probe inplace-reset          show the paste target's in-place editor again with
//                                        "Hello World", "World" selected, and give it the focus
//   snipora-probe screenreader 0|1       tell the system that a screen reader runs, or not
//   snipora-probe close-window TITLE     ask the top-level window with that title to close
//   snipora-probe balloon MS             wait for a shown tooltip (a tray balloon), print its text
//   snipora-probe modifiers              print the Shift, Ctrl, Alt and Windows keys held down
//   snipora-probe hotkey MS              hold Ctrl+Alt+V as this program's hot key for MS ms
//   snipora-probe unseal IN OUT          write the plain bytes of IN, a data file or journal that
//                                        this account encrypted (or a plain one), to OUT; exit
//                                        code 1 if it cannot be decrypted whole
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include <vector>
#include "store/KeyVaultWin.h"
#include "store/SealedFiles.h"

#include "win/UniqueHandle.h"

namespace {

std::string ToUtf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    }
    return out;
}

bool OpenWithRetry(HWND owner) {
    for (int i = 0; i < 50; ++i) {
        if (::OpenClipboard(owner)) {
            return true;
        }
        ::Sleep(20);
    }
    return false;
}

// With `rich`, its bytes go along in a format of the probe's own.
bool SetText(const std::wstring& text, HWND owner = nullptr, const std::string* rich = nullptr) {
    if (!OpenWithRetry(owner)) {
        return false;
    }
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(::GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(block);
    bool ok = ::SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (rich != nullptr) {
        HGLOBAL bytes = ::GlobalAlloc(GMEM_MOVEABLE, rich->size());
        std::memcpy(::GlobalLock(bytes), rich->data(), rich->size());
        ::GlobalUnlock(bytes);
        ok = ::SetClipboardData(::RegisterClipboardFormatW(L"Snipora Probe Rich"), bytes) && ok;
    }
    ::CloseClipboard();
    return ok;
}

// A text and a registered format of bytes made from it, as a program with rich content sets
// them: the clipboard then holds more than one format.
bool SetRich(const std::wstring& text) {
    std::string bytes = "rich:";
    for (const wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0x7F);
    }
    bytes += std::string("\0\x01\xFE", 3);
    return SetText(text, nullptr, &bytes);
}

// Every format the clipboard holds, one per line: its name (or number) and its bytes, in hex,
// for those held in memory.
int ListFormats() {
    if (!OpenWithRetry(nullptr)) {
        return 1;
    }
    for (UINT id = ::EnumClipboardFormats(0); id != 0; id = ::EnumClipboardFormats(id)) {
        wchar_t name[128] = {};
        std::string line =
            ::GetClipboardFormatNameW(id, name, 128) > 0 ? ToUtf8(name) : std::to_string(id);
        if (id == CF_UNICODETEXT || id >= 0xC000) {
            HANDLE data = ::GetClipboardData(id);
            const auto* bytes =
                data != nullptr ? static_cast<const unsigned char*>(::GlobalLock(data)) : nullptr;
            line += " ";
            for (SIZE_T i = 0; bytes != nullptr && i < ::GlobalSize(data); ++i) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
                line += hex;
            }
            if (bytes != nullptr) {
                ::GlobalUnlock(data);
            }
        }
        std::printf("%s\n", line.c_str());
    }
    ::CloseClipboard();
    return 0;
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[4096] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

HWND FindBar() {
    return ::FindWindowW(L"TClipboardViewerForm", nullptr);
}

// The name that accessibility clients read for a window, or "(none)".
std::string AccessibleName(HWND window) {
    IAccessible* accessible = nullptr;
    if (window == nullptr || FAILED(::AccessibleObjectFromWindow(
                                 window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(&accessible)))) {
        return "(none)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result = "(none)";
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        result = ToUtf8(name);
        ::SysFreeString(name);
    }
    accessible->Release();
    return result;
}

int Describe() {
    HWND bar = FindBar();
    if (bar == nullptr) {
        std::printf("no-window\n");
        return 1;
    }
    RECT r{};
    ::GetWindowRect(bar, &r);
    HWND tree = ::FindWindowExW(bar, nullptr, WC_TREEVIEWW, nullptr);
    HWND label = ::FindWindowExW(bar, nullptr, L"STATIC", nullptr);
    HWND filter = ::FindWindowExW(bar, nullptr, L"EDIT", nullptr);
    BYTE alpha = 255;
    DWORD flags = 0;
    COLORREF key = 0;
    ::GetLayeredWindowAttributes(bar, &key, &alpha, &flags);
    DWORD_PTR count = 0;
    if (tree != nullptr) {
        ::SendMessageTimeoutW(tree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    }
    RECT treeRect{};
    DWORD_PTR itemHeight = 0;
    if (tree != nullptr) {
        ::GetWindowRect(tree, &treeRect);
        ::SendMessageTimeoutW(tree, TVM_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &itemHeight);
    }
    // The selected entry's row among those scrolled into view, counted from 0; -1 when it is
    // not in view (scrolled away, or inside a folded list).
    int selectedRow = -1;
    if (tree != nullptr) {
        const auto next = [tree](WPARAM how, LPARAM from) {
            DWORD_PTR item = 0;
            ::SendMessageTimeoutW(tree, TVM_GETNEXTITEM, how, from, SMTO_ABORTIFHUNG, 2000, &item);
            return static_cast<LPARAM>(item);
        };
        DWORD_PTR fits = 0;
        ::SendMessageTimeoutW(tree, TVM_GETVISIBLECOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &fits);
        const LPARAM selected = next(TVGN_CARET, 0);
        LPARAM row = next(TVGN_FIRSTVISIBLE, 0);
        for (int n = 0; selected != 0 && row != 0 && n < static_cast<int>(fits); ++n) {
            if (row == selected) {
                selectedRow = n;
                break;
            }
            row = next(TVGN_NEXTVISIBLE, row);
        }
    }
    std::printf(
        "left=%ld top=%ld width=%ld height=%ld visible=%d expanded=%d alpha=%u entries=%u "
        "treeleft=%ld treetop=%ld itemheight=%u active=%d filtering=%d selectedrow=%d\n",
        r.left, r.top, r.right - r.left, r.bottom - r.top, ::IsWindowVisible(bar) ? 1 : 0,
        tree != nullptr && ::IsWindowVisible(tree) ? 1 : 0, alpha, static_cast<unsigned>(count),
        treeRect.left, treeRect.top, static_cast<unsigned>(itemHeight),
        ::GetForegroundWindow() == bar ? 1 : 0,
        filter != nullptr && ::IsWindowVisible(filter) ? 1 : 0, selectedRow);
    std::printf("label=%s\n", label != nullptr ? ToUtf8(WindowText(label)).c_str() : "");
    return 0;
}

// A member of the viewer chain that counts what reaches it and passes everything on, or, as a
// badly behaved viewer, keeps the change notifications to itself.
HWND g_next = nullptr;
long g_count = 0;
const wchar_t* g_countFile = nullptr;
bool g_swallow = false;

void WriteCount() {
    if (FILE* f = _wfopen(g_countFile, L"w")) {
        std::fprintf(f, "%ld\n", g_count);
        std::fclose(f);
    }
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWCLIPBOARD:
            ++g_count;
            WriteCount();
            if (g_next != nullptr && !g_swallow) {
                ::SendMessageW(g_next, message, wParam, lParam);
            }
            return 0;
        case WM_CHANGECBCHAIN:
            if (reinterpret_cast<HWND>(wParam) == g_next) {
                g_next = reinterpret_cast<HWND>(lParam);
            } else if (g_next != nullptr) {
                ::SendMessageW(g_next, message, wParam, lParam);
            }
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

int RunViewer(int seconds, const wchar_t* countFile, bool swallow) {
    g_countFile = countFile;
    g_swallow = swallow;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ViewerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SniporaProbeViewer";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"probe viewer", WS_OVERLAPPED, 0, 0, 0, 0,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    g_count = -1;  // joining sends one notification of its own
    g_next = ::SetClipboardViewer(window);
    if (g_count < 0) {
        g_count = 0;
    }
    WriteCount();
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    ::SetTimer(window, 1, 50, nullptr);
    MSG msg;
    while (::GetTickCount() < end && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    ::ChangeClipboardChain(window, g_next);
    ::DestroyWindow(window);
    return 0;
}

// The shown dialogs (standard dialog class) with that title, of any process.
struct DialogSearch {
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM search) {
    auto& s = *reinterpret_cast<DialogSearch*>(search);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    wchar_t title[256] = {};
    ::InternalGetWindowText(window, title, 256);
    if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window) && s.title == title) {
        s.found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> FindDialogs(const wchar_t* title) {
    DialogSearch search{title, {}};
    ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(const wchar_t* title, DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    do {
        const std::vector<HWND> found = FindDialogs(title);
        if (!found.empty()) {
            return found.front();
        }
        ::Sleep(50);
    } while (::GetTickCount() < end);
    return nullptr;
}

BOOL CALLBACK DescribeControl(HWND control, LPARAM) {
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    const std::wstring kind = name;
    DWORD_PTR checked = 0;
    DWORD_PTR value = 0;
    if (kind == L"Button") {
        ::SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
    } else if (kind == HOTKEY_CLASSW) {
        ::SendMessageTimeoutW(control, HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 2000, &value);
    } else if (kind == UPDOWN_CLASSW) {
        ::SendMessageTimeoutW(control, UDM_GETPOS32, 0, 0, SMTO_ABORTIFHUNG, 2000, &value);
    }
    RECT r{};
    ::GetWindowRect(control, &r);
    std::printf("%d %s %u %u %ld %ld %ld %ld %s\n", ::GetDlgCtrlID(control), ToUtf8(kind).c_str(),
                static_cast<unsigned>(checked), static_cast<unsigned>(value), r.left, r.top,
                r.right - r.left, r.bottom - r.top, ToUtf8(WindowText(control)).c_str());
    return TRUE;
}

int DescribeDialog(HWND dialog) {
    RECT r{};
    ::GetWindowRect(dialog, &r);
    RECT client{};
    ::GetClientRect(dialog, &client);
    std::printf("left=%ld top=%ld width=%ld height=%ld client-width=%ld client-height=%ld\n",
                r.left, r.top, r.right - r.left, r.bottom - r.top, client.right, client.bottom);
    ::EnumChildWindows(dialog, DescribeControl, 0);
    return 0;
}

int DialogCommand(const std::wstring& command, int argc, wchar_t** argv) {
    if (command == L"dialog" && argc >= 4) {
        HWND dialog = WaitForDialog(argv[2], static_cast<DWORD>(std::wcstol(argv[3], nullptr, 10)));
        return dialog != nullptr ? DescribeDialog(dialog) : 1;
    }
    if (command == L"dialog-count" && argc >= 3) {
        std::printf("%u\n", static_cast<unsigned>(FindDialogs(argv[2]).size()));
        return 0;
    }
    if (command == L"dialog-gone" && argc >= 4) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(std::wcstol(argv[3], nullptr, 10));
        while (!FindDialogs(argv[2]).empty()) {
            if (::GetTickCount() >= end) {
                return 1;
            }
            ::Sleep(50);
        }
        return 0;
    }
    if (argc < 4) {
        return 2;
    }
    HWND dialog = WaitForDialog(argv[2], 5000);
    const int id = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    HWND control = dialog != nullptr ? ::GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr) {
        return 1;
    }
    DWORD_PTR ignored = 0;
    // A busy machine may keep the dialog from answering for a while; a hung one answers never.
    constexpr UINT kSetTimeoutMs = 10000;
    if (command == L"dialog-set" && argc >= 5) {
        return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]),
                                     SMTO_ABORTIFHUNG, kSetTimeoutMs, &ignored) != 0
                   ? 0
                   : 1;
    }
    if (command == L"dialog-check" && argc >= 5) {
        const WPARAM state = std::wcstol(argv[4], nullptr, 10) ? BST_CHECKED : BST_UNCHECKED;
        return ::SendMessageTimeoutW(control, BM_SETCHECK, state, 0, SMTO_ABORTIFHUNG,
                                     kSetTimeoutMs, &ignored) != 0
                   ? 0
                   : 1;
    }
    if (command == L"dialog-hotkey" && argc >= 5) {
        const WPARAM value = std::wcstoul(argv[4], nullptr, 0);
        return ::SendMessageTimeoutW(control, HKM_SETHOTKEY, value, 0, SMTO_ABORTIFHUNG,
                                     kSetTimeoutMs, &ignored) != 0
                   ? 0
                   : 1;
    }
    if (command == L"dialog-press") {
        return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(control))
                   ? 0
                   : 1;
    }
    return 2;
}

// The paste target: a window with an edit control that pastes on WM_PASTE and a custom control
// that, like a browser's page, ignores WM_PASTE and pastes on the keystroke alone.
const wchar_t* g_pasteLog = nullptr;
std::wstring g_keyText;
WNDPROC g_editProc = nullptr;

void LogPaste(const char* how, const std::wstring& text) {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    const double unix =
        static_cast<double>((ULONGLONG{now.dwHighDateTime} << 32 | now.dwLowDateTime) -
                            116444736000000000ULL) /
        1e7;
    if (FILE* f = _wfopen(g_pasteLog, L"ab")) {
        std::fprintf(f, "%.6f %s %s\n", unix, how, ToUtf8(text).c_str());
        std::fclose(f);
    }
}

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (OpenWithRetry(owner)) {
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
    }
    return text;
}

bool Down(int key) {
    return ::GetKeyState(key) < 0;
}

LRESULT CALLBACK KeystrokeOnlyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            ::SetFocus(window);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        case WM_PASTE:
            return 0;  // ignored, as most programs do
        case WM_KEYDOWN: {
            const bool ctrl = Down(VK_CONTROL), shift = Down(VK_SHIFT), alt = Down(VK_MENU);
            const char* how = nullptr;
            if (wParam == 'V' && ctrl && !shift && !alt) {
                how = "ctrl+v";
            } else if (wParam == 'V' && ctrl && alt) {
                how = "ctrl+alt+v";  // pasted by some programs, as by this one
            } else if (wParam == VK_INSERT && shift && !ctrl && !alt) {
                how = "shift+insert";
            }
            if (how != nullptr) {
                g_keyText += ClipboardText(window);
                LogPaste(how, g_keyText);
            }
            return 0;
        }
        case WM_CHAR:
            if (wParam >= 0x20) {
                g_keyText += static_cast<wchar_t>(wParam);
                LogPaste("char", g_keyText);
            }
            return 0;
        case WM_GETTEXT: {
            const size_t n = std::min<size_t>(g_keyText.size(), wParam > 0 ? wParam - 1 : 0);
            if (wParam > 0) {
                auto* out = reinterpret_cast<wchar_t*>(lParam);
                std::copy_n(g_keyText.c_str(), n, out);
                out[n] = L'\0';
            }
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(g_keyText.size());
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK PasteEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::CallWindowProcW(g_editProc, window, message, wParam, lParam);
    if (message == WM_PASTE) {
        LogPaste("message", WindowText(window));
    }
    return result;
}

// The in-place editor: like a file-rename box, it ends itself when it loses the focus.
WNDPROC g_inPlaceProc = nullptr;
HWND g_inPlace = nullptr;
constexpr UINT kResetInPlace = WM_APP + 1;

LRESULT CALLBACK InPlaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KILLFOCUS) {
        LogPaste("killfocus", WindowText(window));
        ::ShowWindow(window, SW_HIDE);
    }
    const LRESULT result = ::CallWindowProcW(g_inPlaceProc, window, message, wParam, lParam);
    if (message == WM_PASTE) {
        LogPaste("inplace", WindowText(window));
    }
    return result;
}

LRESULT CALLBACK PasteTargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                LogPaste("inactive", L"");
            }
            break;
        case WM_LBUTTONDOWN:
            LogPaste("click", L"");
            return 0;
        case kResetInPlace:
            // "Hello World" with "World" selected, in the editor with the focus.
            ::SetWindowTextW(g_inPlace, L"Hello World");
            ::ShowWindow(g_inPlace, SW_SHOW);
            ::SetFocus(g_inPlace);
            ::SendMessageW(g_inPlace, EM_SETSEL, 6, 11);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int RunPasteTarget(const wchar_t* logFile) {
    g_pasteLog = logFile;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW frame{};
    frame.lpfnWndProc = PasteTargetProc;
    frame.hInstance = instance;
    frame.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frame.lpszClassName = L"SniporaPasteTarget";
    ::RegisterClassW(&frame);
    WNDCLASSW keys = frame;
    keys.lpfnWndProc = KeystrokeOnlyProc;
    keys.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    keys.lpszClassName = L"SniporaKeystrokeOnly";
    ::RegisterClassW(&keys);
    HWND window =
        ::CreateWindowExW(0, frame.lpszClassName, L"Paste target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          0, 0, 900, 600, nullptr, nullptr, instance, nullptr);
    HWND edit =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10,
                          55, 420, 455, window, nullptr, instance, nullptr);
    g_inPlace = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | ES_AUTOHSCROLL, 10, 5,
                                  420, 40, window, nullptr, instance, nullptr);
    g_inPlaceProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(g_inPlace, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InPlaceProc)));
    g_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PasteEditProc)));
    HWND keystrokeOnly = ::CreateWindowExW(WS_EX_CLIENTEDGE, keys.lpszClassName, L"",
                                           WS_CHILD | WS_VISIBLE | WS_TABSTOP, 450, 10, 420, 500,
                                           window, nullptr, instance, nullptr);
    ::SetFocus(keystrokeOnly);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

BOOL CALLBACK FindShownTooltip(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == TOOLTIPS_CLASSW && ::IsWindowVisible(window) &&
        !WindowText(window).empty()) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

int PrintBalloon(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    do {
        HWND found = nullptr;
        ::EnumWindows(FindShownTooltip, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr) {
            std::printf("%s\n", ToUtf8(WindowText(found)).c_str());
            return 0;
        }
        ::Sleep(50);
    } while (::GetTickCount() < end);
    return 1;
}

int PrintModifiers() {
    const std::pair<int, const char*> keys[] = {{VK_SHIFT, "shift"},
                                                {VK_CONTROL, "ctrl"},
                                                {VK_MENU, "alt"},
                                                {VK_LWIN, "lwin"},
                                                {VK_RWIN, "rwin"}};
    for (const auto& [key, name] : keys) {
        if (::GetAsyncKeyState(key) & 0x8000) {
            std::printf("%s ", name);
        }
    }
    std::printf("\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: snipora-probe COMMAND ...\n");
        return 2;
    }
    const std::wstring command = argv[1];
    auto number = [&](int i) { return std::wcstol(argv[i], nullptr, 10); };
    if (command == L"set" && argc >= 3) {
        return SetText(argv[2]) ? 0 : 1;
    }
    if (command == L"unseal" && argc >= 4) {
        try {
            snipora::SealingFileSystem files(snipora::PlatformFileSystem(),
                                             snipora::PlatformKeyVault());
            auto in = files.OpenForReading(snipora::FilePath(std::wstring(argv[2])));
            std::string bytes;
            char chunk[64 * 1024];
            while (const size_t n = in->Read(chunk, sizeof chunk)) {
                bytes.append(chunk, n);
            }
            FILE* out = _wfopen(argv[3], L"wb");
            if (out == nullptr) {
                return 1;
            }
            const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
            return std::fclose(out) == 0 && written && in->Fault().empty() ? 0 : 1;
        } catch (const std::exception& e) {
            std::printf("%s\n", e.what());
            return 1;
        }
    }
    if (command == L"set-owned" && argc >= 4) {
        // Owned by a window of this process, which stays for the given milliseconds.
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"probe owner", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, ::GetModuleHandleW(nullptr), nullptr);
        const bool ok = SetText(argv[2], owner);
        ::Sleep(static_cast<DWORD>(number(3)));
        ::DestroyWindow(owner);
        return ok ? 0 : 1;
    }
    if (command == L"set-many" && argc >= 5) {
        const int n = number(3);
        const int ms = number(4);
        for (int i = 1; i <= n; ++i) {
            if (!SetText(argv[2] + std::to_wstring(i))) {
                return 1;
            }
            ::Sleep(ms);
        }
        return 0;
    }
    if (command == L"set-rich" && argc >= 3) {
        return SetRich(argv[2]) ? 0 : 1;
    }
    if (command == L"formats") {
        return ListFormats();
    }
    if (command == L"clear") {
        if (!OpenWithRetry(nullptr)) {
            return 1;
        }
        ::EmptyClipboard();
        ::CloseClipboard();
        return 0;
    }
    if (command == L"get") {
        if (!OpenWithRetry(nullptr)) {
            return 1;
        }
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        std::wstring text;
        if (data != nullptr) {
            text = static_cast<const wchar_t*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        std::printf("%s\n", ToUtf8(text).c_str());
        return data != nullptr ? 0 : 1;
    }
    if (command == L"hold" && argc >= 3) {
        if (!OpenWithRetry(nullptr)) {
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        ::Sleep(static_cast<DWORD>(number(2)));
        ::CloseClipboard();
        return 0;
    }
    if (command == L"viewer" && argc >= 4) {
        return RunViewer(number(2), argv[3], argc >= 5 && std::wstring(argv[4]) == L"swallow");
    }
    if (command == L"window") {
        return Describe();
    }
    if (command == L"foreground") {
        wchar_t name[256] = {};
        ::GetClassNameW(::GetForegroundWindow(), name, 256);
        std::printf("%s\n", ToUtf8(name).c_str());
        return 0;
    }
    if (command == L"names") {
        HWND bar = FindBar();
        if (bar == nullptr) {
            return 1;
        }
        ::CoInitialize(nullptr);
        std::printf("%s\n",
                    AccessibleName(::FindWindowExW(bar, nullptr, L"BUTTON", nullptr)).c_str());
        std::printf("%s\n",
                    AccessibleName(::FindWindowExW(bar, nullptr, L"EDIT", nullptr)).c_str());
        ::CoUninitialize();
        return 0;
    }
    if (command == L"workarea") {
        RECT area{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        std::printf("left=%ld top=%ld right=%ld bottom=%ld\n", area.left, area.top, area.right,
                    area.bottom);
        return 0;
    }
    if (command == L"close") {
        HWND bar = FindBar();
        return bar != nullptr && ::PostMessageW(bar, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"wait-window" && argc >= 3) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(number(2));
        while (::GetTickCount() < end) {
            if (FindBar() != nullptr) {
                return 0;
            }
            ::Sleep(50);
        }
        return 1;
    }
    if (command == L"edit-text" && argc >= 3) {
        HWND top = ::FindWindowW(argv[2], nullptr);
        HWND edit = top != nullptr ? ::FindWindowExW(top, nullptr, L"Edit", nullptr) : nullptr;
        if (edit == nullptr) {
            return 1;
        }
        std::printf("%s\n", ToUtf8(WindowText(edit)).c_str());
        return 0;
    }
    if (command == L"lock" && argc >= 4) {
        const snipora::win::UniqueFile file(::CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0,
                                                          nullptr, OPEN_ALWAYS, 0, nullptr));
        if (!file) {
            return 1;
        }
        std::printf("locked\n");
        std::fflush(stdout);
        ::Sleep(static_cast<DWORD>(number(3)));
        return 0;
    }
    if (command == L"error-box" && argc >= 3) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(number(2));
        while (::GetTickCount() < end) {
            if (HWND box = ::FindWindowW(L"#32770", L"Snipora")) {
                HWND text = ::GetDlgItem(box, 0xFFFF);
                std::printf("%s\n", text != nullptr ? ToUtf8(WindowText(text)).c_str() : "");
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            ::Sleep(50);
        }
        return 1;
    }
    if (command == L"endsession") {
        HWND bar = FindBar();
        if (bar == nullptr) {
            return 1;
        }
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(bar, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
        ::SendMessageTimeoutW(bar, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
        std::printf("%s\n", answer ? "may-end" : "refused");
        return 0;
    }
    if (command == L"command" && argc >= 3) {
        HWND bar = FindBar();
        return bar != nullptr && ::PostMessageW(bar, WM_COMMAND, MAKEWPARAM(number(2), 0), 0) ? 0
                                                                                              : 1;
    }
    if (command.starts_with(L"dialog")) {
        return DialogCommand(command, argc, argv);
    }
    if (command == L"record" && argc >= 3) {
        std::wstring line;
        for (int i = 3; i < argc; ++i) {
            line += (i > 3 ? L" " : L"") + std::wstring(argv[i]);
        }
        FILE* f = _wfopen(argv[2], L"ab");
        if (f == nullptr) {
            return 1;
        }
        std::fprintf(f, "%s\n", ToUtf8(line).c_str());
        std::fclose(f);
        return 0;
    }
    if (command == L"paste-target" && argc >= 3) {
        return RunPasteTarget(argv[2]);
    }
    if (command == L"close-window" && argc >= 3) {
        HWND window = ::FindWindowW(nullptr, argv[2]);
        return window != nullptr && ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"hotkey" && argc >= 3) {
        if (!::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'V')) {
            return 1;
        }
        ::Sleep(static_cast<DWORD>(number(2)));
        return 0;
    }
    if (command == L"inplace-reset") {
        HWND target = ::FindWindowW(L"SniporaPasteTarget", L"Paste target");
        return target != nullptr && ::SendMessageW(target, kResetInPlace, 0, 0) == 0 ? 0 : 1;
    }
    if (command == L"screenreader" && argc == 2) {
        BOOL on = FALSE;
        ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &on, 0);
        std::printf("%d\n", on ? 1 : 0);
        return 0;
    }
    if (command == L"screenreader" && argc >= 3) {
        return ::SystemParametersInfoW(SPI_SETSCREENREADER, number(2) != 0 ? TRUE : FALSE, nullptr,
                                       SPIF_SENDCHANGE)
                   ? 0
                   : 1;
    }
    // The app mode (1 light, 0 dark) stored and announced as Windows' settings do.
    if (command == L"app-mode" && argc >= 3) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                              0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr) != ERROR_SUCCESS) {
            return 1;
        }
        const DWORD light = number(2) != 0 ? 1 : 0;
        const LSTATUS status =
            ::RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&light), sizeof light);
        ::RegCloseKey(key);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                              reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG,
                              2000, &ignored);
        return status == ERROR_SUCCESS ? 0 : 1;
    }
    // High contrast on (1) or off (0), announced to every window; without a value, whether it
    // is on.
    if (command == L"high-contrast" && argc == 2) {
        HIGHCONTRASTW contrast{};
        contrast.cbSize = sizeof contrast;
        ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0);
        std::printf("%d\n", (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0 ? 1 : 0);
        return 0;
    }
    if (command == L"high-contrast" && argc >= 3) {
        HIGHCONTRASTW contrast{};
        contrast.cbSize = sizeof contrast;
        contrast.dwFlags = number(2) != 0 ? HCF_HIGHCONTRASTON : 0;
        return ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast,
                                       SPIF_SENDCHANGE)
                   ? 0
                   : 1;
    }
    // The system's window colour as RRGGBB.
    if (command == L"window-colour") {
        const COLORREF c = ::GetSysColor(COLOR_WINDOW);
        std::printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
        return 0;
    }
    if (command == L"balloon" && argc >= 3) {
        return PrintBalloon(static_cast<DWORD>(number(2)));
    }
    if (command == L"modifiers") {
        return PrintModifiers();
    }
    std::fprintf(stderr, "snipora-probe: unknown command %s\n", ToUtf8(command).c_str());
    return 2;
}
