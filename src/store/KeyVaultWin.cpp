#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "common/Error.h"
#include "store/KeyVaultWin.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

constexpr ULONG kKeyBytes = 32;
// Ties the blob to this program: another program of the account must know it to open the blob.
constexpr char kEntropy[] = "Snipora history key";

[[noreturn]] void ThrowStatus(const char* call, NTSTATUS status) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    throw AppError(FormatText("The system cannot encrypt: %s failed (%s).", {call, code}));
}

struct AlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return BCRYPT_SUCCESS(::BCryptCloseAlgorithmProvider(h, 0)); }
};
struct KeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle h) { return BCRYPT_SUCCESS(::BCryptDestroyKey(h)); }
};

// 32 bytes of a key, wiped when they go.
struct KeyBytes {
    BYTE Bytes[kKeyBytes] = {};
    KeyBytes() = default;
    KeyBytes(const KeyBytes&) = delete;
    KeyBytes& operator=(const KeyBytes&) = delete;
    ~KeyBytes() { ::SecureZeroMemory(Bytes, sizeof Bytes); }
};

class AesGcmCipher final : public ICipher {
public:
    AesGcmCipher(BCRYPT_ALG_HANDLE algorithm, ULONG objectBytes, const BYTE* key)
        : object_(objectBytes) {
        BCRYPT_KEY_HANDLE handle = nullptr;
        const NTSTATUS status = ::BCryptGenerateSymmetricKey(
            algorithm, &handle, object_.data(), objectBytes, const_cast<BYTE*>(key), kKeyBytes, 0);
        if (!BCRYPT_SUCCESS(status)) {
            ThrowStatus("BCryptGenerateSymmetricKey", status);
        }
        key_.Reset(handle);
    }
    AesGcmCipher(const AesGcmCipher&) = delete;
    AesGcmCipher& operator=(const AesGcmCipher&) = delete;
    ~AesGcmCipher() override {
        key_.Reset();
        ::SecureZeroMemory(object_.data(), object_.size());
    }

    void Seal(const uint8_t* nonce, std::string_view associated, const char* plain, size_t size,
              char* sealed) override {
        const NTSTATUS status =
            Run(::BCryptEncrypt, nonce, associated, plain, size, sealed, sealed + size);
        if (!BCRYPT_SUCCESS(status)) {
            ThrowStatus("BCryptEncrypt", status);
        }
    }

    bool Open(const uint8_t* nonce, std::string_view associated, const char* sealed, size_t size,
              char* plain) override {
        if (size < kTagBytes) {
            return false;
        }
        const size_t bytes = size - kTagBytes;
        if (!BCRYPT_SUCCESS(Run(::BCryptDecrypt, nonce, associated, sealed, bytes, plain,
                                const_cast<char*>(sealed + bytes)))) {
            // What was decrypted before the tag was found wrong must not be read.
            ::SecureZeroMemory(plain, bytes);
            return false;
        }
        return true;
    }

private:
    // BCryptEncrypt or BCryptDecrypt of `size` bytes from `in` to `out`, with the tag at `tag`.
    template <typename Call>
    NTSTATUS Run(Call call, const uint8_t* nonce, std::string_view associated, const char* in,
                 size_t size, char* out, char* tag) {
        BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
        Describe(info, nonce, associated, reinterpret_cast<BYTE*>(tag));
        ULONG written = 0;
        BYTE empty = 0;  // the system wants a buffer even for no bytes
        return call(key_.Get(), size != 0 ? reinterpret_cast<BYTE*>(const_cast<char*>(in)) : &empty,
                    static_cast<ULONG>(size), &info, nullptr, 0,
                    size != 0 ? reinterpret_cast<BYTE*>(out) : &empty, static_cast<ULONG>(size),
                    &written, 0);
    }

    static void Describe(BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO& info, const uint8_t* nonce,
                         std::string_view associated, BYTE* tag) {
        BCRYPT_INIT_AUTH_MODE_INFO(info);
        info.pbNonce = const_cast<BYTE*>(nonce);
        info.cbNonce = kNonceBytes;
        info.pbAuthData = reinterpret_cast<BYTE*>(const_cast<char*>(associated.data()));
        info.cbAuthData = static_cast<ULONG>(associated.size());
        info.pbTag = tag;
        info.cbTag = kTagBytes;
    }

    std::vector<BYTE> object_;  // CNG's key object, in memory this cipher owns and wipes
    win::UniqueHandle<KeyTraits> key_;
};

class DpapiKeyVault final : public IKeyVault {
public:
    Key NewKey() override {
        KeyBytes key;
        Random(key.Bytes, kKeyBytes);
        DATA_BLOB in{kKeyBytes, key.Bytes};
        DATA_BLOB entropy = Entropy();
        DATA_BLOB out{};
        if (!::CryptProtectData(&in, L"Snipora", &entropy, nullptr, nullptr,
                                CRYPTPROTECT_UI_FORBIDDEN, &out)) {
            throw AppError("The system cannot protect a key: " + win::ErrorText(::GetLastError()));
        }
        win::UniqueLocal owner(out.pbData);
        Key made;
        made.Blob.assign(reinterpret_cast<const char*>(out.pbData), out.cbData);
        made.Cipher = MakeCipher(key.Bytes);
        return made;
    }

    std::shared_ptr<ICipher> OpenKey(std::string_view blob, std::string& problem) override {
        DATA_BLOB in{static_cast<DWORD>(blob.size()),
                     reinterpret_cast<BYTE*>(const_cast<char*>(blob.data()))};
        DATA_BLOB entropy = Entropy();
        DATA_BLOB out{};
        if (!::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr,
                                  CRYPTPROTECT_UI_FORBIDDEN, &out)) {
            problem =
                "Another Windows account, or this one on another computer or before "
                "Windows was installed anew, wrote it: " +
                win::ErrorText(::GetLastError());
            return nullptr;
        }
        win::UniqueLocal owner(out.pbData);
        std::shared_ptr<ICipher> cipher;
        if (out.cbData == kKeyBytes) {
            cipher = MakeCipher(out.pbData);
        } else {
            problem = "Its key is damaged.";
        }
        ::SecureZeroMemory(out.pbData, out.cbData);
        return cipher;
    }

    void Random(void* out, size_t size) override {
        const NTSTATUS status =
            ::BCryptGenRandom(nullptr, static_cast<BYTE*>(out), static_cast<ULONG>(size),
                              BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (!BCRYPT_SUCCESS(status)) {
            ThrowStatus("BCryptGenRandom", status);
        }
    }

private:
    static DATA_BLOB Entropy() {
        return {sizeof kEntropy - 1, reinterpret_cast<BYTE*>(const_cast<char*>(kEntropy))};
    }

    // One AES-GCM provider serves every key of the run.
    std::shared_ptr<ICipher> MakeCipher(const BYTE* key) {
        if (!algorithm_) {
            BCRYPT_ALG_HANDLE handle = nullptr;
            NTSTATUS status =
                ::BCryptOpenAlgorithmProvider(&handle, BCRYPT_AES_ALGORITHM, nullptr, 0);
            if (!BCRYPT_SUCCESS(status)) {
                ThrowStatus("BCryptOpenAlgorithmProvider", status);
            }
            win::UniqueHandle<AlgorithmTraits> algorithm(handle);
            status = ::BCryptSetProperty(
                handle, BCRYPT_CHAINING_MODE,
                reinterpret_cast<BYTE*>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                sizeof BCRYPT_CHAIN_MODE_GCM, 0);
            ULONG objectBytes = 0;
            ULONG got = 0;
            if (BCRYPT_SUCCESS(status)) {
                status = ::BCryptGetProperty(handle, BCRYPT_OBJECT_LENGTH,
                                             reinterpret_cast<BYTE*>(&objectBytes),
                                             sizeof objectBytes, &got, 0);
            }
            if (!BCRYPT_SUCCESS(status)) {
                ThrowStatus("BCryptSetProperty", status);
            }
            algorithm_ = std::move(algorithm);
            objectBytes_ = objectBytes;
        }
        return std::make_shared<AesGcmCipher>(algorithm_.Get(), objectBytes_, key);
    }

    win::UniqueHandle<AlgorithmTraits> algorithm_;
    ULONG objectBytes_ = 0;
};

}  // namespace

IKeyVault& PlatformKeyVault() {
    static DpapiKeyVault vault;
    return vault;
}

}  // namespace snipora
