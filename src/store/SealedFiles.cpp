#include "store/SealedFiles.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "common/Utf.h"
#include "store/RecordBytes.h"

namespace snipora {
namespace {

constexpr char kWhole = 'W';
constexpr char kAppended = 'A';
// Magic, kind, salt, the blob's size.
constexpr size_t kFixedHeaderBytes = 8 + 1 + 8 + 4;
constexpr uint32_t kLastRecord = 0x80000000u;
constexpr size_t kRecordOverhead = 4 + ICipher::kTagBytes;
// More than any system's protected key takes.
constexpr uint32_t kMaxBlobBytes = 64 * 1024;
constexpr char kNoLastRecord[] = "it ends before its last record";

// The nonce of the header's check: an index no record reaches.
std::array<uint8_t, ICipher::kNonceBytes> HeaderNonce(const char* salt) {
    std::array<uint8_t, ICipher::kNonceBytes> nonce;
    std::memcpy(nonce.data(), salt, 8);
    std::memset(nonce.data() + 8, 0xFF, 4);
    return nonce;
}

int MagicDistance(const char* head) {
    int distance = 0;
    for (size_t i = 0; i < sizeof kSealedMagic; ++i) {
        distance += head[i] != kSealedMagic[i];
    }
    return distance;
}

// One file's records, in the order they are written or read: the nonce and associated data of
// each.
class RecordChain {
public:
    RecordChain(std::shared_ptr<ICipher> cipher, char kind, const char* salt)
        : cipher_(std::move(cipher)), kind_(kind) {
        std::memcpy(nonce_, salt, 8);
    }

    // Appends the next record, of the `size` bytes of `plain`, to `out`.
    void Seal(const char* plain, size_t size, bool last, std::string& out) {
        const uint32_t field = static_cast<uint32_t>(size) | (last ? kLastRecord : 0);
        PutBytes(out, field);
        const size_t at = out.size();
        out.resize(at + size + ICipher::kTagBytes);
        cipher_->Seal(NextNonce(), Associated(field), plain, size, out.data() + at);
    }
    // Opens the next record, of `size` sealed bytes (its tag included), into `plain`.
    bool Open(uint32_t field, const char* sealed, size_t size, char* plain) {
        return cipher_->Open(NextNonce(), Associated(field), sealed, size, plain);
    }
    char Kind() const { return kind_; }

private:
    const uint8_t* NextNonce() {
        if (index_ == UINT32_MAX) {
            // The header's check has that nonce; no file of 256 TB is written.
            throw AppError("The file is too large to encrypt.");
        }
        std::memcpy(nonce_ + 8, &index_, 4);
        ++index_;
        return nonce_;
    }
    std::string Associated(uint32_t field) const {
        std::string out(1, kind_);
        PutBytes(out, field);
        return out;
    }

    std::shared_ptr<ICipher> cipher_;
    char kind_;
    uint8_t nonce_[ICipher::kNonceBytes] = {};
    uint32_t index_ = 0;
};

class SealedReadFile final : public IReadFile {
public:
    SealedReadFile(std::unique_ptr<IReadFile> raw, RecordChain chain)
        : raw_(std::move(raw)), chain_(std::move(chain)) {}

    size_t Read(void* buffer, size_t count) override {
        auto* out = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < count) {
            if (at_ == plain_.size()) {
                if (ended_ || !NextRecord()) {
                    break;
                }
                continue;
            }
            const size_t n = std::min(count - done, plain_.size() - at_);
            std::memcpy(out + done, plain_.data() + at_, n);
            at_ += n;
            done += n;
        }
        return done;
    }
    // At most this many: each record still in the file takes some bytes of its own.
    uint64_t Remaining() const override {
        const uint64_t raw = ended_ ? 0 : raw_->Remaining();
        return plain_.size() - at_ + (raw > kRecordOverhead ? raw - kRecordOverhead : 0);
    }
    std::string Fault() const override {
        // A reader that stops where Remaining says the file ends has not asked for more.
        if (!ended_ && at_ == plain_.size() && raw_->Remaining() == 0 && chain_.Kind() == kWhole &&
            !sawLast_) {
            return kNoLastRecord;
        }
        return fault_;
    }

private:
    // Reads and opens the next record; false at the end of what can be read.
    bool NextRecord() {
        plain_.clear();
        at_ = 0;
        if (raw_->Remaining() == 0) {
            return End(chain_.Kind() == kWhole && !sawLast_ ? kNoLastRecord : "");
        }
        if (sawLast_) {
            return End("bytes follow its last record");
        }
        char head[4];
        if (raw_->Read(head, 4) != 4) {
            return End("its last record is cut short");
        }
        const auto field = GetBytes<uint32_t>(head);
        const size_t size = field & ~kLastRecord;
        if (size + ICipher::kTagBytes > raw_->Remaining()) {
            return End("its last record is cut short");
        }
        sealed_.resize(size + ICipher::kTagBytes);
        if (raw_->Read(sealed_.data(), sealed_.size()) != sealed_.size()) {
            return End("its last record is cut short");
        }
        plain_.resize(size);
        const bool last = (field & kLastRecord) != 0;
        if ((last && chain_.Kind() != kWhole) ||
            !chain_.Open(field, sealed_.data(), sealed_.size(), plain_.data())) {
            plain_.clear();
            return End("a record fails its check at byte " + std::to_string(position_));
        }
        position_ += 4 + sealed_.size();
        sawLast_ = last;
        return true;
    }
    bool End(std::string fault) {
        ended_ = true;
        fault_ = std::move(fault);
        return false;
    }

    std::unique_ptr<IReadFile> raw_;
    RecordChain chain_;
    std::string sealed_;
    std::string plain_;
    size_t at_ = 0;
    uint64_t position_ = 0;  // of the next record, counted from the end of the header
    bool sawLast_ = false;
    bool ended_ = false;
    std::string fault_;
};

// Plain bytes gather into records of up to `recordBytes`; a whole file's last record waits for
// Commit, which marks it so.
class SealedReplacement final : public IReplacementFile {
public:
    SealedReplacement(std::unique_ptr<IReplacementFile> raw, RecordChain chain, std::string header,
                      size_t recordBytes)
        : raw_(std::move(raw)),
          chain_(std::move(chain)),
          out_(std::move(header)),
          recordBytes_(recordBytes) {}

    void Write(const void* buffer, size_t count) override {
        const auto* in = static_cast<const char*>(buffer);
        while (count > 0) {
            if (plain_.size() == recordBytes_) {
                Put(false);
            }
            const size_t n = std::min(count, recordBytes_ - plain_.size());
            plain_.append(in, n);
            in += n;
            count -= n;
        }
    }
    void Commit() override {
        Put(true);
        raw_->Commit();
    }

private:
    void Put(bool last) {
        chain_.Seal(plain_.data(), plain_.size(), last, out_);
        plain_.clear();
        raw_->Write(out_.data(), out_.size());
        out_.clear();
    }

    std::unique_ptr<IReplacementFile> raw_;
    RecordChain chain_;
    std::string out_;  // sealed bytes not written yet: the header, then a record
    std::string plain_;
    size_t recordBytes_;
};

// What is written between two flushes becomes its own records: a journal's append, which a stop
// can tear only after the records before it.
class SealedAppendFile final : public IAppendFile {
public:
    SealedAppendFile(std::unique_ptr<IAppendFile> raw, RecordChain chain, std::string header,
                     size_t recordBytes)
        : raw_(std::move(raw)),
          chain_(std::move(chain)),
          header_(std::move(header)),
          recordBytes_(recordBytes) {}

    void Write(const void* buffer, size_t count) override {
        plain_.append(static_cast<const char*>(buffer), count);
    }
    void Flush() override {
        std::string out = std::move(header_);
        header_.clear();
        for (size_t at = 0; at < plain_.size(); at += recordBytes_) {
            chain_.Seal(plain_.data() + at, std::min(recordBytes_, plain_.size() - at), false, out);
        }
        plain_.clear();
        raw_->Write(out.data(), out.size());
        raw_->Flush();
    }

private:
    std::unique_ptr<IAppendFile> raw_;
    RecordChain chain_;
    std::string header_;  // written with the first records, so that an emptied file stays empty
    std::string plain_;
    size_t recordBytes_;
};

}  // namespace

LockedFileError::LockedFileError(const FilePath& path, std::string problem)
    : AppError(FormatText("Cannot decrypt file \"%s\". %s", {PathToUtf8(path), problem})),
      problem_(std::move(problem)) {}

const IKeyVault::Key& SealingFileSystem::WritingKey() {
    if (!key_.Cipher) {
        key_ = vault_.NewKey();
    }
    return key_;
}

std::shared_ptr<ICipher> SealingFileSystem::ReadingKey(const std::string& blob,
                                                       std::string& problem) {
    if (key_.Cipher && key_.Blob == blob) {
        return key_.Cipher;
    }
    std::shared_ptr<ICipher> cipher = vault_.OpenKey(blob, problem);
    if (cipher && !key_.Cipher) {
        // Files written from now on take the same key: no second key to protect.
        key_ = {cipher, blob};
    }
    return cipher;
}

bool SealingFileSystem::IsSealed(const FilePath& path) {
    char head[sizeof kSealedMagic];
    return disk_.OpenForReading(path)->Read(head, sizeof head) == sizeof head &&
           MagicDistance(head) <= 2;
}

std::unique_ptr<IReadFile> SealingFileSystem::OpenForReading(const FilePath& path) {
    auto raw = disk_.OpenForReading(path);
    char head[kFixedHeaderBytes];
    if (raw->Read(head, sizeof kSealedMagic) != sizeof kSealedMagic || MagicDistance(head) > 2) {
        return disk_.OpenForReading(path);
    }
    if (MagicDistance(head) != 0 ||
        raw->Read(head + sizeof kSealedMagic, kFixedHeaderBytes - sizeof kSealedMagic) !=
            kFixedHeaderBytes - sizeof kSealedMagic ||
        (head[8] != kWhole && head[8] != kAppended)) {
        throw LockedFileError(path, "Its header is damaged.");
    }
    const auto blobBytes = GetBytes<uint32_t>(head + 17);
    std::string blob(std::min(blobBytes, kMaxBlobBytes), '\0');
    if (blobBytes > kMaxBlobBytes || raw->Read(blob.data(), blob.size()) != blob.size()) {
        throw LockedFileError(path, "Its key is damaged.");
    }
    std::string problem;
    std::shared_ptr<ICipher> cipher = ReadingKey(blob, problem);
    if (!cipher) {
        throw LockedFileError(path, problem);
    }
    char check[ICipher::kTagBytes];
    if (raw->Read(check, sizeof check) != sizeof check ||
        !cipher->Open(HeaderNonce(head + 9).data(), std::string(head, kFixedHeaderBytes) + blob,
                      check, sizeof check, nullptr)) {
        throw LockedFileError(path, "Its key does not open it: the key or the header is damaged.");
    }
    return std::make_unique<SealedReadFile>(std::move(raw),
                                            RecordChain(std::move(cipher), head[8], head + 9));
}

namespace {

// A new file's header and its records' chain, under `key` with a fresh salt.
std::pair<std::string, RecordChain> NewFile(IKeyVault& vault, const IKeyVault::Key& key,
                                            char kind) {
    char salt[8];
    vault.Random(salt, sizeof salt);
    std::string header(kSealedMagic, sizeof kSealedMagic);
    header += kind;
    header.append(salt, sizeof salt);
    PutBytes(header, static_cast<uint32_t>(key.Blob.size()));
    header += key.Blob;
    // The header's check: no text, sealed with the header as its associated data.
    char check[ICipher::kTagBytes];
    key.Cipher->Seal(HeaderNonce(salt).data(), header, nullptr, 0, check);
    header.append(check, sizeof check);
    return {std::move(header), RecordChain(key.Cipher, kind, salt)};
}

}  // namespace

std::unique_ptr<IReplacementFile> SealingFileSystem::CreateReplacement(const FilePath& path) {
    if (!sealing_) {
        return disk_.CreateReplacement(path);
    }
    auto [header, chain] = NewFile(vault_, WritingKey(), kWhole);
    return std::make_unique<SealedReplacement>(disk_.CreateReplacement(path), std::move(chain),
                                               std::move(header), recordBytes_);
}

std::unique_ptr<IAppendFile> SealingFileSystem::CreateAppendable(const FilePath& path) {
    if (!sealing_) {
        return disk_.CreateAppendable(path);
    }
    auto [header, chain] = NewFile(vault_, WritingKey(), kAppended);
    return std::make_unique<SealedAppendFile>(disk_.CreateAppendable(path), std::move(chain),
                                              std::move(header), recordBytes_);
}

}  // namespace snipora
