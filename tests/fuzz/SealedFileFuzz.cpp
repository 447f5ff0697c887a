// Feeds the sealed file reader a file sealed from the fuzzer's bytes and then changed where the
// fuzzer says, and the fuzzer's bytes as a file of their own. Whatever the bytes, the reader must
// not crash, over-read or over-allocate, and what it gives must be the plain bytes of whole
// records, in order: never a changed byte.
//
// Input: a changes count (1), then that many changes of 4 bytes each (position 2, xor mask 1,
// 0 to cut the file there instead), then the plain bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/SealedFiles.h"
#include "support/FakeCipher.h"
#include "support/MemoryFileSystem.h"

using namespace snipora;

namespace {

std::string ReadAll(IFileSystem& files, const char* name, std::string* fault) {
    std::string plain;
    try {
        auto file = files.OpenForReading(FilePath(std::string(name)));
        char chunk[512];
        while (const size_t n = file->Read(chunk, sizeof chunk)) {
            plain.append(chunk, n);
        }
        *fault = file->Fault();
    } catch (const LockedFileError&) {
        *fault = "locked";
    }
    return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t changes = data[0] % 8;
    if (size < 1 + 4 * changes) {
        return 0;
    }
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string plain(bytes + 1 + 4 * changes, size - 1 - 4 * changes);
    test::MemoryFileSystem disk;
    test::FakeKeyVault vault;
    SealingFileSystem files(disk, vault, 16);
    files.SetSealing(true);
    {
        auto file = files.CreateReplacement(FilePath(std::string("sealed")));
        file->Write(plain.data(), plain.size());
        file->Commit();
    }
    std::string& sealed = disk.files["sealed"];
    const std::string original = sealed;
    for (size_t i = 0; i < changes; ++i) {
        const uint8_t* change = data + 1 + 4 * i;
        const size_t at = (size_t{change[0]} | size_t{change[1]} << 8) % (sealed.size() + 1);
        if (change[2] == 0) {
            sealed.resize(at);
        } else if (at < sealed.size()) {
            sealed[at] = static_cast<char>(sealed[at] ^ change[2]);
        }
    }
    const bool changed = sealed != original;
    std::string fault;
    const std::string back = ReadAll(files, "sealed", &fault);
    // A prefix of whole records of 16 bytes, or all of it; a changed file is never whole. A file
    // whose magic lost three bytes or more is a plain file, read as it is.
    if (!files.IsSealed(FilePath(std::string("sealed")))) {
        return 0;
    }
    if (plain.compare(0, back.size(), back) != 0 ||
        (back.size() % 16 != 0 && back.size() != plain.size()) || (changed && fault.empty()) ||
        (!changed && (!fault.empty() || back != plain))) {
        std::abort();
    }
    disk.files["raw"] = std::string(bytes, size);
    ReadAll(files, "raw", &fault);
    return 0;
}
