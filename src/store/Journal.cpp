#include "store/Journal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/Error.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "store/RecordBytes.h"
#include "store/SealedFiles.h"

namespace snipora {
namespace {

// The header: magic (8), the data file's size (8) and hash (8), the checksum of those 24 (4).
constexpr char kMagic[8] = {'S', 'N', 'P', 'J', 'R', 'N', 'L', '2'};
constexpr size_t kHeaderBytes = 28;

// The previous version's journal: magic (8), the data file's size (8), item count (8), newest
// item's checksum (4), the checksum of those 28 (4); records of kind (4), place or category (4),
// capture time (8), unit count (4), checksum (4) and text, adding an item first or removing the
// item at a place of the base's items (oldest first) followed by those added since.
constexpr char kLegacyMagic[8] = {'S', 'N', 'P', 'J', 'R', 'N', 'L', '1'};
constexpr size_t kLegacyHeaderBytes = 32;
constexpr size_t kLegacyRecordBytes = 24;

std::string ReadAll(IReadStream& in) {
    std::string bytes(static_cast<size_t>(in.Remaining()), '\0');
    bytes.resize(in.Read(bytes.data(), bytes.size()));
    return bytes;
}

class StringStream final : public IReadStream {
public:
    explicit StringStream(std::string_view bytes) : bytes_(bytes) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t n = std::min(count, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }
    uint64_t Remaining() const override { return bytes_.size() - at_; }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

// The operations of the journal after its header, up to the first bad record, with the data
// files it can be replayed onto, each with the number of operations before it.
struct Parsed {
    std::vector<ListOperation> Ops;
    std::vector<std::pair<FileIdentity, size_t>> Points;
    uint64_t Dropped = 0;
    std::string Problem;
};

Parsed ParseRecords(IReadStream& in, const FileIdentity& base) {
    Parsed parsed;
    parsed.Points.emplace_back(base, 0);
    for (;;) {
        JournalRecord record = ReadRecord(in);
        if (record.Result == JournalRecord::End) {
            break;
        }
        if (record.Result != JournalRecord::Read) {
            parsed.Problem = record.Result == JournalRecord::Cut ? "the last record is cut short"
                             : record.Result == JournalRecord::BadChecksum
                                 ? "a record fails its checksum"
                                 : "a record makes no sense";
            parsed.Dropped = record.Bytes + in.Remaining();
            break;
        }
        if (record.Folded) {
            parsed.Points.emplace_back(FileIdentity{record.FoldedBytes, record.FoldedHash},
                                       parsed.Ops.size());
        } else {
            parsed.Ops.push_back(std::move(record.Op));
        }
    }
    return parsed;
}

// The previous version's records, as the operations they stand for.
Parsed ParseLegacyRecords(IReadStream& in) {
    Parsed parsed;
    std::u16string text;
    for (;;) {
        char head[kLegacyRecordBytes];
        const size_t got = in.Read(head, sizeof head);
        if (got == 0) {
            break;
        }
        const uint64_t textBytes = uint64_t{GetBytes<uint32_t>(head + 16)} * 2;
        if (got < sizeof head || textBytes > in.Remaining()) {
            parsed.Problem = "the last record is cut short";
            parsed.Dropped = got + (got < sizeof head ? 0 : in.Remaining());
            break;
        }
        text.resize(static_cast<size_t>(textBytes / 2));
        in.Read(text.data(), static_cast<size_t>(textBytes));
        const auto kind = GetBytes<uint32_t>(head);
        const auto value = GetBytes<uint32_t>(head + 4);
        if (Crc32(text.data(), static_cast<size_t>(textBytes), Crc32(head, 20)) !=
                GetBytes<uint32_t>(head + 20) ||
            (kind != 1 && kind != 2) || (kind == 2 && textBytes != 0)) {
            parsed.Problem =
                kind == 1 || kind == 2 ? "a record fails its checksum" : "a record makes no sense";
            parsed.Dropped = kLegacyRecordBytes + textBytes + in.Remaining();
            break;
        }
        ListOperation op;
        if (kind == 1) {
            op.What = ListOperation::Add;
            op.Category = static_cast<int32_t>(value);
            op.Time = GetBytes<double>(head + 8);
            op.Text = text.substr(0, text.find(u'\0'));
        } else {
            op.What = ListOperation::Remove;
            op.Key = value + 1;  // places from 0, keys from 1, both in the order items came
        }
        parsed.Ops.push_back(std::move(op));
    }
    return parsed;
}

// Whether the journal `bytes` would change the lists of the data file `target` (the lists
// `lists`) if replayed onto it.
bool ReplaysChanges(std::string_view bytes, const CDataBase& lists, const FileIdentity& target);

}  // namespace

std::string JournalHeader(const FileIdentity& base) {
    std::string out(kMagic, sizeof kMagic);
    PutBytes(out, base.Bytes);
    PutBytes(out, base.Hash);
    PutBytes(out, Crc32(out.data(), out.size()));
    return out;
}

std::string LegacyJournalHeader(const CDataBase& lists, uint64_t fileBytes) {
    uint32_t newest = 0;
    if (!lists.Items().empty()) {
        const CTextItem& item = *lists.Items().front();
        char head[12];
        std::memcpy(head, &item.Category, 4);
        std::memcpy(head + 4, &item.CaptureTime, 8);
        newest = Crc32(item.Text.data(), item.Text.size() * sizeof(char16_t), Crc32(head, 12));
    }
    std::string out(kLegacyMagic, sizeof kLegacyMagic);
    PutBytes(out, fileBytes);
    PutBytes(out, static_cast<uint64_t>(lists.Items().size()));
    PutBytes(out, newest);
    PutBytes(out, Crc32(out.data(), out.size()));
    return out;
}

JournalReplay ReplayJournal(IReadStream& in, CDataBase& lists, const FileIdentity& data,
                            std::string* replayed) {
    JournalReplay result;
    // A journal that is not replayed drops all it holds.
    result.Dropped = in.Remaining();
    char header[kLegacyHeaderBytes];
    const bool legacy = in.Remaining() >= kLegacyHeaderBytes &&
                        in.Read(header, sizeof kMagic) == sizeof kMagic &&
                        std::memcmp(header, kLegacyMagic, sizeof kMagic) == 0;
    Parsed parsed;
    if (legacy) {
        in.Read(header + sizeof kMagic, kLegacyHeaderBytes - sizeof kMagic);
        if (std::string_view(header, kLegacyHeaderBytes) !=
            LegacyJournalHeader(lists, data.Bytes)) {
            result.Problem = GetBytes<uint32_t>(header + 28) != Crc32(header, 28)
                                 ? "its header is damaged"
                                 : "it belongs to another version of the data file";
            return result;
        }
        parsed = ParseLegacyRecords(in);
        parsed.Points.emplace_back(data, 0);
    } else {
        const size_t got =
            std::memcmp(header, kMagic, sizeof kMagic) == 0 &&
                    in.Remaining() >= kHeaderBytes - sizeof kMagic
                ? sizeof kMagic + in.Read(header + sizeof kMagic, kHeaderBytes - sizeof kMagic)
                : 0;
        if (got != kHeaderBytes || GetBytes<uint32_t>(header + 24) != Crc32(header, 24)) {
            result.Problem = "its header is damaged";
            return result;
        }
        parsed =
            ParseRecords(in, {GetBytes<uint64_t>(header + 8), GetBytes<uint64_t>(header + 16)});
    }
    // The last point that is this data file: after it come the operations not in it.
    const auto point = std::find_if(parsed.Points.rbegin(), parsed.Points.rend(),
                                    [&](const auto& p) { return p.first == data; });
    if (point == parsed.Points.rend()) {
        result.Problem = "it belongs to another version of the data file";
        return result;
    }
    result.Belongs = true;
    result.Problem = parsed.Problem;
    result.Dropped = parsed.Dropped;
    if (replayed != nullptr) {
        *replayed = JournalHeader(data);
    }
    for (size_t i = point->second; i < parsed.Ops.size(); ++i) {
        if (!lists.Apply(parsed.Ops[i])) {
            result.Problem = "a record makes no sense";
            break;
        }
        ++result.Records;
        if (replayed != nullptr) {
            AppendRecord(*replayed, parsed.Ops[i]);
        }
    }
    return result;
}

namespace {

bool ReplaysChanges(std::string_view bytes, const CDataBase& lists, const FileIdentity& target) {
    if (bytes.substr(0, sizeof kLegacyMagic) ==
        std::string_view(kLegacyMagic, sizeof kLegacyMagic)) {
        return bytes.size() > kLegacyHeaderBytes &&
               bytes.substr(0, kLegacyHeaderBytes) == LegacyJournalHeader(lists, target.Bytes);
    }
    if (bytes.size() < kHeaderBytes ||
        bytes.substr(0, sizeof kMagic) != std::string_view(kMagic, sizeof kMagic)) {
        return false;
    }
    StringStream in(bytes.substr(kHeaderBytes));
    const Parsed parsed = ParseRecords(
        in, {GetBytes<uint64_t>(bytes.data() + 8), GetBytes<uint64_t>(bytes.data() + 16)});
    const auto point = std::find_if(parsed.Points.rbegin(), parsed.Points.rend(),
                                    [&](const auto& p) { return p.first == target; });
    return point != parsed.Points.rend() && point->second < parsed.Ops.size();
}

}  // namespace

CJournal::~CJournal() {
    if (lists_ != nullptr) {
        lists_->SetLog(nullptr);
    }
}

void CJournal::CheckInvariants() const {
#ifdef SNIPORA_CHECK_INVARIANTS
    if ((needsFold_ && !pending_.empty()) || (file_ && bytes_ < kHeaderBytes) ||
        (!file_ && bytes_ != 0 && !needsFold_)) {
        std::fprintf(stderr, "CJournal invariant broken\n");
        std::abort();
    }
#endif
}

void CJournal::Start(CDataBase& lists, const FilePath& data, const FileIdentity& base) {
    if (lists_ != nullptr && lists_ != &lists) {
        lists_->SetLog(nullptr);
    }
    lists_ = &lists;
    lists.SetLog(this);
    file_.reset();
    data_ = data;
    base_ = base;
    bytes_ = 0;
    pending_.clear();
    replayed_.clear();
    needsFold_ = false;
    CheckInvariants();
}

bool CJournal::Load(CDataBase& lists, const FilePath& data) {
    lists.SetLog(nullptr);
    FileIdentity identity;
    lists.LoadFromFile(data, &identity);
    const FilePath path = PathFor(data);
    if (!files_.FileExists(path)) {
        Start(lists, data, identity);
        return false;
    }
    std::string replayed;
    try {
        auto in = files_.OpenForReading(path);
        const JournalReplay replay = ReplayJournal(*in, lists, identity, &replayed);
        if (!replay.Problem.empty()) {
            LogError("[Journal] " + PathToUtf8(path) + ": " + std::to_string(replay.Records) +
                     " records replayed, " + std::to_string(replay.Dropped) +
                     " bytes dropped: " + replay.Problem);
        }
        if (!replay.Belongs) {
            replayed.clear();
        }
    } catch (const LockedFileError& e) {
        // Kept aside before the fold removes it; one that cannot be is not removed either.
        const FilePath kept = KeepLockedCopy(files_, path);
        LogError(std::string("[Journal] ") + e.what() + " Kept as " + PathToUtf8(kept));
    } catch (const AppError& e) {
        // What the data file holds is loaded; the journal stays for the fold to remove.
        LogError(std::string("[Journal] ") + e.what());
    }
    // Nothing that a replayed Remove took may come back.
    lists.ForgetUndo();
    Start(lists, data, identity);
    replayed_ = std::move(replayed);
    needsFold_ = true;
    return true;
}

void CJournal::Recorded(const ListOperation& op) {
    if (needsFold_) {
        return;
    }
    AppendRecord(pending_, op);
    if (pending_.size() > Limit()) {
        // Only a fold can take so much: it writes the lists as they are.
        needsFold_ = true;
        pending_.clear();
    }
    CheckInvariants();
}

bool CJournal::Append(const CDataBase& lists, const FilePath& data) {
    if (needsFold_ || lists_ != &lists || !(data == data_)) {
        return false;
    }
    if (pending_.empty()) {
        return true;
    }
    if (!file_) {
        pending_.insert(0, JournalHeader(base_));
    }
    if (bytes_ + pending_.size() > Limit()) {
        if (!file_) {
            pending_.erase(0, kHeaderBytes);
        }
        return false;
    }
    try {
        if (!file_) {
            file_ = files_.CreateAppendable(PathFor(data_));
        }
        file_->Write(pending_.data(), pending_.size());
        file_->Flush();
    } catch (...) {
        // What reached the file may end in a torn record: nothing may follow it.
        file_.reset();
        needsFold_ = true;
        pending_.clear();
        throw;
    }
    bytes_ += pending_.size();
    pending_.clear();
    CheckInvariants();
    return true;
}

void CJournal::MarkFolded(const CDataBase& lists, const FilePath& data,
                          const FileIdentity& target) {
    const FilePath path = PathFor(data);
    const bool ours = data == data_;
    if (ours && file_) {
        std::string record;
        AppendFoldedRecord(record, target.Bytes, target.Hash);
        try {
            file_->Write(record.data(), record.size());
            file_->Flush();
            bytes_ += record.size();
            return;
        } catch (const AppError& e) {
            LogError(std::string("[Journal] ") + e.what());
            file_.reset();
        }
    }
    if (!files_.FileExists(path)) {
        return;
    }
    // The journal is written anew in one step: what replays onto the data file there now, then
    // the fold; or, when it holds nothing for that file, an empty journal of the new one.
    std::string bytes;
    if (ours && bytes_ > 0) {
        bytes = ReadAll(*files_.OpenForReading(path));
        bytes.resize(std::min<size_t>(bytes.size(), static_cast<size_t>(bytes_)));
    } else if (ours) {
        bytes = replayed_;
    }
    if (bytes.empty()) {
        bytes = JournalHeader(target);
    } else {
        AppendFoldedRecord(bytes, target.Bytes, target.Hash);
    }
    try {
        auto file = files_.CreateReplacement(path);
        file->Write(bytes.data(), bytes.size());
        file->Commit();
        if (ours) {
            bytes_ = bytes.size();
        }
    } catch (const AppError& e) {
        // A journal that cannot be written stays as it is: the fold goes ahead only if it could
        // not be replayed onto the new data file.
        if (ReplaysChanges(ReadAll(*files_.OpenForReading(path)), lists, target)) {
            throw;
        }
        LogError(std::string("[Journal] ") + e.what());
    }
}

void CJournal::Remove(const FilePath& path) {
    try {
        files_.RemoveFile(path);
    } catch (const AppError& e) {
        // Held open by a program that lets it be written but not deleted: emptied, it holds no
        // text and replays onto nothing.
        try {
            files_.CreateAppendable(path);
        } catch (const AppError&) {
            LogError(std::string("[Journal] ") + e.what());
        }
    }
}

void CJournal::Fold(CDataBase& lists, const FilePath& data) {
    needsFold_ = true;
    pending_.clear();
    auto file = files_.CreateReplacement(data);
    HashingWriteStream out(*file);
    lists.WriteRecords(out);
    const FileIdentity target = out.Hash().Identity();
    MarkFolded(lists, data, target);
    file->Commit();
    file_.reset();
    if (!data_.native().empty() && !(data_ == data)) {
        Remove(PathFor(data_));
    }
    Remove(PathFor(data));
    // A journal's replacement that a stop left behind.
    if (const FilePath left = PathFor(data) + ".tmp"; files_.FileExists(left)) {
        Remove(left);
    }
    lists.Rekey();
    Start(lists, data, target);
}

}  // namespace snipora
