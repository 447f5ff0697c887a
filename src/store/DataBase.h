#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/FilePath.h"
#include "store/Clipboard.h"
#include "store/FileSystem.h"
#include "store/ItemMemory.h"
#include "store/TextItem.h"

namespace snipora {

inline constexpr uint32_t FirstItemId = 100000;
inline constexpr size_t HistoryLimit = 25;
inline constexpr int32_t HistoryCategory = 0;
inline constexpr int32_t NotesCategory = 1;

// One entry of the item list, holding its item in place so that an item and its list node are
// one block; `->` and `*` reach the item.
class ItemEntry {
public:
    template <typename... Args>
    explicit ItemEntry(Args&&... args) : item_(std::forward<Args>(args)...) {}
    CTextItem* operator->() { return &item_; }
    const CTextItem* operator->() const { return &item_; }
    CTextItem& operator*() { return item_; }
    const CTextItem& operator*() const { return item_; }

private:
    CTextItem item_;
};

// Keeps the clipboard history and the quick notes in one list, newest first, and alone decides
// how texts enter and leave it.
class CDataBase {
public:
    // The entries come from a pool of equal blocks, and most texts of a loaded file stay in the
    // blocks it was read into: a file of many notes loads without asking the system heap, or
    // copying, for each one.
    using ItemList = std::list<ItemEntry, PoolAllocator<ItemEntry>>;

    CDataBase(IClipboard& clipboard, IFileSystem& files);
    CDataBase(const CDataBase&) = delete;
    CDataBase& operator=(const CDataBase&) = delete;
    virtual ~CDataBase();

    void SetWindow(WindowHandle window);

    // Records the text on the clipboard as the newest history item.
    void CaptureClipboard();
    // Puts an item's text on the clipboard; a history item leaves the list, as its text comes
    // back as the newest capture. False, with the item left in its place, when there is no such
    // item or the clipboard could not be written.
    bool MoveToClipboard(uint32_t id);
    bool MoveToCategory(uint32_t id, int32_t category);
    bool DeleteItem(uint32_t id);
    void ClearCategory(int32_t category);
    // Deletes the history items more than `minutes` old at `now` (an OLE date); notes stay. When
    // the newest history item goes, LastCaptured becomes the newest that stays, or empty. Gives
    // the number deleted.
    size_t ForgetHistory(double now, int32_t minutes);

    // Writes every item, oldest first, through a crash-safe replacement of the file.
    bool SaveToFile(const FilePath& path);
    // Replaces the list by the file's items. A damaged tail is not loaded; the file is first kept
    // beside it with ".damaged" appended to its name. False if there is no file. A file that
    // cannot be opened or read raises its AppError and leaves the list empty.
    bool LoadFromFile(const FilePath& path);
    // Reads records until the stream ends, inserting each complete one at the front. True if
    // the stream ended on a record boundary.
    bool LoadRecords(IReadStream& stream);

    const ItemList& Items() const { return items_; }
    const std::u16string& LastCaptured() const { return lastCaptured_; }
    bool Enabled() const { return enabled_; }
    WindowHandle Window() const { return window_; }

private:
    ItemList::iterator Find(uint32_t id);
    // Gives the entry at `it` the next Id and moves it to the front.
    void RenumberToFront(ItemList::iterator it);
    void TrimHistory();

    IClipboard& clipboard_;
    IFileSystem& files_;
    WindowHandle window_ = nullptr;
    uint32_t nextId_ = FirstItemId;
    std::u16string lastCaptured_;
    bool enabled_ = false;
    BlockPool pool_;
    // The loaded file's blocks, which its items' texts share; kept until the list is replaced,
    // so what an item that goes before then leaves in them stays unused until that point.
    std::vector<std::unique_ptr<char16_t[]>> loadedBlocks_;
    ItemList items_{PoolAllocator<ItemEntry>(pool_)};
};

}  // namespace snipora
