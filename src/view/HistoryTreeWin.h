#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "view/EntrySelection.h"
#include "view/ItemsTreeWin.h"
#include "view/Palette.h"
#include "view/PopupCommand.h"
#include "view/SkinWin.h"
#include "view/TextFilter.h"
#include "view/TreeViewWin.h"
#include "win/Dpi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

class CClipboardHandler;
class CItemNode;
class ItemDrawing;

// What the popup's tree asks of the window that holds it.
class IHistoryTreeEvents {
public:
    virtual ~IHistoryTreeEvents() = default;
    // The last key of the hot key is still held: a character that comes now is no typing.
    virtual bool HotKeyHeld() = 0;
    // What a key pressed in the tree, while it has the focus, does: the popup's key rule
    // decides it. The characters come on their own, as `typed` with no key; `searching` says
    // whether a search is open.
    virtual PopupCommand CommandOf(UINT virtualKey, char16_t typed, bool searching) = 0;
    // An entry was chosen: with Enter, a double click, or a digit for the n-th history entry.
    virtual void EntryChosen(const CItemNode* record) = 0;
    // Del on the selected entry, and Ctrl+Z.
    virtual void DeleteAsked(const CItemNode* record) = 0;
    virtual void UndoAsked() = 0;
    // The entry menu for the selected entry (a right click, Shift+F10 or the menu key), at a
    // point on the screen.
    virtual void MenuAsked(POINT screen) = 0;
    // Esc with no search typed.
    virtual void DismissAsked() = 0;
    // The search field comes (a search is typed, or Ctrl+F or F3 opened it) or goes: it takes
    // the bar label's place.
    virtual void SearchShown(bool shown) = 0;
    // Ctrl+N: a new note. F2: the editor on the selected entry. Ctrl with Up, Down, Home or End
    // (`virtualKey`): the selected note moves. Space: the preview opens or closes.
    virtual void NewNoteAsked() {}
    virtual void EditAsked(const CItemNode* /*record*/) {}
    virtual void ReorderAsked(const CItemNode* /*record*/, UINT /*virtualKey*/) {}
    virtual void PreviewAsked(const CItemNode* /*record*/) {}
    // Another entry (or none) is selected; Esc was pressed, which closes the preview.
    virtual void SelectionChanged(const CItemNode* /*record*/) {}
    virtual void ClosePreview() {}
    // The entry `id`, dragged with the mouse, was let go directly above or below the entry
    // `beside`, or on the notes' header (`beside` the header's record): at the top of the notes.
    virtual void DropAsked(uint32_t /*id*/, const CItemNode& /*beside*/, bool /*below*/) {}
    // Entries were added to the selection of several, or left it.
    virtual void ChosenTogetherChanged() {}
};

// The popup's tree of entries with its type-to-filter search: the SysTreeView32 control and the
// search field, the binding of the lists to the control, the hand drawing of the entries and the
// popup's keys. The window that holds both controls passes on the messages they send it
// (ParentMessage) and hears back through IHistoryTreeEvents.
class HistoryTree final : private IItemsTreeEvents {
public:
    // Both controls, children of `parent`, at the scale `dpi`; the search field takes `searchFont`,
    // which stays the caller's.
    HistoryTree(HWND parent, int treeId, int searchId, win::Dpi dpi, HFONT searchFont,
                IHistoryTreeEvents& events);
    HistoryTree(const HistoryTree&) = delete;
    HistoryTree& operator=(const HistoryTree&) = delete;
    ~HistoryTree() override;

    HWND Control() const { return tree_; }
    // The control as the lists see it: they add and remove its entries.
    ITreeView& View() { return *view_; }
    // The lists shown; null before the start and after the close.
    void SetHandler(CClipboardHandler* handler);

    // The answer to a message that the parent got from the tree or the search field
    // (WM_NOTIFY, WM_COMMAND, WM_CTLCOLOREDIT), or nullopt for any other.
    std::optional<LRESULT> ParentMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Both controls' places in the parent; the search field lies over the bar's label.
    void Place(const RECT& tree, const RECT& search);
    // Fonts, indent, row height and images at another scale; the search field takes `font`,
    // which stays the caller's.
    void SetDpi(win::Dpi dpi, HFONT searchFont);
    void SetPalette(const Palette& palette);

    // The popup opens (the tree shows) or closes (and forgets its search).
    void Show(bool show);
    void Focus();
    // Carries out a key's meaning, decided by the popup's key rule: a move goes to the search
    // field once clicked into, else to the tree, as `virtualKey`; a character is typed there.
    void Run(PopupCommand command, UINT virtualKey, char16_t character);
    // Where a key routed to the popup goes: the search field once clicked into, else the tree.
    HWND KeyTarget() const;
    std::u16string SearchText() const;
    // A search is open: text is typed into it, or Ctrl+F or F3 opened it.
    bool Searching() const { return searchOpened_ || !filter_.Empty(); }

    // The lists were loaded: the history shows unfolded, even while empty.
    void UnfoldHistory();
    const CItemNode* Selected() const;
    // The newest history entry, or the history's header when there is none.
    void SelectNewest();
    // A shown entry (or none), with its list unfolded and scrolled into view.
    void SelectEntry(const CItemNode* node);
    // The n-th history entry shown, counted from 1; null past the last (a "Show all" row is
    // no entry).
    HTREEITEM HistoryEntryAt(int position) const;
    // The entry under a point in the tree's coordinates, or null.
    HTREEITEM EntryAt(POINT point) const;
    // The entries chosen together, in the order of choosing, without those that have left the
    // lists; empty while one entry alone is selected.
    std::vector<uint32_t> SelectedIds();

private:
    // IItemsTreeEvents
    void ItemsTreeMouseDown(UINT button, int x, int y) override;
    void ItemsTreeDblClick() override;
    LRESULT ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW& draw) override;
    bool TreeKeyDown(UINT virtualKey) override;
    void TreeChar(wchar_t unit) override;
    void TreeMenuKey() override;
    std::u16string TreeItemText(const CItemNode& record) override;

    static LRESULT CALLBACK SearchFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self);
    void CreateDrawing();
    void SetSearchText(const std::u16string& text);
    void ApplySearch();
    // The field opens, empty, for a search that may begin with a digit.
    void OpenSearch();
    // The field shows while a search is open.
    void ShowSearchField();
    // The digit's history entry is chosen, as if with a double click.
    void Pick(int position);
    // Brings the tree in line with the lists, drawn anew as a whole.
    void Refresh();
    // An entry chosen with Enter or a double click: a header folds or unfolds, a "Show all" row
    // lists the rest of its list, and an entry goes to the window.
    void ChooseSelected();
    // Lists the rest of the row's list; the first entry that comes takes the selection.
    void ShowAllOf(const CItemNode& row);
    void OpenMenuAt(POINT point);
    // Follows a drag of the entry until it is let go (TVN_BEGINDRAG).
    void Drag(HTREEITEM item);
    // The selection of several (HistoryTreeSelectionWin.cpp): Shift+Up or Shift+Down, a click
    // with Shift or Ctrl, Ctrl+Space and Ctrl+A. True when the click was taken.
    void ExtendSelection(UINT virtualKey);
    bool SelectionClick(HTREEITEM item);
    void ToggleSelected();
    void SelectAllOfList();
    void CollapseSelection();
    uint32_t EntryIdOf(HTREEITEM item) const;
    std::vector<uint32_t> RangeTo(HTREEITEM to) const;

    IHistoryTreeEvents& events_;
    HWND tree_ = nullptr;
    HWND search_ = nullptr;  // shown in the bar label's place while a search is typed
    std::unique_ptr<Win32TreeView> view_;
    std::unique_ptr<ItemsTree> items_;
    TextFilter filter_;
    bool searchOpened_ = false;  // by Ctrl+F or F3, until Esc or the popup closes
    bool searchShown_ = false;
    CClipboardHandler* handler_ = nullptr;
    win::Dpi dpi_;
    Palette palette_ = Palette::Light();
    win::UniqueFont font_;
    win::UniqueBrush searchBrush_;
    Skin skin_;  // drawn with by drawing_
    std::unique_ptr<ItemDrawing> drawing_;
    EntrySelection selection_;  // drawn by drawing_
    bool shown_ = false;
    // Where a dragged entry would land, drawn as a line over the rows.
    std::optional<TreeDrop> dropMark_;
    // The last click went down on a "Show all" row: a double click it starts chooses nothing.
    bool showAllClicked_ = false;
};

}  // namespace snipora
