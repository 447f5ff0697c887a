#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "view/TreeViewWin.h"
#include "win/UniqueHandle.h"

namespace snipora::test {

// A hidden top-level window holding one SysTreeView32 control, driven through Win32TreeView.
// Counts the entries that the control reports deleted.
class TreeHost {
public:
    explicit TreeHost(bool textOnDemand = false)
        : window_(MakeHost()), control_(MakeControl(window_.Get())), tree_(control_, textOnDemand) {
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    TreeHost(const TreeHost&) = delete;
    TreeHost& operator=(const TreeHost&) = delete;
    ~TreeHost() { ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0); }

    HWND Control() const { return control_; }
    Win32TreeView& Tree() { return tree_; }
    int deleted = 0;

    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(control_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Child(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
    // The entries under `parent` (the top level for null), top to bottom.
    std::vector<HTREEITEM> Children(HTREEITEM parent) const {
        std::vector<HTREEITEM> items;
        for (HTREEITEM item = parent == nullptr ? Next(nullptr, TVGN_ROOT) : Child(parent);
             item != nullptr; item = Next(item, TVGN_NEXT)) {
            items.push_back(item);
        }
        return items;
    }
    UINT State(HTREEITEM item) const {
        return static_cast<UINT>(
            ::SendMessageW(control_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), 0xFFFF));
    }
    size_t Count() const {
        return static_cast<size_t>(::SendMessageW(control_, TVM_GETCOUNT, 0, 0));
    }

private:
    static HWND MakeHost() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &HostProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"SniporaTreeHost";
        ::RegisterClassW(&windowClass);  // fails harmlessly once registered
        return ::CreateWindowExW(0, L"SniporaTreeHost", L"tree host", WS_OVERLAPPEDWINDOW, 0, 0,
                                 400, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    static HWND MakeControl(HWND parent) {
        return ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                                 WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
                                 400, 600, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }

    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* host = reinterpret_cast<TreeHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NOTIFY && host != nullptr &&
            reinterpret_cast<NMHDR*>(lParam)->code == TVN_DELETEITEMW) {
            ++host->deleted;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    win::UniqueWindow window_;
    HWND control_;  // destroyed with window_
    Win32TreeView tree_;
};

}  // namespace snipora::test
