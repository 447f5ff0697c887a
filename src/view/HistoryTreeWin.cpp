// The popup's tree and its search: the controls, their colours and scale, the keys on the
// entries, the digits that choose a history entry at once, and the search that typing starts.
#include "view/HistoryTreeWin.h"

#include <utility>

#include "common/Error.h"
#include "view/ClipboardHandler.h"
#include "view/ItemDrawingWin.h"
#include "view/ItemFormat.h"
#include "view/ThemeWin.h"
#include "win/DarkMode.h"
#include "win/Gdi.h"
#include "win/Text.h"

namespace snipora {
namespace {

// At 96 dots per inch.
constexpr int kTreeFontHeight = 31;
constexpr int kIndent = 42;
constexpr int kMenuKeyOffset = 24;  // the entry menu from the keyboard opens this far in

HWND MakeChild(HWND parent, const wchar_t* className, DWORD style, int id = 0) {
    return ::CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

HistoryTree::HistoryTree(HWND parent, int treeId, int searchId, win::Dpi dpi, HFONT searchFont,
                         IHistoryTreeEvents& events)
    : events_(events), dpi_(dpi) {
    tree_ = MakeChild(parent, WC_TREEVIEWW,
                      WS_TABSTOP | TVS_NOTOOLTIPS | TVS_SHOWSELALWAYS | TVS_NOHSCROLL, treeId);
    // Screen readers name an edit field after the label just before it.
    HWND name = ::CreateWindowExW(0, L"STATIC", L"Filter", WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0,
                                  parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    search_ = MakeChild(parent, L"EDIT", WS_BORDER | ES_AUTOHSCROLL, searchId);
    if (tree_ == nullptr || name == nullptr || search_ == nullptr) {
        throw AppError("Cannot create the window's controls.");
    }
    ::SetWindowSubclass(search_, SearchFieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
    view_ = std::make_unique<Win32TreeView>(tree_, true);
    items_ = std::make_unique<ItemsTree>(tree_, static_cast<IItemsTreeEvents&>(*this));
    TreeView_SetExtendedStyle(tree_, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    // Rows exactly as high as the painted entries, so that none is squeezed and loses its
    // separator line; odd heights too (49 at 120 dots per inch).
    ::SetWindowLongPtrW(tree_, GWL_STYLE,
                        ::GetWindowLongPtrW(tree_, GWL_STYLE) | TVS_NONEVENHEIGHT);
    SetDpi(dpi_, searchFont);
    SetPalette(palette_);
}

// The controls go with their parent window; the subclass leaves with the field.
HistoryTree::~HistoryTree() = default;

void HistoryTree::SetHandler(CClipboardHandler* handler) {
    handler_ = handler;
    if (handler_ != nullptr) {
        handler_->SetFilter(&filter_);
    }
}

std::optional<LRESULT> HistoryTree::ParentMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<NMHDR*>(lParam);
            if (header.hwndFrom == tree_ && header.code == TVN_SELCHANGEDW) {
                events_.SelectionChanged(Selected());
            }
            if (header.hwndFrom == tree_ && header.code == TVN_BEGINDRAGW) {
                Drag(reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.hItem);
                return 0;
            }
            return items_->Notify(*reinterpret_cast<NMHDR*>(lParam));
        }
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) != search_ || lParam == 0) {
                return std::nullopt;
            }
            if (HIWORD(wParam) == EN_CHANGE) {
                ApplySearch();
            }
            return 0;
        case WM_CTLCOLOREDIT: {
            if (reinterpret_cast<HWND>(lParam) != search_ || lParam == 0) {
                return std::nullopt;
            }
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, ToColorRef(palette_.filterText));
            ::SetBkColor(dc, ToColorRef(palette_.filterBackground));
            return reinterpret_cast<LRESULT>(searchBrush_.Get());
        }
        default:
            return std::nullopt;
    }
}

void HistoryTree::Place(const RECT& tree, const RECT& search) {
    ::MoveWindow(tree_, tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top, TRUE);
    ::MoveWindow(search_, search.left, search.top, search.right - search.left,
                 search.bottom - search.top, TRUE);
}

void HistoryTree::SetDpi(win::Dpi dpi, HFONT searchFont) {
    const bool changed = dpi != dpi_ || !font_;
    dpi_ = dpi;
    if (searchFont != nullptr) {
        ::SendMessageW(search_, WM_SETFONT, reinterpret_cast<WPARAM>(searchFont), TRUE);
    }
    if (!changed) {
        return;
    }
    // The control takes the new font before the old one goes.
    win::UniqueFont font = win::MakeFont(-dpi_.Scale(kTreeFontHeight));
    ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    font_ = std::move(font);
    TreeView_SetIndent(tree_, dpi_.Scale(kIndent));
    CreateDrawing();
}

void HistoryTree::CreateDrawing() {
    drawing_ = std::make_unique<ItemDrawing>(skin_.GetSkin(), dpi_.Value(), palette_);
    drawing_->SetFilter(&filter_);
    drawing_->SetSelection(&selection_);
    TreeView_SetItemHeight(tree_, drawing_->Height());
}

void HistoryTree::SetPalette(const Palette& palette) {
    palette_ = palette;
    searchBrush_.Reset(::CreateSolidBrush(ToColorRef(palette_.filterBackground)));
    win::ApplyDarkScrollBars(tree_, palette_.darkControls);
    TreeView_SetBkColor(tree_, ToColorRef(palette_.rowBackground));
    TreeView_SetTextColor(tree_, ToColorRef(palette_.rowText));
    drawing_->SetPalette(palette_);
}

void HistoryTree::Show(bool show) {
    shown_ = show;
    ::ShowWindow(tree_, show ? SW_SHOW : SW_HIDE);
    if (!show) {
        CollapseSelection();
        // The next opening fills no more rows than the cap, at once.
        const bool showedAll = handler_ != nullptr && handler_->CapLists();
        searchOpened_ = false;
        SetSearchText(u"");
        if (showedAll) {
            Refresh();
        }
    }
}

void HistoryTree::Focus() {
    ::SetFocus(tree_);
}

HWND HistoryTree::KeyTarget() const {
    return ::GetFocus() == search_ && ::IsWindowVisible(search_) ? search_ : tree_;
}

std::u16string HistoryTree::SearchText() const {
    const int length = ::GetWindowTextLengthW(search_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(search_, text.data(), length + 1)));
    return std::u16string(win::Utf16(text));
}

void HistoryTree::UnfoldHistory() {
    if (HTREEITEM first = TreeView_GetRoot(tree_)) {
        TreeView_Expand(tree_, first, TVE_EXPAND);
        // An empty history cannot be expanded: mark it so, and its first entries show at once.
        TreeView_SetItemState(tree_, first, TVIS_EXPANDED, TVIS_EXPANDED);
    }
}

const CItemNode* HistoryTree::Selected() const {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    return selected != nullptr ? Win32TreeView::RecordOf(tree_, selected) : nullptr;
}

void HistoryTree::SelectNewest() {
    HTREEITEM newest = HistoryEntryAt(1);
    if (HTREEITEM first = newest != nullptr ? newest : TreeView_GetRoot(tree_)) {
        TreeView_SelectItem(tree_, first);
    }
}

void HistoryTree::SelectEntry(const CItemNode* node) {
    if (node == nullptr || node->TreeNode == nullptr) {
        return;
    }
    const HTREEITEM item = Win32TreeView::ToItem(node->TreeNode);
    TreeView_SelectItem(tree_, item);
    TreeView_EnsureVisible(tree_, item);
}

HTREEITEM HistoryTree::HistoryEntryAt(int position) const {
    HTREEITEM history = TreeView_GetRoot(tree_);
    HTREEITEM item =
        history != nullptr && position > 0 ? TreeView_GetChild(tree_, history) : nullptr;
    for (int i = 1; i < position && item != nullptr; ++i) {
        item = TreeView_GetNextSibling(tree_, item);
    }
    const CItemNode* record = item != nullptr ? Win32TreeView::RecordOf(tree_, item) : nullptr;
    return record != nullptr && record->IsShowAll() ? nullptr : item;
}

HTREEITEM HistoryTree::EntryAt(POINT point) const {
    TVHITTESTINFO hit{};
    hit.pt = point;
    return TreeView_HitTest(tree_, &hit);
}

// Typing goes on in the field once clicked into; the keys that move over the entries, choose
// one or leave reach the tree from there too.
LRESULT CALLBACK HistoryTree::SearchFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self) {
    auto* tree = reinterpret_cast<HistoryTree*>(self);
    switch (message) {
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_UP:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                case VK_RETURN:
                case VK_ESCAPE:
                    ::SetFocus(tree->tree_);
                    ::SendMessageW(tree->tree_, message, wParam, lParam);
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
            ::RemoveWindowSubclass(edit, SearchFieldProc, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

void HistoryTree::SetSearchText(const std::u16string& text) {
    ::SetWindowTextW(search_, win::Wide(text));
    ::SendMessageW(search_, EM_SETSEL, text.size(), text.size());
    ApplySearch();  // in case the field sends no change of its own
}

// The tree shows the matches of both lists, the first of them selected so that Enter takes
// it; the field shows in the bar label's place while a search is typed.
void HistoryTree::ApplySearch() {
    const std::u16string text = SearchText();
    if (text == filter_.Text()) {
        return;
    }
    filter_ = TextFilter(text, SystemCaseFolding());
    const bool searching = !filter_.Empty();
    ShowSearchField();
    if (handler_ == nullptr) {
        return;
    }
    // The counts of the headers and the marks of the rows that stay change too.
    Refresh();
    if (searching) {
        for (HTREEITEM category = TreeView_GetRoot(tree_); category != nullptr;
             category = TreeView_GetNextSibling(tree_, category)) {
            if (HTREEITEM first = TreeView_GetChild(tree_, category)) {
                TreeView_SelectItem(tree_, first);
                break;
            }
        }
    }
}

void HistoryTree::Refresh() {
    if (handler_ != nullptr) {
        ItemsTree::Batch batch(*items_);  // ends with all of the tree drawn anew
        handler_->RefreshTree();
    }
}

void HistoryTree::ShowAllOf(const CItemNode& row) {
    if (handler_ == nullptr || row.TreeNode == nullptr) {
        return;
    }
    // The row's record goes with the refresh; the last entry above it stays.
    const HTREEITEM above = TreeView_GetPrevSibling(tree_, Win32TreeView::ToItem(row.TreeNode));
    const CItemNode* last = above != nullptr ? Win32TreeView::RecordOf(tree_, above) : nullptr;
    handler_->ShowAll(row.Category);
    Refresh();
    if (last != nullptr && last->TreeNode != nullptr) {
        if (HTREEITEM first =
                TreeView_GetNextSibling(tree_, Win32TreeView::ToItem(last->TreeNode))) {
            TreeView_SelectItem(tree_, first);
            TreeView_EnsureVisible(tree_, first);
        }
    }
}

// An entry goes into the notes where it is let go: beside a note, or at the top on the notes
// header. History entries keep their time order: none lands among them.
void HistoryTree::Drag(HTREEITEM item) {
    const CItemNode* record = item != nullptr ? Win32TreeView::RecordOf(tree_, item) : nullptr;
    if (record == nullptr || record->IsCategory || record->IsShowAll()) {
        return;
    }
    const uint32_t id = record->Id;
    const auto invalidate = [this](const std::optional<TreeDrop>& mark) {
        RECT row{};
        if (mark && TreeView_GetItemRect(tree_, mark->target, &row, FALSE)) {
            ::InvalidateRect(tree_, &row, FALSE);
        }
    };
    const auto drop = TrackDrag(
        tree_,
        [&](HTREEITEM row) {
            const CItemNode* at = Win32TreeView::RecordOf(tree_, row);
            return at != nullptr && at->Category == kNotesCategory && !at->IsShowAll() &&
                   row != item;
        },
        [&](std::optional<TreeDrop> mark) {
            invalidate(dropMark_);
            dropMark_ = mark;
            invalidate(dropMark_);
        });
    // The dragged entry may have left the tree while the mouse was held; the row it was let go
    // on is still there.
    const CItemNode* beside = drop ? Win32TreeView::RecordOf(tree_, drop->target) : nullptr;
    if (beside != nullptr) {
        events_.DropAsked(id, *beside, drop->below);
    }
}

void HistoryTree::OpenMenuAt(POINT point) {
    ::ClientToScreen(tree_, &point);
    events_.MenuAsked(point);
}

void HistoryTree::ItemsTreeMouseDown(UINT button, int x, int y) {
    showAllClicked_ = false;
    HTREEITEM item = EntryAt({x, y});
    if (item == nullptr) {
        return;
    }
    if (button == WM_LBUTTONDOWN && SelectionClick(item)) {
        return;
    }
    // A click on a row of the selection keeps it, for a double click or the menu of them all.
    if (!selection_.Contains(EntryIdOf(item))) {
        CollapseSelection();
    }
    TreeView_SelectItem(tree_, item);
    if (button == WM_RBUTTONDOWN) {
        OpenMenuAt({x, y});
        return;
    }
    const CItemNode* record = Win32TreeView::RecordOf(tree_, item);
    // A "Show all" row is chosen with one click.
    if (button == WM_LBUTTONDOWN && record != nullptr && record->IsShowAll()) {
        showAllClicked_ = true;
        ShowAllOf(*record);
        return;
    }
    // The expander at a header's right end folds and unfolds its list.
    RECT row{};
    if (button == WM_LBUTTONDOWN && record != nullptr && record->IsCategory &&
        !record->Children.empty() && TreeView_GetItemRect(tree_, item, &row, FALSE) &&
        x >= row.right - dpi_.Scale(kHeaderExpanderWidth)) {
        TreeView_Expand(tree_, item, TVE_TOGGLE);
    }
}

// The second click on a "Show all" row lands on the entry that took its place: it chooses
// nothing.
// A double click on an entry of a selection of several chooses them all; on any other entry
// (also one that the clicks of a Ctrl+double click took out and put back), that entry alone.
void HistoryTree::ItemsTreeDblClick() {
    if (!std::exchange(showAllClicked_, false)) {
        const uint32_t row = EntryIdOf(TreeView_GetSelection(tree_));
        if (selection_.Size() < 2 || !selection_.Contains(row)) {
            CollapseSelection();
        }
        ChooseSelected();
    }
}

void HistoryTree::ChooseSelected() {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    if (selected == nullptr) {
        return;
    }
    if (!SelectedIds().empty()) {
        events_.EntryChosen(Selected());  // the entries chosen together
        return;
    }
    if (TreeView_GetChild(tree_, selected) != nullptr) {
        TreeView_Expand(tree_, selected, TVE_TOGGLE);
        return;
    }
    if (const CItemNode* record = Selected(); record != nullptr && record->IsShowAll()) {
        ShowAllOf(*record);
        return;
    }
    events_.EntryChosen(Selected());
}

LRESULT HistoryTree::ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW& draw) {
    const LRESULT result = drawing_->CustomDraw(draw);
    // The line where a dragged entry would land, over the row it lands beside.
    if (dropMark_ && draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec) == dropMark_->target) {
        const int thickness = dpi_.Scale(2);
        RECT line = draw.nmcd.rc;
        line.top = dropMark_->below ? line.bottom - thickness : line.top;
        line.bottom = line.top + thickness;
        const win::UniqueBrush brush(::CreateSolidBrush(ToColorRef(palette_.rowText)));
        ::FillRect(draw.nmcd.hdc, &line, brush.Get());
    }
    return result;
}

// A key pressed in the tree itself. The arrows, the page keys, Home and End, Left and Right
// are the control's own; a key that types comes again as a character.
bool HistoryTree::TreeKeyDown(UINT virtualKey) {
    if (!shown_) {
        return false;
    }
    const PopupCommand command = events_.CommandOf(virtualKey, 0, Searching());
    switch (command) {
        case PopupCommand::None:
            return false;
        case PopupCommand::Move:
            CollapseSelection();
            return false;
        case PopupCommand::Type:
        case PopupCommand::Pick:
            return true;
        default:
            Run(command, virtualKey, 0);
            return true;
    }
}

void HistoryTree::Run(PopupCommand command, UINT virtualKey, char16_t character) {
    if (!shown_) {
        return;
    }
    switch (command) {
        case PopupCommand::Move:
            ::SendMessageW(KeyTarget(), WM_KEYDOWN, virtualKey, 1);
            CollapseSelection();
            break;
        case PopupCommand::Extend:
            ExtendSelection(virtualKey);
            break;
        case PopupCommand::Toggle:
            ToggleSelected();
            break;
        case PopupCommand::SelectAll:
            SelectAllOfList();
            break;
        case PopupCommand::Choose:
            ChooseSelected();
            break;
        case PopupCommand::Delete:
            events_.DeleteAsked(Selected());
            break;
        case PopupCommand::Undo:
            events_.UndoAsked();
            break;
        case PopupCommand::Menu:
            TreeMenuKey();
            break;
        case PopupCommand::Leave:
            events_.ClosePreview();
            if (Searching()) {
                searchOpened_ = false;
                SetSearchText(u"");
                ShowSearchField();
                if (::GetFocus() == search_) {
                    ::SetFocus(tree_);
                }
            } else {
                events_.DismissAsked();
            }
            break;
        case PopupCommand::Type:
            if (KeyTarget() == search_) {
                ::SendMessageW(search_, WM_CHAR, character, 1);
            } else if (!events_.HotKeyHeld()) {
                std::u16string text = SearchText();
                if (TypeInto(text, character).effect == Typed::Effect::FilterChanged) {
                    SetSearchText(text);
                }
            }
            break;
        case PopupCommand::Pick:
            if (!events_.HotKeyHeld()) {
                Pick(character - u'0');
            }
            break;
        case PopupCommand::Search:
            OpenSearch();
            break;
        case PopupCommand::NewNote:
            events_.NewNoteAsked();
            break;
        case PopupCommand::Edit:
            events_.EditAsked(Selected());
            break;
        case PopupCommand::Reorder:
            events_.ReorderAsked(Selected(), virtualKey);
            break;
        case PopupCommand::Preview:
            events_.PreviewAsked(Selected());
            break;
        case PopupCommand::None:
            break;
    }
}

// A character that the tree got with the focus: the key rule says whether it picks or searches.
// The last key of the hot key, still held when the popup takes the keyboard, is no typing.
void HistoryTree::TreeChar(wchar_t unit) {
    if (!shown_) {
        return;
    }
    const auto typed = static_cast<char16_t>(unit);
    const PopupCommand command =
        unit == L'\b' ? PopupCommand::Type : events_.CommandOf(0, typed, Searching());
    if (command == PopupCommand::Type || command == PopupCommand::Pick ||
        command == PopupCommand::Preview) {
        Run(command, 0, typed);
    }
}

void HistoryTree::Pick(int position) {
    if (HTREEITEM item = HistoryEntryAt(position)) {
        TreeView_SelectItem(tree_, item);
        events_.EntryChosen(Selected());
    }
}

void HistoryTree::OpenSearch() {
    searchOpened_ = true;
    ShowSearchField();
    // With the focus, the field takes the typing itself; without it, the keys come routed.
    if (::GetFocus() == tree_) {
        ::SetFocus(search_);
    }
}

void HistoryTree::ShowSearchField() {
    if (Searching() == searchShown_) {
        return;
    }
    searchShown_ = Searching();
    ::ShowWindow(search_, searchShown_ ? SW_SHOW : SW_HIDE);
    events_.SearchShown(searchShown_);
}

// The entry menu beside the selected entry.
void HistoryTree::TreeMenuKey() {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    RECT row{};
    if (!shown_ || selected == nullptr || !TreeView_GetItemRect(tree_, selected, &row, FALSE)) {
        return;
    }
    OpenMenuAt({row.left + dpi_.Scale(kMenuKeyOffset), row.top + (row.bottom - row.top) / 2});
}

// A history entry is read with its time and size, as its row shows them.
std::u16string HistoryTree::TreeItemText(const CItemNode& record) {
    if (record.IsCategory || record.Category != kHistoryCategory || record.IsShowAll()) {
        return SpokenText(record, u"", u"");
    }
    return SpokenText(record, std::u16string(win::Utf16(drawing_->TimeText(record.Time))),
                      std::u16string(win::Utf16(drawing_->SizeText(record.Size))));
}

}  // namespace snipora
