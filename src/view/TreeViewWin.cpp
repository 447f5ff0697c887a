#include "view/TreeViewWin.h"

#include <windowsx.h>

#include <algorithm>

namespace snipora {

namespace {

int CALLBACK CompareRecords(LPARAM a, LPARAM b, LPARAM compare) {
    return (*reinterpret_cast<EntryCompare*>(compare))(reinterpret_cast<const CItemNode*>(a),
                                                       reinterpret_cast<const CItemNode*>(b));
}

HTREEITEM Next(HWND control, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(control, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

TreeEntry Win32TreeView::AddLast(TreeEntry parent, CItemNode* data) {
    return Insert(parent, data, TVI_LAST);
}

TreeEntry Win32TreeView::AddFirst(TreeEntry parent, CItemNode* data) {
    return Insert(parent, data, TVI_FIRST);
}

TreeEntry Win32TreeView::Insert(TreeEntry parent, CItemNode* data, HTREEITEM after) {
    wchar_t empty[] = L"";
    TVINSERTSTRUCTW insert{};
    insert.hParent = ToItem(parent);
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = textOnDemand_ ? LPSTR_TEXTCALLBACKW : empty;
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    const auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(control_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item != nullptr &&
        std::find(unsorted_.begin(), unsorted_.end(), insert.hParent) == unsorted_.end()) {
        unsorted_.push_back(insert.hParent);
    }
    return ToEntry(item);
}

void Win32TreeView::Delete(TreeEntry entry) {
    const HTREEITEM item = ToItem(entry);
    if (item == TVI_ROOT) {
        unsorted_.clear();
    } else if (!unsorted_.empty()) {
        // A level that goes with the entry must not be sorted later. Only the levels are asked
        // about, never the entry: some controls look a handle up in a list of all entries, and
        // a refresh may delete thousands.
        std::erase_if(unsorted_, [&](HTREEITEM level) {
            for (HTREEITEM up = level; up != nullptr && up != TVI_ROOT;
                 up = Next(control_, up, TVGN_PARENT)) {
                if (up == item) {
                    return true;
                }
            }
            return false;
        });
    }
    ::SendMessageW(control_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

// Folding an entry with the reset flag drops its children in one go, with no search of the
// control's own for each of them. Some controls fold only an open entry: it is marked open
// first, and left as it was at the end. What the control kept goes one by one.
void Win32TreeView::DeleteChildren(TreeEntry entry) {
    const HTREEITEM item = ToItem(entry);
    if (item == TVI_ROOT) {
        Delete(nullptr);
        return;
    }
    const auto setOpen = [&](bool open) {
        TVITEMW state{};
        state.mask = TVIF_STATE | TVIF_HANDLE;
        state.hItem = item;
        state.state = open ? TVIS_EXPANDED : 0;
        state.stateMask = TVIS_EXPANDED;
        ::SendMessageW(control_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state));
    };
    const bool open =
        (::SendMessageW(control_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
         TVIS_EXPANDED) != 0;
    setOpen(true);
    ::SendMessageW(control_, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET,
                   reinterpret_cast<LPARAM>(item));
    while (HTREEITEM child = Next(control_, item, TVGN_CHILD)) {
        ::SendMessageW(control_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
    }
    setOpen(open);
}

void Win32TreeView::SortAll(EntryCompare compare) {
    TVSORTCB sort{};
    sort.lpfnCompare = &CompareRecords;
    sort.lParam = reinterpret_cast<LPARAM>(&compare);
    for (HTREEITEM level : unsorted_) {
        sort.hParent = level;
        ::SendMessageW(control_, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    }
    unsorted_.clear();
}

CItemNode* Win32TreeView::RecordOf(HWND control, HTREEITEM item) {
    TVITEMW query{};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    if (!::SendMessageW(control, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) {
        return nullptr;
    }
    return reinterpret_cast<CItemNode*>(query.lParam);
}

std::optional<TreeDrop> TrackDrag(HWND control, const std::function<bool(HTREEITEM row)>& accepts,
                                  const std::function<void(std::optional<TreeDrop>)>& marked) {
    std::optional<TreeDrop> drop;
    ::SetCapture(control);
    const auto follow = [&](LPARAM at) {
        TVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        HTREEITEM row = TreeView_HitTest(control, &hit);
        RECT rect{};
        const std::optional<TreeDrop> before = drop;
        drop.reset();
        if (row != nullptr && accepts(row) && TreeView_GetItemRect(control, row, &rect, FALSE)) {
            drop = TreeDrop{row, hit.pt.y >= (rect.top + rect.bottom) / 2};
        }
        if (drop.has_value() != before.has_value() ||
            (drop && (drop->target != before->target || drop->below != before->below))) {
            TreeView_SetInsertMark(control, drop ? drop->target : nullptr, drop && drop->below);
            marked(drop);
        }
    };
    MSG message{};
    bool done = false;
    while (!done && ::GetCapture() == control && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        switch (message.message) {
            case WM_MOUSEMOVE:
                if (message.hwnd == control) {
                    follow(message.lParam);
                }
                break;
            case WM_LBUTTONUP:
                if (message.hwnd == control) {
                    follow(message.lParam);
                }
                done = true;
                break;
            case WM_KEYDOWN:
                if (message.wParam == VK_ESCAPE) {
                    drop.reset();
                    done = true;
                }
                break;
            case WM_RBUTTONDOWN:
                drop.reset();
                done = true;
                break;
            default:
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
                break;
        }
    }
    if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
    }
    if (!done) {
        drop.reset();  // the capture went elsewhere
    }
    TreeView_SetInsertMark(control, nullptr, FALSE);
    marked(std::nullopt);
    if (::GetCapture() == control) {
        ::ReleaseCapture();
    }
    return drop;
}

}  // namespace snipora
