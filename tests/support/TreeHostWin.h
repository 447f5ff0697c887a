#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "view/TreeViewWin.h"
#include "win/BaseWindow.h"

namespace snipora::test {

// A top-level window holding one SysTreeView32 control, driven through Win32TreeView. Counts the
// entries that the control reports deleted; `onNotify` may answer the control's notifications.
class TreeHost : public win::BaseWindow {
public:
    explicit TreeHost(DWORD hostStyle = WS_OVERLAPPEDWINDOW,
                      DWORD treeStyle = TVS_HASBUTTONS | TVS_LINESATROOT, int width = 400,
                      int height = 600, bool textOnDemand = false)
        : control_(MakeControl(*this, hostStyle, treeStyle, width, height)),
          tree_(control_, textOnDemand) {}
    // A host whose tree asks for its entries' texts when it needs them, as the program's does.
    explicit TreeHost(bool textOnDemand)
        : TreeHost(WS_OVERLAPPEDWINDOW, TVS_HASBUTTONS | TVS_LINESATROOT, 400, 600, textOnDemand) {}

    HWND Control() const { return control_; }
    Win32TreeView& Tree() { return tree_; }
    int deleted = 0;
    std::function<std::optional<LRESULT>(NMHDR&)> onNotify;

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

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            auto& header = *reinterpret_cast<NMHDR*>(lParam);
            if (header.code == TVN_DELETEITEMW) {
                ++deleted;
            }
            if (onNotify) {
                if (const auto result = onNotify(header)) {
                    return *result;
                }
            }
        }
        return BaseWindow::HandleMessage(message, wParam, lParam);
    }

private:
    // The control is destroyed with the host window.
    static HWND MakeControl(TreeHost& host, DWORD hostStyle, DWORD treeStyle, int width,
                            int height) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        host.Create(L"SniporaTreeHost", 0, hostStyle, L"tree host", 0, 0, width, height, nullptr);
        HWND control =
            ::CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | treeStyle, 0, 0, width,
                              height, host.Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (control == nullptr) {
            // Without a display nothing is measured or checked: say so rather than pass.
            throw std::runtime_error("the tree control could not be made (is there a display?)");
        }
        return control;
    }

    HWND control_;
    Win32TreeView tree_;
};

}  // namespace snipora::test
