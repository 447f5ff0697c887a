// The lists, their journal and their data file against a plain model, through random operations,
// stops, torn writes, refusals and restarts (support/ListsModel.h).
#include <gtest/gtest.h>

#include <random>

#include "support/ListsModel.h"

namespace snipora {
namespace {

constexpr uint32_t kSeed = 29;
constexpr int kSequences = 2000;
constexpr size_t kOperations = 40;

// The failure of a sequence, with the shortest run of its operations that fails.
std::string Described(uint32_t seed) {
    for (size_t length = 1;; ++length) {
        std::mt19937 random(seed);
        test::ListsModel model([&](uint32_t n) { return n == 0 ? 0 : uint32_t(random() % n); });
        if (!model.Run(length) || length == kOperations) {
            std::string out = "seed " + std::to_string(seed) + ": " + model.Failure() + "\n";
            for (const auto& step : model.Log()) {
                out += "  " + step + "\n";
            }
            return out;
        }
    }
}

TEST(JournalModelTest, TheListsAreTheModelAfterEveryRestart) {
    uint64_t stops = 0, steps = 0, restarts = 0;
    for (int i = 0; i < kSequences; ++i) {
        const uint32_t seed = kSeed * 100000 + uint32_t(i);
        std::mt19937 random(seed);
        test::ListsModel model([&](uint32_t n) { return n == 0 ? 0 : uint32_t(random() % n); });
        if (!model.Run(kOperations)) {
            FAIL() << Described(seed);
        }
        stops += model.Stops();
        steps += model.FileSteps();
        restarts += model.Restarts();
    }
    std::printf("%d sequences of %zu operations: %llu file steps, %llu stops, %llu restarts\n",
                kSequences, kOperations, static_cast<unsigned long long>(steps),
                static_cast<unsigned long long>(stops), static_cast<unsigned long long>(restarts));
}

}  // namespace
}  // namespace snipora
