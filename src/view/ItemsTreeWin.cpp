#include "view/ItemsTreeWin.h"

#include <windowsx.h>

#include <algorithm>

#include "view/ItemNode.h"
#include "win/BaseWindow.h"

namespace snipora {
namespace {

WNDPROC ReplaceProc(HWND window, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

}  // namespace

// The control keeps this object in its user data, which the control itself leaves alone.
ItemsTree::ItemsTree(HWND control, IItemsTreeEvents& events) : control_(control), events_(events) {
    ::SetWindowLongPtrW(control_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    controlProc_ = ReplaceProc(control_, ControlProc);
}

ItemsTree::~ItemsTree() {
    Unhook();
}

void ItemsTree::Unhook() {
    if (controlProc_ == nullptr) {
        return;
    }
    if (::IsWindow(control_) &&
        ::GetWindowLongPtrW(control_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ControlProc)) {
        ReplaceProc(control_, controlProc_);
        ::SetWindowLongPtrW(control_, GWLP_USERDATA, 0);
    }
    controlProc_ = nullptr;
}

// Some controls check their insertion mark and drop target against the list of all their
// entries at every delete, a search to the end while they are unset. Pointing both at the first
// entry, which is also the first in that list, ends each search at once. Nothing is drawn
// meanwhile, and both are unset again before drawing resumes.
ItemsTree::Batch::Batch(ItemsTree& tree) : tree_(tree) {
    tree_.quiet_ = true;
    ::SendMessageW(tree_.control_, WM_SETREDRAW, FALSE, 0);
    MarkFirst(::SendMessageW(tree_.control_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

void ItemsTree::Batch::MarkFirst(LPARAM item) {
    ::SendMessageW(tree_.control_, TVM_SETINSERTMARK, FALSE, item);
    ::SendMessageW(tree_.control_, TVM_SELECTITEM, TVGN_DROPHILITE, item);
}

ItemsTree::Batch::~Batch() {
    MarkFirst(0);
    ::SendMessageW(tree_.control_, WM_SETREDRAW, TRUE, 0);
    tree_.quiet_ = false;
    ::InvalidateRect(tree_.control_, nullptr, FALSE);
}

LRESULT CALLBACK ItemsTree::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tree = reinterpret_cast<ItemsTree*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (tree != nullptr && tree->control_ == window && tree->controlProc_ != nullptr) {
        return tree->OnControlMessage(message, wParam, lParam);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Mouse buttons going down select the entry under them; the right one also opens the entry
// menu, and is not passed on, so that the control starts no drag of its own. A double click
// anywhere on a row is the window's, and so is every typed character: the control's own search
// by typing would jump between entries.
LRESULT ItemsTree::OnControlMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = control_;
    const WNDPROC original = controlProc_;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
            mouseKeys_ = wParam;
            win::Firewall(window, 0, [&]() -> LRESULT {
                events_.ItemsTreeMouseDown(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                return 0;
            });
            if (message == WM_RBUTTONDOWN) {
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK:
            // Ours alone: the control would fold or unfold, and only over an entry's text.
            return win::Firewall(window, 0, [&]() -> LRESULT {
                events_.ItemsTreeDblClick();
                return 0;
            });
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // F10 comes as a system key: Shift+F10 opens the entry menu.
            bool taken = false;
            win::Firewall(window, 0, [&]() -> LRESULT {
                taken = events_.TreeKeyDown(static_cast<UINT>(wParam));
                return 0;
            });
            if (taken) {
                return 0;
            }
            break;
        }
        case WM_CHAR:
            return win::Firewall(window, 0, [&]() -> LRESULT {
                events_.TreeChar(static_cast<wchar_t>(wParam));
                return 0;
            });
        case WM_CONTEXTMENU:
            // From the keyboard, in case the system made one of a key it did not show us.
            if (lParam == -1) {
                return win::Firewall(window, 0, [&]() -> LRESULT {
                    events_.TreeMenuKey();
                    return 0;
                });
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        case WM_NCDESTROY:
            Unhook();
            break;
        default:
            break;
    }
    return ::CallWindowProcW(original, window, message, wParam, lParam);
}

std::optional<LRESULT> ItemsTree::Notify(NMHDR& header) {
    if (header.hwndFrom != control_) {
        return std::nullopt;
    }
    LRESULT result = 0;
    if (!OnNotify(header, result)) {
        return std::nullopt;
    }
    return result;
}

bool ItemsTree::OnNotify(NMHDR& header, LRESULT& result) {
    switch (header.code) {
        case NM_CUSTOMDRAW:
            result = events_.ItemsTreeCustomDrawItem(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
            return true;
        case TVN_GETDISPINFOW: {
            auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
            const auto* record = reinterpret_cast<const CItemNode*>(info.item.lParam);
            if ((info.item.mask & TVIF_TEXT) != 0 && info.item.pszText != nullptr &&
                info.item.cchTextMax > 0) {
                const std::u16string text =
                    record != nullptr && !quiet_ ? events_.TreeItemText(*record) : std::u16string();
                const size_t length =
                    std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
                std::copy_n(text.data(), length, info.item.pszText);
                info.item.pszText[length] = L'\0';
                // A note's text never changes: the control keeps it and does not ask again, as
                // it would for every row it lays out. Counts and times do change.
                if (record != nullptr && !quiet_ && !record->IsCategory && record->Category != 0 &&
                    !record->IsShowAll()) {
                    info.item.mask |= TVIF_DI_SETITEM;
                }
            }
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace snipora
