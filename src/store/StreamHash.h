#pragma once

#include <cstdint>
#include <cstring>

#include "store/Streams.h"

namespace snipora {

// What tells one version of the data file from another by its bytes alone: their number and a
// 64-bit hash of them. Files of equal bytes have equal identities, and hold equal lists.
struct FileIdentity {
    uint64_t Bytes = 0;
    uint64_t Hash = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A hash of a stream of bytes, taken as they pass, eight at a time: cheap next to reading them.
// Not a checksum against intent, only against chance.
class StreamHash {
public:
    void Add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        bytes_ += size;
        while (size > 0 && pending_ != 0) {
            word_ |= uint64_t{*bytes++} << (8 * pending_);
            --size;
            if (++pending_ == 8) {
                Mix(word_);
                word_ = 0;
                pending_ = 0;
            }
        }
        for (; size >= 8; size -= 8, bytes += 8) {
            uint64_t word;
            std::memcpy(&word, bytes, 8);
            Mix(word);
        }
        for (; size > 0; --size) {
            word_ |= uint64_t{*bytes++} << (8 * pending_++);
        }
    }
    FileIdentity Identity() const {
        uint64_t hash = hash_;
        if (pending_ != 0) {
            hash = (hash ^ word_) * kPrime;
        }
        hash ^= bytes_;
        hash ^= hash >> 31;
        hash *= kPrime;
        return {bytes_, hash ^ (hash >> 29)};
    }

private:
    static constexpr uint64_t kPrime = 0x9E3779B97F4A7C15u;
    void Mix(uint64_t word) { hash_ = ((hash_ ^ word) * kPrime) ^ (hash_ >> 32); }

    uint64_t hash_ = 0x243F6A8885A308D3u;
    uint64_t bytes_ = 0;
    uint64_t word_ = 0;  // the bytes of an unfinished word, lowest first
    unsigned pending_ = 0;
};

// Streams that hash what passes through them.
class HashingReadStream final : public IReadStream {
public:
    explicit HashingReadStream(IReadStream& in) : in_(in) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t got = in_.Read(buffer, count);
        hash_.Add(buffer, got);
        return got;
    }
    uint64_t Remaining() const override { return in_.Remaining(); }
    const StreamHash& Hash() const { return hash_; }

private:
    IReadStream& in_;
    StreamHash hash_;
};

class HashingWriteStream final : public IWriteStream {
public:
    explicit HashingWriteStream(IWriteStream& out) : out_(out) {}
    void Write(const void* buffer, size_t count) override {
        out_.Write(buffer, count);
        hash_.Add(buffer, count);
    }
    const StreamHash& Hash() const { return hash_; }

private:
    IWriteStream& out_;
    StreamHash hash_;
};

}  // namespace snipora
