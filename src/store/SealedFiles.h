#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/Error.h"
#include "store/Cipher.h"
#include "store/FileSystem.h"

namespace snipora {

// A sealed file: its bytes are those of a plain file, encrypted and authenticated in records.
//   header: magic "SNPSEAL1" (8), kind (1: 'W' written whole, 'A' appended to), salt (8),
//           the key's blob size (4), the blob (IKeyVault), and the header's check: the tag of
//           no text sealed with the header before it as associated data (ICipher::kTagBytes),
//           which tells a damaged header or blob, or a key that is not the file's, from a
//           damaged record
//   record: the plain size (4, its top bit set on the last record of a whole file), then the
//           sealed bytes and their tag (ICipher::kTagBytes)
// Each record's nonce is the file's salt and the record's index (4), and its associated data the
// file's kind and the record's size field: a record cannot be changed, moved within its file,
// moved to another file, or made the last one, without failing its tag. A whole file ends with
// its last record, so that a file cut short at a record's end is told apart; an appended file
// (a journal) may end anywhere, its torn tail dropped. Each file has a salt of its own from the
// system's random generator, so that files sealed under one key never share a nonce.
inline constexpr char kSealedMagic[8] = {'S', 'N', 'P', 'S', 'E', 'A', 'L', '1'};
// How much plain text a record holds at most, as written.
inline constexpr size_t kSealedRecordBytes = 64 * 1024;

// A file that is sealed with a key that this account cannot open, or whose header (with the
// key's blob) is damaged: it cannot be read at all, and must not be overwritten.
class LockedFileError : public AppError {
public:
    LockedFileError(const FilePath& path, std::string problem);
    // Why the key could not be had, without the path.
    const std::string& Problem() const { return problem_; }

private:
    std::string problem_;
};

// The files of a data folder, sealed on their way to the disk and opened on their way back.
// Reading tells the sealed format by its magic and reads any other file as it is (the plain
// formats); a file whose first eight bytes differ from the magic in one or two is taken for a
// sealed file with a damaged header rather than read as plain text. Whether new files are sealed
// is SetSealing's. Reading a sealed file gives its plain bytes up to the first record that is
// cut short or fails its tag; its Fault then says why. Opening a file whose key cannot be had
// raises LockedFileError.
//
// One key serves the whole run: the one of the first sealed file read, or a new one made for the
// first file sealed; it is kept, unprotected, only inside its cipher.
class SealingFileSystem final : public IFileSystem {
public:
    SealingFileSystem(IFileSystem& disk, IKeyVault& vault, size_t recordBytes = kSealedRecordBytes)
        : disk_(disk), vault_(vault), recordBytes_(recordBytes) {}

    void SetSealing(bool on) { sealing_ = on; }
    bool Sealing() const { return sealing_; }
    // Whether the file is in the sealed form (its header damaged or not). Raises the errors of
    // OpenForReading.
    bool IsSealed(const FilePath& path);

    bool FileExists(const FilePath& path) override { return disk_.FileExists(path); }
    int64_t LastWriteTime(const FilePath& path) override { return disk_.LastWriteTime(path); }
    std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) override;
    std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) override;
    std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) override;
    void RemoveFile(const FilePath& path) override { disk_.RemoveFile(path); }
    IFileSystem& Disk() override { return disk_.Disk(); }

private:
    // The run's key for writing, made when there is none yet.
    const IKeyVault::Key& WritingKey();
    // The cipher of a file's blob: the run's key when it is the same, else the blob opened.
    std::shared_ptr<ICipher> ReadingKey(const std::string& blob, std::string& problem);

    IFileSystem& disk_;
    IKeyVault& vault_;
    size_t recordBytes_;
    bool sealing_ = false;
    IKeyVault::Key key_;  // the run's key, once there is one
};

}  // namespace snipora
