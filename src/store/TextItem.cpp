#include "store/TextItem.h"

#include <bit>
#include <cstring>

#include "common/OleDate.h"
#include "common/TextScan.h"

namespace snipora {

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");
CTextItem::CTextItem() : CTextItem(CurrentOleDate()) {}

uint32_t HashText(std::u16string_view text) {
    uint32_t hash = 2166136261u;
    for (const char16_t unit : text) {
        hash = (hash ^ (unit & 0xFFu)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    return hash != 0 ? hash : 1;
}

CTextItem::CTextItem(double captureTime) {
    CaptureTime = captureTime;
}

bool CTextItem::ReadFromClipboard(IClipboard& clipboard, WindowHandle window) {
    if (!clipboard.HasText()) {
        return false;
    }
    if (clipboard.ReadText(window, Text) == ClipboardRead::OpenFailed) {
        return false;
    }
    CaptureTime = CurrentOleDate();
    Length = static_cast<uint32_t>(Text.size());
    return true;
}

bool CTextItem::WriteToClipboard(IClipboard& clipboard, WindowHandle window) {
    return clipboard.WriteText(window, Text);
}

// Record layout, little-endian: category (4), capture time (8), unit count n (4), n UTF-16 units.
void CTextItem::SaveToStream(IWriteStream& stream) const {
    // The fixed part in one piece: a file of many notes is mostly fixed parts.
    char head[kHeadSize];
    WriteHead({Category, CaptureTime, static_cast<uint32_t>(Text.size())}, head);
    stream.Write(head, sizeof head);
    stream.Write(Text.data(), Text.size() * sizeof(char16_t));
}

bool CTextItem::LoadFromStream(IReadStream& stream) {
    Length = 0;
    Text = std::u16string_view();
    char head[kHeadSize];
    const size_t got = stream.Read(head, sizeof head);
    if (got < sizeof head) {
        // What there is of the fixed part still counts.
        if (got >= 4) {
            std::memcpy(&Category, head, 4);
        }
        if (got >= 12) {
            std::memcpy(&CaptureTime, head + 4, 8);
        }
        return false;
    }
    const Head fixed = ReadHead(head);
    Category = fixed.Category;
    CaptureTime = fixed.CaptureTime;
    const uint32_t count = fixed.Count;
    // A count that runs past the end of the data marks a damaged record: nothing is allocated
    // for more than the stream still holds.
    const uint64_t bytes = uint64_t{count} * sizeof(char16_t);
    if (bytes > stream.Remaining()) {
        return false;
    }
    Length = count;
    if (count == 0) {
        return true;
    }
    char16_t* units = Text.Allocate(count);
    if (stream.Read(units, bytes) != bytes) {
        Text = std::u16string_view();
        return false;
    }
    Text.Truncate(FindZeroUnit(units, count));
    return true;
}

}  // namespace snipora
