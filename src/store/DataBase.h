#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "common/FilePath.h"
#include "store/Clipboard.h"
#include "store/FileSystem.h"
#include "store/TextItem.h"

namespace snipora {

inline constexpr uint32_t FirstItemId = 100000;
inline constexpr size_t HistoryLimit = 25;
inline constexpr int32_t HistoryCategory = 0;
inline constexpr int32_t NotesCategory = 1;

// Keeps the clipboard history and the quick notes in one list, newest first, and alone decides
// how texts enter and leave it.
class CDataBase {
public:
    using ItemList = std::list<std::unique_ptr<CTextItem>>;

    CDataBase(IClipboard& clipboard, IFileSystem& files);
    CDataBase(const CDataBase&) = delete;
    CDataBase& operator=(const CDataBase&) = delete;
    virtual ~CDataBase();

    void SetWindow(WindowHandle window);

    // Records the text on the clipboard as the newest history item.
    void CaptureClipboard();
    // Puts an item's text on the clipboard; a history item leaves the list, as its text comes
    // back as the newest capture.
    bool MoveToClipboard(uint32_t id);
    bool MoveToCategory(uint32_t id, int32_t category);
    bool DeleteItem(uint32_t id);
    void ClearCategory(int32_t category);

    // Writes every item, oldest first, through a crash-safe replacement of the file.
    bool SaveToFile(const FilePath& path);
    // Replaces the list by the file's items. A damaged tail is not loaded; the file is first kept
    // beside it with ".damaged" appended to its name. False if there is no file.
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
    void InsertAtFront(std::unique_ptr<CTextItem> item);
    void TrimHistory();

    IClipboard& clipboard_;
    IFileSystem& files_;
    WindowHandle window_ = nullptr;
    uint32_t nextId_ = FirstItemId;
    std::u16string lastCaptured_;
    bool enabled_ = false;
    ItemList items_;
};

}  // namespace snipora
