#pragma once

#include <memory_resource>
#include <string>

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
    // Takes category and capture time from a record's fixed part and returns its unit count.
    uint32_t TakeHead(const char* head);
    // Starts a record's text of `count` units, which AddUnits then gives in one piece or, with
    // `inPieces`, in several.
    void StartText(uint32_t count, bool inPieces);
    // Adds the next units of the text. False once the text has stopped at a zero unit: the
    // units after it are not kept.
    bool AddUnits(const char16_t* units, size_t count);

    std::pmr::u16string Text;
};

}  // namespace snipora
