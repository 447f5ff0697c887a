#pragma once

#include <cstring>
#include <memory_resource>
#include <string>
#include <string_view>

#include "store/BaseItem.h"

namespace snipora {

// A recorded text, kept as UTF-16. Never holds a zero code unit.
class CTextItem final : public CBaseItem {
public:
    // Stamped with the current local time.
    CTextItem();
    // Stamped with the given time; loading replaces it at once, so asking the clock is wasted.
    // The text's storage comes from `texts`.
    explicit CTextItem(double captureTime,
                       std::pmr::memory_resource* texts = std::pmr::get_default_resource());

    bool ReadFromClipboard(IClipboard& clipboard, WindowHandle window) override;
    bool WriteToClipboard(IClipboard& clipboard, WindowHandle window) override;
    void SaveToStream(IWriteStream& stream) const override;
    bool LoadFromStream(IReadStream& stream) override;

    // A record's fixed part: category (4), capture time (8), unit count (4).
    static constexpr size_t HeadSize = 16;
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

    // A loaded record whose text is `text`, the stored units up to the first zero unit; Length
    // keeps the stored count. Inline, as loading makes one for every record.
    CTextItem(const Head& head, std::u16string_view text, std::pmr::memory_resource* texts)
        : Text(text, texts) {
        Category = head.Category;
        CaptureTime = head.CaptureTime;
        Length = head.Count;
    }
    // Adds the next units of a text that comes in pieces. False once the text has stopped at a
    // zero unit: the units after it are not kept.
    bool AddUnits(const char16_t* units, size_t count);

    std::pmr::u16string Text;
};

}  // namespace snipora
