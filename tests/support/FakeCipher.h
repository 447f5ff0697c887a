#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "store/Cipher.h"
#include "store/RecordBytes.h"

namespace snipora::test {

// A deterministic stand-in for the system's cipher, for the portable tests, fuzzers and
// benchmarks: an XOR key stream and a keyed 128-bit check over the nonce, the associated data and
// the sealed bytes. Each step of the check is a bijection of its state, so any change of one byte
// changes the tag for certain. Not a cipher to keep secrets with.
class FakeCipher final : public ICipher {
public:
    explicit FakeCipher(uint64_t key) : key_(key) {}

    void Seal(const uint8_t* nonce, std::string_view associated, const char* plain, size_t size,
              char* sealed) override {
        Stream(nonce, plain, size, sealed);
        Tag(nonce, associated, sealed, size, sealed + size);
    }
    bool Open(const uint8_t* nonce, std::string_view associated, const char* sealed, size_t size,
              char* plain) override {
        if (size < kTagBytes) {
            return false;
        }
        char tag[kTagBytes];
        Tag(nonce, associated, sealed, size - kTagBytes, tag);
        if (std::memcmp(tag, sealed + size - kTagBytes, kTagBytes) != 0) {
            return false;
        }
        Stream(nonce, sealed, size - kTagBytes, plain);
        return true;
    }

private:
    static uint64_t Mix(uint64_t x) {
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
        return x ^ (x >> 31);
    }
    uint64_t NonceWord(const uint8_t* nonce) const {
        uint64_t a;
        uint32_t b;
        std::memcpy(&a, nonce, 8);
        std::memcpy(&b, nonce + 8, 4);
        return Mix(key_ ^ Mix(a) ^ (uint64_t{b} << 17));
    }
    void Stream(const uint8_t* nonce, const char* in, size_t size, char* out) const {
        const uint64_t base = NonceWord(nonce);
        for (size_t i = 0; i < size; i += 8) {
            const uint64_t word = Mix(base + i);
            for (size_t j = 0; j < 8 && i + j < size; ++j) {
                out[i + j] = static_cast<char>(in[i + j] ^ static_cast<char>(word >> (8 * j)));
            }
        }
    }
    void Tag(const uint8_t* nonce, std::string_view associated, const char* sealed, size_t size,
             char* tag) const {
        uint64_t h[2] = {NonceWord(nonce) ^ 0x243F6A8885A308D3u, Mix(key_) ^ 0x13198A2E03707344u};
        const auto add = [&](const char* bytes, size_t n) {
            for (size_t i = 0; i < n; ++i) {
                for (uint64_t& x : h) {
                    x = (x ^ static_cast<unsigned char>(bytes[i])) * 0x100000001B3u;
                    x ^= x >> 29;
                }
                h[1] += h[0];
            }
        };
        const uint64_t lengths[2] = {associated.size(), size};
        add(reinterpret_cast<const char*>(lengths), sizeof lengths);
        add(associated.data(), associated.size());
        add(sealed, size);
        const uint64_t out[2] = {Mix(h[0]), Mix(h[1] ^ h[0])};
        std::memcpy(tag, out, kTagBytes);
    }

    uint64_t key_;
};

// Keys for one account: a blob opens only under the vault of the account that made it.
class FakeKeyVault final : public IKeyVault {
public:
    explicit FakeKeyVault(uint64_t account = 1) : account_(account) {}

    Key NewKey() override {
        const uint64_t key = Next();
        std::string blob = "fake key ";
        PutBytes(blob, account_);
        PutBytes(blob, key);
        return {std::make_shared<FakeCipher>(key), blob};
    }
    std::shared_ptr<ICipher> OpenKey(std::string_view blob, std::string& problem) override {
        if (blob.size() != 25 || blob.substr(0, 9) != "fake key " ||
            GetBytes<uint64_t>(blob.data() + 9) != account_) {
            problem = "The key belongs to another account.";
            return nullptr;
        }
        ++opened;
        return std::make_shared<FakeCipher>(GetBytes<uint64_t>(blob.data() + 17));
    }
    void Random(void* out, size_t size) override {
        for (size_t i = 0; i < size; i += 8) {
            const uint64_t word = Next();
            std::memcpy(static_cast<char*>(out) + i, &word, size - i < 8 ? size - i : 8);
        }
    }

    int opened = 0;  // blobs opened

private:
    uint64_t Next() { return state_ = state_ * 6364136223846793005u + 1442695040888963407u; }

    uint64_t account_;
    uint64_t state_ = 0x5EED;
};

}  // namespace snipora::test
