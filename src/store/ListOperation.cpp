#include "store/ListOperation.h"

#include <array>
#include <cstring>

#include "store/RecordBytes.h"

namespace snipora {
namespace {

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

// MoveWithin keeps its HasTime in the place's top bit.
constexpr uint32_t kTimeFlag = 0x80000000u;

void PutText(std::string& out, std::u16string_view text) {
    out.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

// A text as records and the data file keep it: it ends at a zero unit.
std::u16string TextOf(const char* bytes, size_t size) {
    std::u16string text(size / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), bytes, text.size() * sizeof(char16_t));
    text.resize(std::min(text.size(), text.find(u'\0')));
    return text;
}

void PutFramed(std::string& out, uint32_t kind, uint32_t a, uint32_t b, uint64_t t,
               const std::string& payload) {
    const size_t start = out.size();
    PutBytes(out, kind);
    PutBytes(out, a);
    PutBytes(out, b);
    PutBytes(out, t);
    PutBytes(out, static_cast<uint32_t>(payload.size()));
    PutBytes(out, Crc32(payload.data(), payload.size(), Crc32(out.data() + start, 24)));
    out += payload;
}

uint64_t Bits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double Double(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Fills `op` from a record's fields and payload; false if they make no operation.
bool Decode(uint32_t kind, uint32_t a, uint32_t b, uint64_t t, const std::string& payload,
            ListOperation& op) {
    op = ListOperation();
    op.What = static_cast<ListOperation::Kind>(kind);
    const bool none = payload.empty();
    switch (kind) {
        case ListOperation::Add:
            op.Category = static_cast<int32_t>(a);
            op.Time = Double(t);
            op.Text = TextOf(payload.data(), payload.size());
            return payload.size() % 2 == 0;
        case ListOperation::Remove:
            op.Key = a;
            return none;
        case ListOperation::MoveToList:
            op.Key = a;
            op.Category = static_cast<int32_t>(b);
            return none;
        case ListOperation::MoveWithin:
            op.Key = a;
            op.Place = b & ~kTimeFlag;
            op.HasTime = (b & kTimeFlag) != 0;
            op.Time = Double(t);
            return none;
        case ListOperation::Replace:
            op.Key = a;
            op.Text = TextOf(payload.data(), payload.size());
            return payload.size() % 2 == 0;
        case ListOperation::Clear:
            op.Category = static_cast<int32_t>(a);
            return none;
        case ListOperation::Trim:
            op.Place = b;
            return none;
        case ListOperation::MoveKeysToList:
            op.Category = static_cast<int32_t>(b);
            [[fallthrough]];
        case ListOperation::RemoveKeys:
        case ListOperation::Forget:
            for (size_t at = 0; at + 4 <= payload.size(); at += 4) {
                op.Keys.push_back(GetBytes<uint32_t>(payload.data() + at));
            }
            return payload.size() % 4 == 0;
        case ListOperation::ReturnKeys:
            for (size_t at = 0; at + 12 <= payload.size(); at += 12) {
                op.Keys.push_back(GetBytes<uint32_t>(payload.data() + at));
                ListOperation::Entry entry;
                entry.At = GetBytes<uint32_t>(payload.data() + at + 4);
                entry.Category = GetBytes<int32_t>(payload.data() + at + 8);
                op.Entries.push_back(std::move(entry));
            }
            return payload.size() % 12 == 0;
        case ListOperation::Restore:
            for (size_t at = 0; at < payload.size();) {
                if (payload.size() - at < 20) {
                    return false;
                }
                ListOperation::Entry entry;
                entry.At = GetBytes<uint32_t>(payload.data() + at);
                entry.Category = GetBytes<int32_t>(payload.data() + at + 4);
                entry.Time = GetBytes<double>(payload.data() + at + 8);
                const uint64_t bytes = uint64_t{GetBytes<uint32_t>(payload.data() + at + 16)} * 2;
                at += 20;
                if (bytes > payload.size() - at) {
                    return false;
                }
                entry.Text = TextOf(payload.data() + at, static_cast<size_t>(bytes));
                at += static_cast<size_t>(bytes);
                op.Entries.push_back(std::move(entry));
            }
            return true;
        default:
            return false;
    }
}

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = kCrcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

bool ListOperation::Erases() const {
    switch (What) {
        case Remove:
        case Replace:
        case Clear:
        case Trim:
        case Forget:
        case RemoveKeys:
            return true;
        default:
            return false;
    }
}

void AppendRecord(std::string& out, const ListOperation& op) {
    std::string payload;
    uint32_t a = 0, b = 0;
    uint64_t t = 0;
    switch (op.What) {
        case ListOperation::Add:
            a = static_cast<uint32_t>(op.Category);
            t = Bits(op.Time);
            PutText(payload, op.Text);
            break;
        case ListOperation::Remove:
            a = op.Key;
            break;
        case ListOperation::MoveToList:
            a = op.Key;
            b = static_cast<uint32_t>(op.Category);
            break;
        case ListOperation::MoveWithin:
            a = op.Key;
            b = op.Place | (op.HasTime ? kTimeFlag : 0);
            t = op.HasTime ? Bits(op.Time) : 0;
            break;
        case ListOperation::Replace:
            a = op.Key;
            PutText(payload, op.Text);
            break;
        case ListOperation::Clear:
            a = static_cast<uint32_t>(op.Category);
            break;
        case ListOperation::Trim:
            b = op.Place;
            break;
        case ListOperation::MoveKeysToList:
        case ListOperation::RemoveKeys:
        case ListOperation::Forget:
            b = op.What == ListOperation::MoveKeysToList ? static_cast<uint32_t>(op.Category) : 0;
            for (const uint32_t key : op.Keys) {
                PutBytes(payload, key);
            }
            break;
        case ListOperation::ReturnKeys:
            for (size_t i = 0; i < op.Keys.size() && i < op.Entries.size(); ++i) {
                PutBytes(payload, op.Keys[i]);
                PutBytes(payload, op.Entries[i].At);
                PutBytes(payload, op.Entries[i].Category);
            }
            break;
        case ListOperation::Restore:
            for (const ListOperation::Entry& entry : op.Entries) {
                PutBytes(payload, entry.At);
                PutBytes(payload, entry.Category);
                PutBytes(payload, entry.Time);
                PutBytes(payload, static_cast<uint32_t>(entry.Text.size()));
                PutText(payload, entry.Text);
            }
            break;
    }
    PutFramed(out, op.What, a, b, t, payload);
}

void AppendFoldedRecord(std::string& out, uint64_t bytes, uint64_t hash) {
    PutFramed(out, kFoldedKind, static_cast<uint32_t>(hash), static_cast<uint32_t>(hash >> 32),
              bytes, {});
}

JournalRecord ReadRecord(IReadStream& in) {
    JournalRecord record;
    char head[kJournalRecordBytes];
    const size_t got = in.Read(head, sizeof head);
    record.Bytes = got;
    if (got == 0) {
        return record;
    }
    if (got < sizeof head) {
        record.Result = JournalRecord::Cut;
        return record;
    }
    const auto size = GetBytes<uint32_t>(head + 20);
    if (size > in.Remaining()) {
        record.Result = JournalRecord::Cut;
        return record;
    }
    std::string payload(size, '\0');
    const size_t read = in.Read(payload.data(), size);
    record.Bytes += read;
    if (read != size) {
        // A stream that decodes its file can end before Remaining said.
        record.Result = JournalRecord::Cut;
        return record;
    }
    if (Crc32(payload.data(), size, Crc32(head, 24)) != GetBytes<uint32_t>(head + 24)) {
        record.Result = JournalRecord::BadChecksum;
        return record;
    }
    const auto kind = GetBytes<uint32_t>(head);
    const auto a = GetBytes<uint32_t>(head + 4), b = GetBytes<uint32_t>(head + 8);
    const auto t = GetBytes<uint64_t>(head + 12);
    if (kind == kFoldedKind) {
        record.Folded = true;
        record.FoldedHash = uint64_t{b} << 32 | a;
        record.FoldedBytes = t;
        record.Result = size == 0 ? JournalRecord::Read : JournalRecord::Nonsense;
        return record;
    }
    record.Result =
        Decode(kind, a, b, t, payload, record.Op) ? JournalRecord::Read : JournalRecord::Nonsense;
    return record;
}

}  // namespace snipora
