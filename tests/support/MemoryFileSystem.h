#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/Error.h"
#include "store/FileSystem.h"

namespace snipora::test {

// Thrown when the machine stops: from then on nothing reaches the disk, and nothing is tidied up.
struct Stopped {};

// Files in memory, counted step by step: each creation, write, flush, rename and removal is a
// step, which a test may stop the machine at, or have refused as another program holding the file
// would. A stop in a write lands part of it: the torn tail of a file.
class MemoryFileSystem final : public IFileSystem {
public:
    enum class Step { Create, Write, Flush, Rename, Remove };
    using Path = FilePath::string_type;

    std::map<Path, std::string> files;
    int64_t time = 0;  // the last write time given to a file written
    // Asked before each step, with the number of steps before it: true stops the machine there.
    std::function<bool(Step, const Path&, uint64_t)> stopAt;
    // How much of a write that the machine stops in lands, given its size.
    std::function<size_t(size_t)> tornAt = [](size_t) { return size_t{0}; };
    // Asked before each step that is not stopped: true fails it with an AppError.
    std::function<bool(Step, const Path&)> refuse;
    uint64_t steps = 0;
    bool stopped = false;

    // A new start: the disk as the stop left it.
    void Restart() {
        stopped = false;
        stopAt = nullptr;
    }

    bool FileExists(const FilePath& path) override {
        Alive();
        return files.count(path.native()) != 0;
    }
    int64_t LastWriteTime(const FilePath& path) override {
        Alive();
        return times_.count(path.native()) != 0 ? times_[path.native()] : 0;
    }
    std::unique_ptr<IReadFile> OpenForReading(const FilePath& path) override {
        Alive();
        const auto it = files.find(path.native());
        if (it == files.end()) {
            throw AppError("Cannot open file. There is no such file.");
        }
        return std::make_unique<ReadFile>(it->second);
    }
    std::unique_ptr<IReplacementFile> CreateReplacement(const FilePath& path) override {
        const Path temp = (path + ".tmp").native();
        Take(Step::Create, temp);
        files[temp].clear();
        return std::make_unique<Replacement>(*this, path.native(), temp);
    }
    std::unique_ptr<IAppendFile> CreateAppendable(const FilePath& path) override {
        Take(Step::Create, path.native());
        files[path.native()].clear();
        return std::make_unique<Appendable>(*this, path.native());
    }
    void RemoveFile(const FilePath& path) override {
        Take(Step::Remove, path.native());
        files.erase(path.native());
    }

private:
    class ReadFile final : public IReadFile {
    public:
        explicit ReadFile(std::string bytes) : bytes_(std::move(bytes)) {}
        size_t Read(void* buffer, size_t count) override {
            const size_t n = std::min<size_t>(count, bytes_.size() - at_);
            bytes_.copy(static_cast<char*>(buffer), n, at_);
            at_ += n;
            return n;
        }
        uint64_t Remaining() const override { return bytes_.size() - at_; }

    private:
        std::string bytes_;
        size_t at_ = 0;
    };

    class Appendable final : public IAppendFile {
    public:
        Appendable(MemoryFileSystem& disk, Path path) : disk_(disk), path_(std::move(path)) {}
        void Write(const void* buffer, size_t count) override {
            disk_.Written(path_, static_cast<const char*>(buffer), count);
        }
        void Flush() override { disk_.Take(Step::Flush, path_); }

    private:
        MemoryFileSystem& disk_;
        Path path_;
    };

    class Replacement final : public IReplacementFile {
    public:
        Replacement(MemoryFileSystem& disk, Path target, Path temp)
            : disk_(disk), target_(std::move(target)), temp_(std::move(temp)) {}
        ~Replacement() override {
            if (!committed_ && !disk_.stopped) {
                disk_.files.erase(temp_);
            }
        }
        void Write(const void* buffer, size_t count) override {
            disk_.Written(temp_, static_cast<const char*>(buffer), count);
        }
        void Commit() override {
            disk_.Take(Step::Flush, temp_);
            disk_.Take(Step::Rename, target_);
            disk_.files[target_] = std::move(disk_.files[temp_]);
            disk_.files.erase(temp_);
            disk_.times_[target_] = ++disk_.time;
            committed_ = true;
        }

    private:
        MemoryFileSystem& disk_;
        Path target_;
        Path temp_;
        bool committed_ = false;
    };

    void Alive() const {
        if (stopped) {
            throw Stopped();
        }
    }
    // Counts a step; stops the machine or refuses it when the test says so.
    void Take(Step step, const Path& path) {
        Alive();
        if (stopAt && stopAt(step, path, steps)) {
            stopped = true;
            throw Stopped();
        }
        ++steps;
        if (refuse && refuse(step, path)) {
            throw AppError("Cannot change file. Another program holds it.");
        }
    }
    void Written(const Path& path, const char* bytes, size_t count) {
        try {
            Take(Step::Write, path);
        } catch (const Stopped&) {
            files[path].append(bytes, std::min(count, tornAt(count)));
            throw;
        }
        files[path].append(bytes, count);
        times_[path] = ++time;
    }

    std::map<Path, int64_t> times_;
};

}  // namespace snipora::test
