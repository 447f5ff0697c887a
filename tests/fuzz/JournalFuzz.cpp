// Feeds arbitrary bytes to the journal reader, replayed onto three loaded items. The first byte
// chooses whether a whole header for those items comes first, so that the records are reached
// without guessing the header, and whether each record's checksum is then made right, so that a
// mutated record reaches the replay instead of failing its checksum. Whatever the bytes, the
// replay must not crash or over-read, and must leave a list that keeps its own rules.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/DataBase.h"
#include "store/Journal.h"
#include "support/FakeClipboard.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"

using namespace snipora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    test::FakeClipboard clipboard;
    CDataBase db(clipboard, PlatformFileSystem());
    const std::string file = test::Record(0, 1.0, u"one") + test::Record(1, 2.0, u"two") +
                             test::Record(0, 3.0, u"three");
    test::MemoryReadStream base(file);
    db.LoadRecords(base);
    StreamHash hash;
    hash.Add(file.data(), file.size());
    const FileIdentity expected = hash.Identity();

    std::string bytes = (data[0] & 1) != 0 ? JournalHeader(expected) : std::string();
    bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 2) != 0) {
        // A record: kind, two values, time, payload size (24 bytes), checksum (4), payload.
        constexpr size_t kHeader = 28, kFixed = 24, kRecord = 28;
        for (size_t at = kHeader; at + kRecord <= bytes.size();) {
            uint32_t count;
            std::memcpy(&count, bytes.data() + at + 20, sizeof count);
            const size_t text = std::min<uint64_t>(count, bytes.size() - at - kRecord);
            const uint32_t crc =
                Crc32(bytes.data() + at + kRecord, text, Crc32(bytes.data() + at, kFixed));
            std::memcpy(bytes.data() + at + kFixed, &crc, sizeof crc);
            at += kRecord + text;
        }
    }
    test::MemoryReadStream in(bytes);
    const JournalReplay replay = ReplayJournal(in, db, expected);

    size_t history = 0;
    for (const auto& item : db.Items()) {
        history += item->Category == kHistoryCategory;
        if (std::u16string_view(item->Text).find(u'\0') != std::u16string_view::npos) {
            std::abort();
        }
    }
    if (history != db.HistoryCount() || (!replay.Belongs && db.Items().size() != 3) ||
        (replay.Problem.empty() && replay.Dropped != 0)) {
        std::abort();
    }
    return 0;
}
