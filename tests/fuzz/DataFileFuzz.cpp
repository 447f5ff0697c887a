// Feeds arbitrary bytes to the data file reader. Whatever the bytes, the reader must not crash,
// over-read or over-allocate, and what it loads must save and load again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/DataBase.h"
#include "support/FakeClipboard.h"
#include "support/MemoryStreams.h"

using namespace snipora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::FakeClipboard clipboard;
    CDataBase db(clipboard, PlatformFileSystem());
    test::MemoryReadStream in(std::string(reinterpret_cast<const char*>(data), size));
    db.LoadRecords(in);

    test::MemoryWriteStream out;
    for (auto it = db.Items().rbegin(); it != db.Items().rend(); ++it) {
        (*it)->SaveToStream(out);
    }
    CDataBase again(clipboard, PlatformFileSystem());
    test::MemoryReadStream back(out.bytes);
    if (!again.LoadRecords(back) || again.Items().size() != db.Items().size()) {
        std::abort();
    }
    auto a = db.Items().begin();
    for (const auto& b : again.Items()) {
        if ((*a)->Text != b->Text || (*a)->Category != b->Category ||
            std::memcmp(&(*a)->CaptureTime, &b->CaptureTime, sizeof(double)) != 0) {
            std::abort();
        }
        ++a;
    }
    return 0;
}
