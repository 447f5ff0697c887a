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

    std::pmr::u16string Text;
};

}  // namespace snipora
