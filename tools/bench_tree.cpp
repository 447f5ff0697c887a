// Times one refresh of the tree after one new capture, with 10,000 notes and 25 history items
// shown, against one build of the same tree from nothing, in the same run. On Windows the tree
// is a real SysTreeView32 control (run it under Wine here); elsewhere it is the tree in memory
// of the tests.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTree.h"
#include "support/FakeClipboard.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"
#include "view/ClipboardHandler.h"

namespace snipora {
namespace {

constexpr int kNotes = 10000;
constexpr int kHistory = 25;
constexpr int kRounds = 7;

// Passes every call on, counting them.
class CountingTree final : public ITreeView {
public:
    explicit CountingTree(ITreeView& inner) : inner_(inner) {}
    TreeEntry AddLast(TreeEntry parent, CItemNode* data) override {
        ++adds;
        return inner_.AddLast(parent, data);
    }
    TreeEntry AddFirst(TreeEntry parent, CItemNode* data) override {
        ++adds;
        return inner_.AddFirst(parent, data);
    }
    void Delete(TreeEntry entry) override {
        ++deletes;
        inner_.Delete(entry);
    }
    void DeleteChildren(TreeEntry entry) override {
        ++deletes;
        inner_.DeleteChildren(entry);
    }
    void SortAll(EntryCompare compare) override {
        ++sorts;
        inner_.SortAll(compare);
    }
    void ResetCounts() { adds = deletes = sorts = 0; }
    int adds = 0, deletes = 0, sorts = 0;

private:
    ITreeView& inner_;
};

using bench::kTreeName;
using bench::Median;
using bench::Seconds;
using bench::Tree;

// The data file's records, oldest first: the notes, then the history.
std::string Records() {
    std::string bytes;
    for (int i = 0; i < kNotes; ++i) {
        bytes += test::Record(kNotesCategory, 45000.0 + i,
                              u"note " + std::u16string(95, u'a' + i % 26) + u"#");
    }
    for (int i = 0; i < kHistory; ++i) {
        bytes += test::Record(kHistoryCategory, 46000.0 + i, std::u16string(100, u'h'));
    }
    return bytes;
}

int Run() {
    const std::string records = Records();
    test::FakeClipboard clipboard;
    clipboard.Put(u"the new capture");
    int window = 0;
    std::vector<double> refreshes, builds;

    for (int round = 0; round < kRounds; ++round) {
        // The refresh: a tree as the popup keeps it, then one capture.
        {
            Tree tree;
            CountingTree counting(tree.View());
            CClipboardHandler handler(clipboard, PlatformFileSystem());
            handler.Bind(&counting, &window);
            test::MemoryReadStream in(records);
            handler.LoadRecords(in);
            handler.AddCategories();
            // Every note listed, as after their "Show all" row was chosen.
            handler.ShowAll(kNotesCategory);
            handler.RefreshTree();
            tree.ExpandHistory();
            handler.CaptureClipboard();
            counting.ResetCounts();
            const auto start = std::chrono::steady_clock::now();
            handler.RefreshTree();
            refreshes.push_back(Seconds(start));
            std::printf("round %d: refresh added %d, deleted %d, sorted %d time(s)\n", round + 1,
                        counting.adds, counting.deletes, counting.sorts);
        }
        // The same tree built from nothing on a fresh control.
        {
            Tree tree;
            CClipboardHandler handler(clipboard, PlatformFileSystem());
            handler.Bind(&tree.View(), &window);
            test::MemoryReadStream in(records);
            handler.LoadRecords(in);
            handler.CaptureClipboard();
            const auto start = std::chrono::steady_clock::now();
            handler.AddCategories();
            handler.ShowAll(kNotesCategory);
            handler.RefreshTree();
            builds.push_back(Seconds(start));
        }
    }
    const double refresh = Median(refreshes);
    const double build = Median(builds);
    std::printf("bench_tree (%s): %d notes, %d history items, median of %d rounds\n", kTreeName,
                kNotes, kHistory, kRounds);
    std::printf("  refresh after one capture: %.3f ms\n", refresh * 1e3);
    std::printf("  full build of the same tree: %.3f ms\n", build * 1e3);
    std::printf("  ratio refresh / full build: %.3f\n", refresh / build);
    return 0;
}

}  // namespace
}  // namespace snipora

int main() {
    return snipora::Run();
}
