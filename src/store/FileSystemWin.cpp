#include <windows.h>

#include "store/BufferedFile.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

// ReadFile and WriteFile take a DWORD count: large blocks go in pieces.
constexpr size_t kMaxPiece = 64 * 1024 * 1024;

// Writes all `count` bytes, or returns false with the system's text for the error.
bool WriteAll(HANDLE file, const void* buffer, size_t count, std::string& error) {
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const DWORD piece = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
        DWORD written = 0;
        if (!::WriteFile(file, p, piece, &written, nullptr) || written == 0) {
            error = win::ErrorText(::GetLastError());
            return false;
        }
        p += written;
        count -= written;
    }
    return true;
}

class Win32ReadFile final : public BufferedReadFile {
public:
    Win32ReadFile(const FilePath& path, win::UniqueFile file, uint64_t size)
        : BufferedReadFile(path, size), file_(std::move(file)) {}

private:
    size_t ReadRaw(void* buffer, size_t count, std::string& error) override {
        DWORD read = 0;
        const DWORD piece = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
        if (!::ReadFile(file_.Get(), buffer, piece, &read, nullptr)) {
            error = win::ErrorText(::GetLastError());
            return 0;
        }
        return read;
    }
    win::UniqueFile file_;
};

class Win32ReplacementFile final : public BufferedReplacementFile {
public:
    Win32ReplacementFile(FilePath target, FilePath temp, win::UniqueFile file)
        : BufferedReplacementFile(std::move(target)),
          temp_(std::move(temp)),
          file_(std::move(file)) {}
    ~Win32ReplacementFile() override {
        if (!committed_) {
            file_.Reset();
            ::DeleteFileW(temp_.c_str());
        }
    }

private:
    bool WriteRaw(const void* buffer, size_t count, std::string& error) override {
        return WriteAll(file_.Get(), buffer, count, error);
    }
    bool Finish(std::string& error) override {
        if (!::FlushFileBuffers(file_.Get()) || !file_.Reset() ||
            !::MoveFileExW(temp_.c_str(), Target().c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = win::ErrorText(::GetLastError());
            return false;
        }
        committed_ = true;
        return true;
    }

    FilePath temp_;
    win::UniqueFile file_;
    bool committed_ = false;
};

// Writes go straight to the system; Flush asks it to put them on the disk before it returns.
class Win32AppendFile final : public IAppendFile {
public:
    Win32AppendFile(FilePath path, win::UniqueFile file)
        : path_(std::move(path)), file_(std::move(file)) {}

    void Write(const void* buffer, size_t count) override {
        std::string error;
        if (!WriteAll(file_.Get(), buffer, count, error)) {
            ThrowFileError("write", path_, error);
        }
    }
    void Flush() override {
        if (!::FlushFileBuffers(file_.Get())) {
            ThrowFileError("write", path_, win::ErrorText(::GetLastError()));
        }
    }

private:
    FilePath path_;
    win::UniqueFile file_;
};

class Win32FileSystem final : public IFileSystem {
public:
    bool FileExists(const FilePath& path) override {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    int64_t LastWriteTime(const FilePath& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            return 0;
        }
        return static_cast<int64_t>(uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 |
                                    data.ftLastWriteTime.dwLowDateTime);
    }

    std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) override {
        win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file.Get(), &size)) {
            ThrowFileError("open", path, win::ErrorText(::GetLastError()));
        }
        return std::make_unique<Win32ReadFile>(path, std::move(file),
                                               static_cast<uint64_t>(size.QuadPart));
    }

    std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) override {
        FilePath temp = path + ".tmp";
        win::UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            ThrowFileError("create", path, win::ErrorText(::GetLastError()));
        }
        return std::make_unique<Win32ReplacementFile>(path, std::move(temp), std::move(file));
    }

    std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) override {
        // Others may read it while it is written, as a copy of the data folder does.
        win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            ThrowFileError("create", path, win::ErrorText(::GetLastError()));
        }
        return std::make_unique<Win32AppendFile>(path, std::move(file));
    }

    void RemoveFile(const FilePath& path) override {
        if (!::DeleteFileW(path.c_str())) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
                ThrowFileError("delete", path, win::ErrorText(error));
            }
        }
    }
};

}  // namespace

IFileSystem& PlatformFileSystem() {
    static Win32FileSystem files;
    return files;
}

}  // namespace snipora
