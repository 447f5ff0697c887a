// The file system of POSIX builds, which run the portable code's tests, fuzzers and benchmarks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "store/BufferedFile.h"

namespace snipora {
namespace {

std::string ErrorText(int error) {
    return std::strerror(error);
}

// Writes all `count` bytes, or returns false with the system's text for the error.
bool WriteAll(int fd, const void* buffer, size_t count, std::string& error) {
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = ErrorText(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }
    int Get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

class PosixReadFile final : public BufferedReadFile {
public:
    PosixReadFile(const FilePath& path, int fd, uint64_t size)
        : BufferedReadFile(path, size), fd_(fd) {}

private:
    size_t ReadRaw(void* buffer, size_t count, std::string& error) override {
        for (;;) {
            const ssize_t n = ::read(fd_.Get(), buffer, count);
            if (n >= 0) {
                return static_cast<size_t>(n);
            }
            if (errno != EINTR) {
                error = ErrorText(errno);
                return 0;
            }
        }
    }
    Descriptor fd_;
};

class PosixReplacementFile final : public BufferedReplacementFile {
public:
    PosixReplacementFile(FilePath target, FilePath temp, int fd)
        : BufferedReplacementFile(std::move(target)), temp_(std::move(temp)), fd_(fd) {}
    ~PosixReplacementFile() override {
        if (!committed_) {
            fd_.Close();
            ::unlink(temp_.c_str());
        }
    }

private:
    bool WriteRaw(const void* buffer, size_t count, std::string& error) override {
        return WriteAll(fd_.Get(), buffer, count, error);
    }
    bool Finish(std::string& error) override {
        if (::fsync(fd_.Get()) != 0 || !fd_.Close() ||
            ::rename(temp_.c_str(), Target().c_str()) != 0) {
            error = ErrorText(errno);
            return false;
        }
        committed_ = true;
        return true;
    }

    FilePath temp_;
    Descriptor fd_;
    bool committed_ = false;
};

class PosixAppendFile final : public IAppendFile {
public:
    PosixAppendFile(FilePath path, int fd) : path_(std::move(path)), fd_(fd) {}

    void Write(const void* buffer, size_t count) override {
        std::string error;
        if (!WriteAll(fd_.Get(), buffer, count, error)) {
            ThrowFileError("write", path_, error);
        }
    }
    void Flush() override {
        if (::fsync(fd_.Get()) != 0) {
            ThrowFileError("write", path_, ErrorText(errno));
        }
    }

private:
    FilePath path_;
    Descriptor fd_;
};

class PosixFileSystem final : public IFileSystem {
public:
    bool FileExists(const FilePath& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }

    int64_t LastWriteTime(const FilePath& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            return 0;
        }
        return int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    }

    std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            const int error = errno;
            if (fd >= 0) {
                ::close(fd);
            }
            ThrowFileError("open", path, ErrorText(error));
        }
        return std::make_unique<PosixReadFile>(path, fd, static_cast<uint64_t>(st.st_size));
    }

    std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) override {
        FilePath temp = path + ".tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            ThrowFileError("create", path, ErrorText(errno));
        }
        return std::make_unique<PosixReplacementFile>(path, std::move(temp), fd);
    }

    std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            ThrowFileError("create", path, ErrorText(errno));
        }
        return std::make_unique<PosixAppendFile>(path, fd);
    }

    void RemoveFile(const FilePath& path) override {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            ThrowFileError("delete", path, ErrorText(errno));
        }
    }
};

}  // namespace

IFileSystem& PlatformFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace snipora
