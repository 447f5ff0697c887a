#pragma once

#include <string>

#include "store/FileSystem.h"
#include "support/FakeClipboard.h"
#include "view/ClipboardHandler.h"

namespace snipora::test {

// Both lists over a clipboard in memory and the platform's files, as the suites of the tree's
// views build them: Show makes the handler that shows them in a tree, with its two categories.
class HistoryLists {
public:
    HistoryLists() : container(clipboard, PlatformFileSystem()) {}

    CClipboardHandler* Show(ITreeView* tree) {
        CClipboardHandler* handler = container.CreateHandler(tree, &window);
        handler->AddCategories();
        return handler;
    }
    // Copies a text as another program would, and the handler captures it.
    void Copy(const std::u16string& text) {
        clipboard.Put(text);
        container.Handler()->CaptureClipboard();
    }

    int window = 0;
    FakeClipboard clipboard;
    CBaseContainer container;
};

}  // namespace snipora::test
