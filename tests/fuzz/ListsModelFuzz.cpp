// Drives the model of the lists (support/ListsModel.h) with the fuzzer's bytes: each choice of an
// operation, an entry, a stop or a refusal takes the bytes that come next. Any difference from the
// model aborts, printing the operations that led to it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/ListsModel.h"

using namespace snipora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t at = 0;
    test::ListsModel model([&](uint32_t n) -> uint32_t {
        if (n <= 1 || at >= size) {
            return 0;
        }
        uint32_t value = data[at++];
        if (n > 256 && at < size) {
            value = value << 8 | data[at++];
        }
        return value % n;
    });
    if (!model.Run(size / 2 + 1)) {
        std::fprintf(stderr, "%s\n", model.Failure().c_str());
        for (const auto& step : model.Log()) {
            std::fprintf(stderr, "  %s\n", step.c_str());
        }
        std::abort();
    }
    return 0;
}
