#pragma once

#include <cstring>
#include <string>

#include "store/Streams.h"

namespace snipora::test {

class MemoryReadStream final : public IReadStream {
public:
    explicit MemoryReadStream(std::string bytes) : bytes_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t n = std::min(count, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return n;
    }
    uint64_t Remaining() const override { return bytes_.size() - position_; }

private:
    std::string bytes_;
    size_t position_ = 0;
};

class MemoryWriteStream final : public IWriteStream {
public:
    void Write(const void* buffer, size_t count) override {
        bytes.append(static_cast<const char*>(buffer), count);
    }
    std::string bytes;
};

}  // namespace snipora::test
