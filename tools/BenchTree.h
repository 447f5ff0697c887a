#pragma once

// What the view's benchmarks share: the tree they fill (the real SysTreeView32 control on
// Windows, the tree in memory of the tests elsewhere) and the timing.

#include <algorithm>
#include <chrono>
#include <vector>

#ifdef _WIN32
#include "support/TreeHostWin.h"
#else
#include "view/FakeTreeView.h"
#endif

namespace snipora::bench {

#ifdef _WIN32
struct Tree {
    explicit Tree(bool textOnDemand = false) : host(textOnDemand) {}
    test::TreeHost host;
    ITreeView& View() { return host.Tree(); }
    void ExpandHistory() {
        ::SendMessageW(host.Control(), TVM_EXPAND, TVE_EXPAND,
                       reinterpret_cast<LPARAM>(host.Next(nullptr, TVGN_ROOT)));
    }
};
inline const char* const kTreeName = "SysTreeView32";
#else
struct Tree {
    explicit Tree(bool = false) {}
    test::FakeTreeView fake;
    ITreeView& View() { return fake; }
    void ExpandHistory() {}
};
inline const char* const kTreeName = "tree in memory";
#endif

inline double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace snipora::bench
