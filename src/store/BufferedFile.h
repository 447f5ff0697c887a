#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "store/FileSystem.h"

namespace snipora {

// Buffering shared by the platform files: records are many small pieces, texts can be large.
// Small pieces gather in a buffer; large ones go straight to the system.
class BufferedReadFile : public IReadFile {
public:
    BufferedReadFile(FilePath path, uint64_t size) : path_(std::move(path)), size_(size) {}
    // A file that ends early ends the stream there; a failing read raises a "Cannot read file"
    // AppError, as a file that cannot be opened does.
    size_t Read(void* buffer, size_t count) final;
    uint64_t Remaining() const final { return size_ - position_; }

protected:
    // Reads up to `count` bytes at the system's file position; 0 at the end, or 0 with the
    // system's text for the error in `error`.
    virtual size_t ReadRaw(void* buffer, size_t count, std::string& error) = 0;

private:
    size_t ReadChecked(void* buffer, size_t count);

    static constexpr size_t kBufferSize = 64 * 1024;
    FilePath path_;
    uint64_t size_;
    uint64_t position_ = 0;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    size_t begin_ = 0;
    size_t end_ = 0;
};

class BufferedReplacementFile : public IReplacementFile {
public:
    explicit BufferedReplacementFile(FilePath target) : target_(std::move(target)) {}
    void Write(const void* buffer, size_t count) final;
    void Commit() final;

protected:
    // Writes all bytes or returns false with the system's text for the error in `error`.
    virtual bool WriteRaw(const void* buffer, size_t count, std::string& error) = 0;
    // Flushes the new file to the disk, closes it and moves it over the target in one step.
    virtual bool Finish(std::string& error) = 0;
    [[noreturn]] void ThrowWriteError(const std::string& error) const;
    const FilePath& Target() const { return target_; }

private:
    void Flush();

    static constexpr size_t kBufferSize = 256 * 1024;
    FilePath target_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    size_t used_ = 0;
    bool failed_ = false;
};

// "Cannot <verb> file "<path>". <system text>"
[[noreturn]] void ThrowFileError(const char* verb, const FilePath& path,
                                 const std::string& systemText);

}  // namespace snipora
