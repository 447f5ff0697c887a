#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "store/BaseItem.h"
#include "store/StoredText.h"

namespace snipora {

// A recorded text, kept as UTF-16. Never holds a zero code unit.
class CTextItem final : public CBaseItem {
public:
    // Stamped with the current local time.
    CTextItem();
    // Stamped with the given time; loading replaces it at once, so asking the clock is wasted.
    explicit CTextItem(double captureTime);

    bool ReadFromClipboard(IClipboard& clipboard, WindowHandle window) override;
    bool WriteToClipboard(IClipboard& clipboard, WindowHandle window) override;
    void SaveToStream(IWriteStream& stream) const override;
    bool LoadFromStream(IReadStream& stream) override;

    // A record's fixed part: category (4), capture time (8), unit count (4).
    static constexpr size_t kHeadSize = 16;
    struct Head {
        int32_t Category;
        double CaptureTime;
        uint32_t Count;
    };
    // The fixed part's layout, little-endian, both ways.
    static Head ReadHead(const char* bytes) {
        Head head;
        std::memcpy(&head.Category, bytes, 4);
        std::memcpy(&head.CaptureTime, bytes + 4, 8);
        std::memcpy(&head.Count, bytes + 12, 4);
        return head;
    }
    static void WriteHead(const Head& head, char* bytes) {
        std::memcpy(bytes, &head.Category, 4);
        std::memcpy(bytes + 4, &head.CaptureTime, 8);
        std::memcpy(bytes + 12, &head.Count, 4);
    }

    // A loaded record, its text still to be set; Length keeps the stored count. Inline, as
    // loading makes one for every record.
    explicit CTextItem(const Head& head) {
        Category = head.Category;
        CaptureTime = head.CaptureTime;
        Length = head.Count;
    }

    // The instant of the capture (milliseconds since 1970, UTC), which ages are reckoned by,
    // or kUnknownInstant until the database works it out from CaptureTime, the local time that
    // records store. A capture knows it exactly, whatever the zone does later.
    static constexpr int64_t kUnknownInstant = INT64_MIN;
    int64_t Instant = kUnknownInstant;
    // The hash of Text (HashText), or 0 while not worked out yet; set by the database.
    uint32_t TextHash = 0;
    // The entry's identity in the operations on the lists (ListOperation): unlike Id, it stays
    // while the entry moves or its text changes. Set by the database.
    uint32_t Key = 0;
    StoredText Text;
};

// A hash of a text's units (32-bit FNV-1a), never 0, so that 0 can mean "not worked out".
uint32_t HashText(std::u16string_view text);

}  // namespace snipora
