#pragma once

#include <cstddef>
#include <cstdint>

namespace snipora {

// The byte streams that items read their records from and write them to.
class IReadStream {
public:
    virtual ~IReadStream() = default;
    // Reads up to `count` bytes and returns how many were read; fewer only at the end.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Bytes left between the read position and the end; for a stream that decodes a file as it
    // reads it, as many as the file could still give, which may be more than it gives.
    virtual uint64_t Remaining() const = 0;
};

class IWriteStream {
public:
    virtual ~IWriteStream() = default;
    // Writes all `count` bytes or raises an AppError.
    virtual void Write(const void* buffer, size_t count) = 0;
};

}  // namespace snipora
