#include "store/BufferedFile.h"

#include <cstring>

#include "common/Error.h"
#include "common/Utf.h"

namespace snipora {

void ThrowFileError(const char* verb, const FilePath& path, const std::string& systemText) {
    const std::string pattern = std::string("Cannot ") + verb + " file \"%s\". %s";
    throw AppError(FormatText(pattern, {PathToUtf8(path), systemText}));
}

size_t BufferedReadFile::ReadChecked(void* buffer, size_t count) {
    std::string error;
    const size_t n = ReadRaw(buffer, count, error);
    if (n == 0 && !error.empty()) {
        ThrowFileError("read", path_, error);
    }
    return n;
}

size_t BufferedReadFile::Read(void* buffer, size_t count) {
    if (count > Remaining()) {
        count = static_cast<size_t>(Remaining());
    }
    auto* out = static_cast<char*>(buffer);
    if (count <= end_ - begin_) {
        // The usual case for a record's pieces: all of it is in the buffer.
        std::memcpy(out, buffer_.get() + begin_, count);
        begin_ += count;
        position_ += count;
        return count;
    }
    size_t done = 0;
    while (done < count) {
        if (begin_ < end_) {
            const size_t n = std::min(count - done, end_ - begin_);
            std::memcpy(out + done, buffer_.get() + begin_, n);
            begin_ += n;
            done += n;
        } else if (count - done >= kBufferSize) {
            const size_t n = ReadChecked(out + done, count - done);
            if (n == 0) {
                break;
            }
            done += n;
        } else {
            begin_ = 0;
            end_ = ReadChecked(buffer_.get(), kBufferSize);
            if (end_ == 0) {
                break;
            }
        }
    }
    position_ += done;
    if (done < count) {
        // The file ended early: nothing more is to be had from it.
        size_ = position_;
    }
    return done;
}

void BufferedReplacementFile::ThrowWriteError(const std::string& error) const {
    ThrowFileError("write", target_, error);
}

void BufferedReplacementFile::Flush() {
    std::string error;
    if (used_ > 0 && !WriteRaw(buffer_.get(), used_, error)) {
        failed_ = true;
        ThrowWriteError(error);
    }
    used_ = 0;
}

void BufferedReplacementFile::Write(const void* buffer, size_t count) {
    if (failed_) {
        ThrowWriteError("An earlier write failed.");
    }
    if (used_ + count <= kBufferSize) {
        std::memcpy(buffer_.get() + used_, buffer, count);
        used_ += count;
        return;
    }
    Flush();
    if (count >= kBufferSize) {
        std::string error;
        if (!WriteRaw(buffer, count, error)) {
            failed_ = true;
            ThrowWriteError(error);
        }
        return;
    }
    std::memcpy(buffer_.get(), buffer, count);
    used_ = count;
}

void BufferedReplacementFile::Commit() {
    if (failed_) {
        ThrowWriteError("An earlier write failed.");
    }
    Flush();
    std::string error;
    if (!Finish(error)) {
        failed_ = true;
        ThrowWriteError(error);
    }
}

void CopyWholeFile(IFileSystem& files, const FilePath& from, const FilePath& to) {
    auto source = files.OpenForReading(from);
    auto target = files.CreateReplacement(to);
    auto buffer = std::make_unique<char[]>(256 * 1024);
    while (const size_t n = source->Read(buffer.get(), 256 * 1024)) {
        target->Write(buffer.get(), n);
    }
    target->Commit();
}

}  // namespace snipora
