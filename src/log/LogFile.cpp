#include "log/LogFile.h"

#include "log/Logger.h"

namespace snipora {
namespace {

std::u16string InFolder(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\' && path.back() != u'/') {
        path += u'\\';
    }
    return path += name;
}

}  // namespace

LogFile::LogFile(ILogFiles& files, std::u16string_view folder)
    : files_(files),
      path_(InFolder(folder, kLogFileName)),
      olderPath_(InFolder(folder, kOlderLogFileName)),
      written_(files.FileSize(path_)) {}

LogFile::~LogFile() {
    Detach();
    Flush();
}

void LogFile::Write(uint8_t level, std::string_view line) {
    const bool error = level >= kLogError;
    if (!on_ || (!error && !details_)) {
        return;
    }
    line = line.substr(0, kLogFileCap);
    if (written_ + waiting_.size() + line.size() > kLogFileCap) {
        Flush();
        if (!on_) {
            return;  // the full file stays where it is, and so does the older one
        }
        // The file may have been deleted or cut while the program ran (an append then began a
        // new one): it is measured again, and only a file without room for the line is set
        // aside.
        written_ = files_.FileSize(path_);
        if (written_ + line.size() > kLogFileCap) {
            if (!files_.Replace(path_, olderPath_)) {
                TurnOff();
                return;
            }
            written_ = 0;
        }
    }
    waiting_ += line;
    if (error || waiting_.size() >= kLogFlushSize) {
        Flush();
    }
}

void LogFile::Flush() {
    if (!on_ || waiting_.empty()) {
        return;
    }
    if (!files_.Append(path_, waiting_)) {
        TurnOff();
        return;
    }
    written_ += waiting_.size();
    waiting_.clear();
}

void LogFile::Attach() {
    AttachLogSink([](void* file, uint8_t level,
                     std::string_view line) { static_cast<LogFile*>(file)->Write(level, line); },
                  this);
    attached_ = true;
}

void LogFile::Detach() {
    if (attached_) {
        AttachLogSink(nullptr, nullptr);
        attached_ = false;
    }
}

void LogFile::TurnOff() {
    on_ = false;
    std::string().swap(waiting_);
}

}  // namespace snipora
