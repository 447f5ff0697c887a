#include "app/SingleInstance.h"

#include <algorithm>

namespace snipora {
namespace {

constexpr uint32_t kErrorAccessDenied = 5;     // ERROR_ACCESS_DENIED
constexpr uint32_t kErrorAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

constexpr char16_t kHex[] = u"0123456789abcdef";

void AppendHex(std::u16string& text, uint64_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += kHex[(value >> shift) & 0xF];
    }
}

// The path's own part, folded: "\\?\UNC\host\share" is "\\host\share", "\\?\C:\x\" is "C:\x".
std::u16string FoldedPath(std::u16string_view path) {
    std::u16string folded(path);
    std::replace(folded.begin(), folded.end(), u'/', u'\\');
    if (folded.starts_with(u"\\\\?\\UNC\\")) {
        folded.erase(2, 6);
    } else if (folded.starts_with(u"\\\\?\\")) {
        folded.erase(0, 4);
    }
    while (!folded.empty() && folded.back() == u'\\') {
        folded.pop_back();
    }
    for (char16_t& unit : folded) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        }
    }
    return folded;
}

}  // namespace

std::u16string FolderIdentity(const FolderFacts& facts) {
    const bool hasId = std::any_of(facts.fileId.begin(), facts.fileId.end(),
                                   [](uint8_t byte) { return byte != 0; });
    if (hasId) {
        std::u16string identity = u"id:";
        AppendHex(identity, facts.volumeSerial, 16);
        identity += u':';
        // Most significant byte first, as a 128-bit number reads.
        for (auto byte = facts.fileId.rbegin(); byte != facts.fileId.rend(); ++byte) {
            AppendHex(identity, *byte, 2);
        }
        return identity;
    }
    return u"path:" + FoldedPath(facts.finalPath.empty() ? facts.spelled : facts.finalPath);
}

uint64_t IdentityDigest(std::u16string_view identity) {
    uint64_t hash = 14695981039346656037ULL;  // the 64-bit offset basis
    for (const char16_t unit : identity) {
        hash = (hash ^ unit) * 1099511628211ULL;
    }
    return hash;
}

std::u16string InstanceMutexName(uint64_t digest) {
    std::u16string name = u"Local\\Snipora.";
    AppendHex(name, digest, 16);
    return name;
}

std::array<uint32_t, 2> WindowTagOf(uint64_t digest) {
    constexpr uint32_t kMark = 0x80000000u, kBits = 0x7FFFFFFFu;
    return {static_cast<uint32_t>(digest & kBits) | kMark,
            static_cast<uint32_t>((digest >> 31) & kBits) | kMark};
}

MutexOutcome MutexOutcomeOf(bool gotHandle, uint32_t lastError) {
    if (gotHandle) {
        return lastError == kErrorAlreadyExists ? MutexOutcome::AlreadyExists
                                                : MutexOutcome::Created;
    }
    return lastError == kErrorAccessDenied ? MutexOutcome::AccessDenied : MutexOutcome::Failed;
}

}  // namespace snipora
