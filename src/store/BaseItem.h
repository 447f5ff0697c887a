#pragma once

#include <cstdint>

#include "store/Clipboard.h"
#include "store/Streams.h"

namespace snipora {

// One recorded clipboard content. The database owns every item and alone sets Id and Category.
class CBaseItem {
public:
    CBaseItem() = default;
    CBaseItem(const CBaseItem&) = delete;
    CBaseItem& operator=(const CBaseItem&) = delete;
    virtual ~CBaseItem() = default;

    // True if the clipboard could be opened and examined.
    virtual bool ReadFromClipboard(IClipboard& clipboard, WindowHandle window) = 0;
    // True if the content was handed to the clipboard.
    virtual bool WriteToClipboard(IClipboard& clipboard, WindowHandle window) = 0;
    virtual void SaveToStream(IWriteStream& stream) const = 0;
    // True if the whole record was read. On false the item holds what could be read and every
    // field is defined.
    virtual bool LoadFromStream(IReadStream& stream) = 0;

    uint32_t Id = 0;
    int32_t Category = 0;
    uint32_t Length = 0;
    double CaptureTime = 0.0;
};

}  // namespace snipora
