#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/FilePath.h"
#include "store/Streams.h"

namespace snipora {

// A file open for reading from its start.
class IReadFile : public IReadStream {
public:
    // Why the file's bytes stopped before its end (a sealed file whose record is cut short or
    // fails its check), once they have; empty while all is well. A plain file has none.
    virtual std::string Fault() const { return {}; }
};

// A new version of a file, written beside it. Commit puts it in the file's place in one step;
// until then the old file stays as it was, and a replacement destroyed without Commit leaves no
// trace. Write and Commit raise "Cannot write file" errors.
class IReplacementFile : public IWriteStream {
public:
    virtual void Commit() = 0;
};

// A file written only at its end, as a journal is: each Write goes to the system at once, and
// Flush waits until what was written is on the disk. Both raise "Cannot write file" errors.
class IAppendFile : public IWriteStream {
public:
    virtual void Flush() = 0;
};

// The file operations that the data file needs. Errors arrive as AppError with the messages
// "Cannot open file "%s". %s", "Cannot create file "%s". %s" and "Cannot write file "%s". %s".
class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // True if a file (not a folder) exists at the path.
    virtual bool FileExists(const FilePath& path) = 0;
    // When the file was last written, in the system's own units (only for comparing files);
    // 0 when there is no such file.
    virtual int64_t LastWriteTime(const FilePath& path) = 0;
    virtual std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) = 0;
    virtual std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) = 0;
    // Creates the file empty, replacing any file of that name, for writing at its end.
    virtual std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) = 0;
    // Removes the file; a file that is not there is no error. Raises "Cannot delete file".
    virtual void RemoveFile(const FilePath& path) = 0;
    // The files as they lie on the disk, without any layer that changes their bytes on the way
    // (SealedFiles.h): what a copy kept aside takes.
    virtual IFileSystem& Disk() { return *this; }
};

// Copies a file over any file of the target's name, through a replacement.
void CopyWholeFile(IFileSystem& files, const FilePath& from, const FilePath& to);

// The platform's own file system: Win32 on Windows, POSIX elsewhere.
IFileSystem& PlatformFileSystem();

}  // namespace snipora
