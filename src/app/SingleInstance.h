#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace snipora {

// What the system tells of the data folder, opened as itself (not the folder a link, a junction
// or a SUBST drive points through, but where it leads).
struct FolderFacts {
    // The volume's serial number and the folder's file id; the id is zero where the file system
    // has none. A 64-bit id fills the first 8 bytes, least significant first.
    uint64_t volumeSerial = 0;
    std::array<uint8_t, 16> fileId{};
    // The folder's final path, as the system gives it ("\\?\C:\Data", "\\?\UNC\host\share"), or
    // empty when it could not say.
    std::u16string finalPath;
    // The path as the program spells it: the last resort, when the folder cannot be opened.
    std::u16string spelled;
};

// The folder's identity, the same for every way of reaching it: its volume and file id where it
// has one; else its final path; else its spelling. A path loses the "\\?\" prefix and its
// trailing separators, takes '\' for '/', and is compared without regard to the case of A to Z.
// "id:" starts the first kind, "path:" the others.
std::u16string FolderIdentity(const FolderFacts& facts);

// A 64-bit digest of an identity (FNV-1a over its units), for names that may hold no '\' and
// have a length limit.
uint64_t IdentityDigest(std::u16string_view identity);

// The name of the mutex that the copy running on the folder holds, in the session's namespace.
std::u16string InstanceMutexName(uint64_t digest);

// The mark on the running copy's window, in two properties of 32 bits (a window handle's size
// on 32-bit Windows): 31 bits of the digest in each, the top bit set, so that neither half is 0,
// which is what a window without the mark reads.
std::array<uint32_t, 2> WindowTagOf(uint64_t digest);

// The outcome of creating that mutex.
enum class MutexOutcome : uint8_t {
    Created,        // this copy is the only one
    AlreadyExists,  // another copy of the same user's holds it
    AccessDenied,   // it exists, but its owner runs with more rights (as administrator)
    Failed,         // any other error: no copy can be told of
};
// The outcome from CreateMutex's result: whether it gave a handle, and the last error.
MutexOutcome MutexOutcomeOf(bool gotHandle, uint32_t lastError);
// A mutex that exists, openable or not, means a copy is running on the folder.
inline bool AnotherCopyRuns(MutexOutcome outcome) {
    return outcome == MutexOutcome::AlreadyExists || outcome == MutexOutcome::AccessDenied;
}

}  // namespace snipora
