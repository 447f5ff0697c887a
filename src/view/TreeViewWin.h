#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <vector>

#include "view/TreeView.h"

namespace snipora {

// A SysTreeView32 control seen through ITreeView. The control itself belongs to its parent
// window; this only drives it and must not outlive it. Entries are appended through this
// object alone.
class Win32TreeView final : public ITreeView {
public:
    // With `textOnDemand`, entries carry no text of their own: the control asks its parent for
    // one (TVN_GETDISPINFO) whenever someone wants it. Otherwise their text is empty.
    explicit Win32TreeView(HWND control, bool textOnDemand = false)
        : control_(control), textOnDemand_(textOnDemand) {}
    Win32TreeView(const Win32TreeView&) = delete;
    Win32TreeView& operator=(const Win32TreeView&) = delete;

    TreeEntry AddLast(TreeEntry parent, CItemNode* data) override;
    TreeEntry AddFirst(TreeEntry parent, CItemNode* data) override;
    void Delete(TreeEntry entry) override;
    void DeleteChildren(TreeEntry entry) override;
    void SortAll(EntryCompare compare) override;

    HWND Control() const { return control_; }

    static TreeEntry ToEntry(HTREEITEM item) { return reinterpret_cast<TreeEntry>(item); }
    static HTREEITEM ToItem(TreeEntry entry) {
        return entry == nullptr ? TVI_ROOT : reinterpret_cast<HTREEITEM>(entry);
    }
    // The record that an entry of the control carries as its data; null if there is none.
    static CItemNode* RecordOf(HWND control, HTREEITEM item);

private:
    TreeEntry Insert(TreeEntry parent, CItemNode* data, HTREEITEM after);

    HWND control_;
    bool textOnDemand_;
    // The levels that gained entries since the last sort (TVI_ROOT for the top level). Walking
    // a level of the control costs a message per entry, so the others are not visited at all.
    std::vector<HTREEITEM> unsorted_;
};

// Where a dragged entry lands: directly above the entry `target`, or below it.
struct TreeDrop {
    HTREEITEM target = nullptr;
    bool below = false;
};

// Follows a drag that the control began (TVN_BEGINDRAG) until the left button goes up, with the
// mouse captured: a line (the control's insert mark) shows where the entry would land, on the
// rows `accepts` takes, above a row's upper half and below its lower half. Where it lands, or
// nullopt when it was let go elsewhere or the drag was given up (Esc, the capture lost).
// `marked` hears each change of the landing place (nullopt: none), for a control that draws its
// rows itself and the line with them.
std::optional<TreeDrop> TrackDrag(HWND control, const std::function<bool(HTREEITEM row)>& accepts,
                                  const std::function<void(std::optional<TreeDrop>)>& marked);

}  // namespace snipora
