#include "store/Journal.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/Error.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "store/DataBase.h"

namespace snipora {
namespace {

// The header: magic (8), the base's file size (8), item count (8), newest item's checksum (4),
// and the checksum of those 28 bytes (4).
constexpr char kMagic[8] = {'S', 'N', 'P', 'J', 'R', 'N', 'L', '1'};
constexpr size_t kHeaderBytes = 32;
// A record's fixed part: kind (4), place or category (4), capture time (8), unit count (4), and
// the checksum of those 20 bytes and the text that follows (4).
constexpr size_t kRecordBytes = 24;
constexpr uint32_t kAdd = 1;
constexpr uint32_t kRemove = 2;

constexpr std::array<uint32_t, 256> kCrcTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}();

template <typename T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
T Get(const char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

void PutRecord(std::string& out, uint32_t kind, uint32_t value, double time,
               std::u16string_view text) {
    const size_t start = out.size();
    Put(out, kind);
    Put(out, value);
    Put(out, time);
    Put(out, static_cast<uint32_t>(text.size()));
    const size_t textBytes = text.size() * sizeof(char16_t);
    uint32_t crc = Crc32(out.data() + start, 20);
    crc = Crc32(text.data(), textBytes, crc);
    Put(out, crc);
    out.append(reinterpret_cast<const char*>(text.data()), textBytes);
}

uint32_t NewestChecksum(const CDataBase& lists) {
    if (lists.Items().empty()) {
        return 0;
    }
    const CTextItem& item = *lists.Items().front();
    char head[12];
    std::memcpy(head, &item.Category, 4);
    std::memcpy(head + 4, &item.CaptureTime, 8);
    return Crc32(item.Text.data(), item.Text.size() * sizeof(char16_t), Crc32(head, 12));
}

uint64_t FileBytes(IFileSystem& files, const FilePath& path) {
    return files.FileExists(path) ? files.OpenForReading(path)->Remaining() : 0;
}

struct Added {
    int32_t Category;
    double CaptureTime;
    std::u16string Text;
};

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = kCrcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

JournalBase BaseOf(const CDataBase& lists, uint64_t fileBytes) {
    return {fileBytes, lists.Items().size(), NewestChecksum(lists)};
}

std::string JournalHeader(const JournalBase& base) {
    std::string out(kMagic, sizeof kMagic);
    Put(out, base.FileBytes);
    Put(out, base.Items);
    Put(out, base.Newest);
    Put(out, Crc32(out.data(), out.size()));
    return out;
}

JournalReplay ReplayJournal(IReadStream& in, CDataBase& lists, const JournalBase& base) {
    JournalReplay result;
    char header[kHeaderBytes];
    if (in.Read(header, kHeaderBytes) != kHeaderBytes ||
        std::memcmp(header, kMagic, sizeof kMagic) != 0 ||
        Get<uint32_t>(header + 28) != Crc32(header, 28)) {
        result.Problem = "its header is damaged";
        result.Dropped = in.Remaining();
        return result;
    }
    if (JournalBase{Get<uint64_t>(header + 8), Get<uint64_t>(header + 16),
                    Get<uint32_t>(header + 24)} != base) {
        result.Problem = "it belongs to another version of the data file";
        result.Dropped = in.Remaining();
        return result;
    }
    result.Belongs = true;

    // The base's items by place, oldest first; then those the records add. An added item has
    // no Id until the end, when the survivors enter the list.
    struct Entry {
        uint32_t Id;     // a base item's Id, 0 for an added one
        uint32_t Added;  // an added item's index in `added`
        bool Alive;
    };
    std::vector<Entry> entries;
    entries.reserve(lists.Items().size());
    for (auto it = lists.Items().rbegin(); it != lists.Items().rend(); ++it) {
        entries.push_back({(*it)->Id, 0, true});
    }
    std::vector<Added> added;

    std::u16string text;
    for (;;) {
        char head[kRecordBytes];
        const size_t got = in.Read(head, kRecordBytes);
        if (got == 0) {
            break;
        }
        if (got < kRecordBytes) {
            result.Problem = "the last record is cut short";
            result.Dropped = got;
            break;
        }
        const auto kind = Get<uint32_t>(head);
        const auto value = Get<uint32_t>(head + 4);
        const auto time = Get<double>(head + 8);
        const auto count = Get<uint32_t>(head + 16);
        const uint64_t textBytes = uint64_t{count} * sizeof(char16_t);
        if (textBytes > in.Remaining()) {
            result.Problem = "the last record is cut short";
            result.Dropped = kRecordBytes + in.Remaining();
            break;
        }
        text.resize(count);
        in.Read(text.data(), static_cast<size_t>(textBytes));
        const uint32_t crc = Crc32(text.data(), static_cast<size_t>(textBytes), Crc32(head, 20));
        const bool known = value < entries.size() && entries[value].Alive;
        if (crc != Get<uint32_t>(head + 20) || (kind != kAdd && kind != kRemove) ||
            (kind == kRemove && (count != 0 || !known))) {
            result.Problem = crc != Get<uint32_t>(head + 20) ? "a record fails its checksum"
                                                             : "a record makes no sense";
            result.Dropped = kRecordBytes + textBytes + in.Remaining();
            break;
        }
        if (kind == kAdd) {
            // As in the data file, a text ends at a zero unit.
            text.resize(std::min(text.size(), text.find(u'\0')));
            entries.push_back({0, static_cast<uint32_t>(added.size()), true});
            added.push_back({static_cast<int32_t>(value), time, text});
        } else {
            entries[value].Alive = false;
        }
        ++result.Records;
    }

    std::vector<uint32_t> gone;
    for (const Entry& entry : entries) {
        if (entry.Id != 0 && !entry.Alive) {
            gone.push_back(entry.Id);
        }
    }
    lists.DeleteItems(gone);
    for (const Entry& entry : entries) {
        if (entry.Id == 0 && entry.Alive) {
            const Added& item = added[entry.Added];
            lists.AddItem(item.Category, item.CaptureTime, item.Text);
        }
    }
    return result;
}

bool CJournal::Load(CDataBase& lists, const FilePath& data) {
    lists.LoadFromFile(data);
    const FilePath path = PathFor(data);
    Reset(lists, data);
    if (!files_.FileExists(path)) {
        return false;
    }
    needsFold_ = true;
    try {
        auto in = files_.OpenForReading(path);
        const JournalReplay replay = ReplayJournal(*in, lists, base_);
        if (!replay.Problem.empty()) {
            LogError("[Journal] " + PathToUtf8(path) + ": " + std::to_string(replay.Records) +
                     " records replayed, " + std::to_string(replay.Dropped) +
                     " bytes dropped: " + replay.Problem);
        }
    } catch (const AppError& e) {
        // What the data file holds is loaded; the journal stays for the fold to remove.
        LogError(std::string("[Journal] ") + e.what());
    }
    return true;
}

void CJournal::Reset(const CDataBase& lists, const FilePath& data) {
    file_.reset();
    data_ = data;
    base_ = BaseOf(lists, FileBytes(files_, data));
    bytes_ = 0;
    known_.clear();
    known_.reserve(lists.Items().size());
    for (auto it = lists.Items().rbegin(); it != lists.Items().rend(); ++it) {
        known_.push_back((*it)->Id);
    }
    alive_.assign(known_.size(), true);
    needsFold_ = false;
}

bool CJournal::Append(const CDataBase& lists, const FilePath& data) {
    if (needsFold_ || !(data == data_)) {
        return false;
    }
    // New items lead the list; the rest must be known items, in the known order.
    const auto& items = lists.Items();
    const uint32_t newestKnown = known_.empty() ? 0 : known_.back();
    auto it = items.begin();
    std::vector<const CTextItem*> fresh;
    for (; it != items.end() && (*it)->Id > newestKnown; ++it) {
        fresh.push_back(&**it);
    }
    std::vector<uint32_t> removed;
    size_t place = known_.size();
    for (; it != items.end(); ++it) {
        const uint32_t id = (*it)->Id;
        while (place > 0 && known_[place - 1] > id) {
            if (alive_[--place]) {
                removed.push_back(static_cast<uint32_t>(place));
            }
        }
        if (place == 0 || known_[place - 1] != id || !alive_[place - 1]) {
            return false;  // an item that is neither new nor known: only a fold can place it
        }
        --place;
    }
    while (place > 0) {
        if (alive_[--place]) {
            removed.push_back(static_cast<uint32_t>(place));
        }
    }
    if (fresh.empty() && removed.empty()) {
        return true;
    }

    uint64_t recordBytes = removed.size() * kRecordBytes;
    for (const CTextItem* item : fresh) {
        recordBytes += kRecordBytes + item->Text.size() * sizeof(char16_t);
    }
    const uint64_t limit = std::max(kMinLimit, base_.FileBytes / 4);
    if ((file_ ? bytes_ : kHeaderBytes) + recordBytes > limit) {
        return false;
    }

    std::string records;
    if (!file_) {
        records = JournalHeader(base_);
    }
    records.reserve(records.size() + static_cast<size_t>(recordBytes));
    for (const uint32_t gone : removed) {
        PutRecord(records, kRemove, gone, 0.0, {});
    }
    for (auto item = fresh.rbegin(); item != fresh.rend(); ++item) {
        PutRecord(records, kAdd, static_cast<uint32_t>((*item)->Category), (*item)->CaptureTime,
                  (*item)->Text);
    }
    try {
        if (!file_) {
            file_ = files_.CreateAppendable(PathFor(data_));
        }
        file_->Write(records.data(), records.size());
        file_->Flush();
    } catch (...) {
        // What reached the file may end in a torn record: nothing may follow it.
        file_.reset();
        needsFold_ = true;
        throw;
    }
    bytes_ += records.size();
    for (const uint32_t gone : removed) {
        alive_[gone] = false;
    }
    for (auto item = fresh.rbegin(); item != fresh.rend(); ++item) {
        known_.push_back((*item)->Id);
        alive_.push_back(true);
    }
    return true;
}

void CJournal::Fold(CDataBase& lists, const FilePath& data) {
    file_.reset();
    needsFold_ = true;
    lists.SaveToFile(data);
    if (!data_.native().empty() && !(data_ == data)) {
        files_.RemoveFile(PathFor(data_));
    }
    files_.RemoveFile(PathFor(data));
    Reset(lists, data);
}

}  // namespace snipora
