#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

namespace snipora {

class CItemNode;

// What the popup's tree tells the window that holds it.
class IItemsTreeEvents {
public:
    virtual ~IItemsTreeEvents() = default;
    // A mouse button went down (WM_LBUTTONDOWN, WM_MBUTTONDOWN or WM_RBUTTONDOWN) at a point in
    // the tree's coordinates.
    virtual void ItemsTreeMouseDown(UINT button, int x, int y) = 0;
    virtual void ItemsTreeDblClick() = 0;
    virtual LRESULT ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW& draw) = 0;
    // A key went down; true when it was taken, and the tree must not see it.
    virtual bool TreeKeyDown(UINT virtualKey) = 0;
    // A character was typed.
    virtual void TreeChar(wchar_t unit) = 0;
    // The system asks for the context menu from the keyboard (WM_CONTEXTMENU).
    virtual void TreeMenuKey() = 0;
    // An entry's text for whoever asks the control for it (a screen reader).
    virtual std::u16string TreeItemText(const CItemNode& record) = 0;
};

// The popup's SysTreeView32 with its events: mouse buttons and keys from the control itself,
// drawing and item texts from the notifications it sends to its parent, which passes them on to
// Notify. Every entry's text is asked for when needed, so that the hand-drawn rows show no text
// of the control's own while a screen reader still reads one. The control gets this object's
// window procedure in place of its own rather than a subclass: a refresh sends it a message for
// each entry it adds or deletes, and some systems look a window's properties up in another
// process on every message that passes a subclass chain.
class ItemsTree {
public:
    ItemsTree(HWND control, IItemsTreeEvents& events);
    ItemsTree(const ItemsTree&) = delete;
    ItemsTree& operator=(const ItemsTree&) = delete;
    ~ItemsTree();

    HWND Control() const { return control_; }

    // The control's notifications, which its parent passes on from its WM_NOTIFY: the answer,
    // or nullopt for one this does not take (the parent answers it as it would).
    std::optional<LRESULT> Notify(NMHDR& header);
    // The keys held with the last mouse button that went down (MK_CONTROL, MK_SHIFT), as the
    // system took them with the click: the thread's key state is stale while another window
    // has the keyboard.
    WPARAM MouseKeys() const { return mouseKeys_; }

    // Many entries change at once: the control neither draws nor lays out rows meanwhile, and
    // the texts it asks for while it catches up at the end are empty, as it only measures them
    // then (each measure of a long text costs, and thousands of rows may be shown). It asks
    // again when someone reads one.
    class Batch {
    public:
        explicit Batch(ItemsTree& tree);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        ~Batch();

    private:
        void MarkFirst(LPARAM item);

        ItemsTree& tree_;
    };

private:
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnNotify(NMHDR& header, LRESULT& result);
    // Puts back the control's window procedure from before, if it is still ours.
    void Unhook();

    HWND control_;
    IItemsTreeEvents& events_;
    // The procedure the control had; messages go on to it. Null once the control is gone.
    WNDPROC controlProc_ = nullptr;
    bool quiet_ = false;
    WPARAM mouseKeys_ = 0;
};

}  // namespace snipora
