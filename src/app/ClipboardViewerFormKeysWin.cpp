// The popup from the keyboard: keys on the tree's entries, the digits that choose a history
// entry at once, and the search that typing starts.
#include <string>

#include "app/ClipboardViewerFormWin.h"
#include "common/Error.h"
#include "view/ItemDrawingWin.h"
#include "view/ItemFormat.h"
#include "win/BaseWindow.h"
#include "win/Text.h"

namespace snipora {
void TClipboardViewerForm::CreateFilterField() {
    // Screen readers name an edit field after the label just before it.
    HWND name = ::CreateWindowExW(0, L"STATIC", L"Filter", WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0,
                                  Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    filterField_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0,
                                     0, 0, Handle(), reinterpret_cast<HMENU>(kIdFilter),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (name == nullptr || filterField_ == nullptr) {
        throw AppError("Cannot create the window's controls.");
    }
    ::SendMessageW(filterField_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ::SetWindowSubclass(filterField_, FilterFieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

// Typing goes on in the field once clicked into; the keys that move over the entries, choose
// one or leave reach the tree from there too.
LRESULT CALLBACK TClipboardViewerForm::FilterFieldProc(HWND edit, UINT message, WPARAM wParam,
                                                       LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
    auto* form = reinterpret_cast<TClipboardViewerForm*>(self);
    switch (message) {
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_UP:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                case VK_RETURN:
                case VK_ESCAPE:
                    ::SetFocus(form->tree_);
                    ::SendMessageW(form->tree_, message, wParam, lParam);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' || wParam == 27) {
                return 0;  // no beep: taken as keys above
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(edit, FilterFieldProc, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

std::u16string TClipboardViewerForm::FilterText() const {
    const int length = ::GetWindowTextLengthW(filterField_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(filterField_, text.data(), length + 1)));
    return std::u16string(win::Utf16(text));
}

void TClipboardViewerForm::SetFilterText(const std::u16string& text) {
    if (filterField_ == nullptr) {
        return;
    }
    ::SetWindowTextW(filterField_, win::Wide(text));
    ::SendMessageW(filterField_, EM_SETSEL, text.size(), text.size());
    ApplyFilter();  // in case the field sends no change of its own
}

// The tree shows the matches of both lists, the first of them selected so that Enter takes
// it; the bar shows the field in place of its label while a filter is typed.
void TClipboardViewerForm::ApplyFilter() {
    const std::u16string text = FilterText();
    if (text == filter_.Text()) {
        return;
    }
    filter_ = TextFilter(text, SystemCaseFolding());
    const bool filtering = !filter_.Empty();
    ::ShowWindow(filterField_, filtering ? SW_SHOW : SW_HIDE);
    ::ShowWindow(label_, filtering ? SW_HIDE : SW_SHOW);
    if (handler_ == nullptr) {
        return;
    }
    {
        // The counts of the headers and the marks of the rows that stay change too: the batch
        // ends with all of the tree drawn anew.
        ItemsTree::Batch batch(*itemsTree_);
        handler_->RefreshTree();
    }
    if (filtering) {
        for (HTREEITEM category = TreeView_GetRoot(tree_); category != nullptr;
             category = TreeView_GetNextSibling(tree_, category)) {
            if (HTREEITEM first = TreeView_GetChild(tree_, category)) {
                TreeView_SelectItem(tree_, first);
                break;
            }
        }
    }
}

// The n-th history entry shown, counted from 1, as if chosen with a double click.
void TClipboardViewerForm::ChooseHistoryEntry(int position) {
    HTREEITEM history = TreeView_GetRoot(tree_);
    HTREEITEM item = history != nullptr ? TreeView_GetChild(tree_, history) : nullptr;
    for (int i = 1; i < position && item != nullptr; ++i) {
        item = TreeView_GetNextSibling(tree_, item);
    }
    if (item != nullptr) {
        TreeView_SelectItem(tree_, item);
        BtMoveToClipboardClick(SelectedRecord());
    }
}

void TClipboardViewerForm::TreeMouseDown(UINT button, int x, int y) {
    ItemsTreeMouseDown(button, x, y);
}

void TClipboardViewerForm::TreeDoubleClick() {
    ItemsTreeDblClick();
}

LRESULT TClipboardViewerForm::TreeCustomDraw(NMTVCUSTOMDRAW& draw) {
    return ItemsTreeCustomDrawItem(draw);
}

// The arrows, the page keys, Home and End, Left and Right are the tree's own.
bool TClipboardViewerForm::TreeKeyDown(UINT virtualKey) {
    if (!popup_.Expanded()) {
        return false;
    }
    switch (virtualKey) {
        case VK_RETURN:
            ItemsTreeDblClick();
            return true;
        case VK_DELETE:
            BtDeleteItemClick(SelectedRecord());
            return true;
        case 'Z':
            if (::GetKeyState(VK_CONTROL) >= 0) {
                return false;
            }
            UndoClick();
            return true;
        case VK_ESCAPE:
            if (!filter_.Empty()) {
                SetFilterText(u"");
            } else {
                popup_.Dismiss();
            }
            return true;
        default:
            return false;
    }
}

// The last key of the hot key, still held when the popup takes the keyboard, is no typing.
void TClipboardViewerForm::TreeChar(wchar_t unit) {
    if (!popup_.Expanded() || popup_.HotKeyDown()) {
        return;
    }
    std::u16string text = FilterText();
    const Typed typed = TypeInto(text, static_cast<char16_t>(unit));
    switch (typed.effect) {
        case Typed::Effect::FilterChanged:
            SetFilterText(text);
            break;
        case Typed::Effect::ChooseHistoryEntry:
            ChooseHistoryEntry(typed.position);
            break;
        case Typed::Effect::Nothing:
            break;
    }
}

// The entry menu beside the selected entry.
void TClipboardViewerForm::TreeMenuKey() {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    if (!popup_.Expanded() || selected == nullptr) {
        return;
    }
    RECT row{};
    if (!TreeView_GetItemRect(tree_, selected, &row, FALSE)) {
        return;
    }
    OpenItemMenu(row.left + dpi_.Scale(24), row.top + (row.bottom - row.top) / 2);
}

std::u16string TClipboardViewerForm::TreeItemText(const CItemNode& record) {
    if (record.IsCategory || record.Category != HistoryCategory || drawing_ == nullptr) {
        return SpokenText(record, u"", u"");
    }
    return SpokenText(record, std::u16string(win::Utf16(drawing_->TimeText(record.Time))),
                      std::u16string(win::Utf16(drawing_->SizeText(record.Size))));
}

}  // namespace snipora
