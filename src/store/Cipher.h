#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace snipora {

// Seals and opens records with one secret key: an authenticated cipher (AES-256-GCM on
// Windows). The key never leaves the object, which wipes it when it goes.
class ICipher {
public:
    static constexpr size_t kNonceBytes = 12;
    static constexpr size_t kTagBytes = 16;

    virtual ~ICipher() = default;
    // Encrypts the `size` bytes of `plain` into `sealed`, followed by the tag that authenticates
    // them together with `associated`: size + kTagBytes bytes in all. A nonce must never seal
    // twice under one key. A failure of the system raises an AppError.
    virtual void Seal(const uint8_t* nonce, std::string_view associated, const char* plain,
                      size_t size, char* sealed) = 0;
    // The reverse, from the `size` bytes of `sealed` (the tag included): false, with nothing in
    // `plain` to be used, when the bytes, the nonce or the associated data are not those sealed.
    virtual bool Open(const uint8_t* nonce, std::string_view associated, const char* sealed,
                      size_t size, char* plain) = 0;
};

// Keeps a key's secret for the account: a new random key comes with a blob that only the same
// account (on Windows, DPAPI's current user) can turn back into the key.
class IKeyVault {
public:
    struct Key {
        std::shared_ptr<ICipher> Cipher;
        std::string Blob;
    };

    virtual ~IKeyVault() = default;
    // A new random key and its protected blob. Raises an AppError.
    virtual Key NewKey() = 0;
    // The cipher of the key protected in `blob`, or null with the reason in `problem`.
    virtual std::shared_ptr<ICipher> OpenKey(std::string_view blob, std::string& problem) = 0;
    // Fills `out` with bytes from the system's random generator. Raises an AppError.
    virtual void Random(void* out, size_t size) = 0;
};

}  // namespace snipora
