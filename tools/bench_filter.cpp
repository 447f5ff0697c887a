// Times one keystroke of the popup's search (the filter, then the refresh of the tree) over 25
// history items and 10,000 notes of 100 to 2,000 characters, against a plain case-sensitive
// wcsstr scan of the same texts for the same filter, in the same run. On Windows the tree is a
// real SysTreeView32 control (run it under Wine here); elsewhere it is the tree in memory of the
// tests, and the scan is std::u16string_view::find.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "BenchTree.h"
#include "support/FakeClipboard.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"
#include "view/ClipboardHandler.h"

#ifdef _WIN32
#include <cwchar>

#include "view/ItemFormat.h"
#include "view/ItemsTreeWin.h"
#endif

namespace snipora {
namespace {

constexpr int kNotes = 10000;
constexpr int kHistory = 25;
constexpr int kRounds = 7;

#ifdef _WIN32
// Answers the control's questions for texts as the popup does.
class Events final : public IItemsTreeEvents {
public:
    void ItemsTreeMouseDown(UINT, int, int) override {}
    void ItemsTreeDblClick() override {}
    LRESULT ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW&) override { return CDRF_DODEFAULT; }
    bool TreeKeyDown(UINT) override { return false; }
    void TreeChar(wchar_t) override {}
    void TreeMenuKey() override {}
    std::u16string TreeItemText(const CItemNode& record) override {
        return SpokenText(record, u"12:34:56", u"1,234b");
    }
};

struct Tree {
    Tree() {
        tree.host.onNotify = [this](NMHDR& header) { return items.Notify(header); };
    }
    bench::Tree tree{true};
    Events events;
    ItemsTree items{tree.host.Control(), events};
    ITreeView& View() { return tree.View(); }
    // Both lists open, as after a search that selected a note.
    void ExpandHistory() {
        for (HTREEITEM level = tree.host.Next(nullptr, TVGN_ROOT); level != nullptr;
             level = tree.host.Next(level, TVGN_NEXT)) {
            ::SendMessageW(tree.host.Control(), TVM_EXPAND, TVE_EXPAND,
                           reinterpret_cast<LPARAM>(level));
        }
    }
    // As the popup refreshes after a keystroke of its search.
    void Refresh(CClipboardHandler& handler) {
        ItemsTree::Batch batch(items);
        handler.RefreshTree();
    }
};
size_t PlainScan(const std::vector<std::u16string_view>& texts, const std::u16string& filter) {
    size_t found = 0;
    const auto* needle = reinterpret_cast<const wchar_t*>(filter.c_str());
    for (const auto text : texts) {
        found += std::wcsstr(reinterpret_cast<const wchar_t*>(text.data()), needle) != nullptr;
    }
    return found;
}
#else
struct Tree : bench::Tree {
    void Refresh(CClipboardHandler& handler) { handler.RefreshTree(); }
};
size_t PlainScan(const std::vector<std::u16string_view>& texts, const std::u16string& filter) {
    size_t found = 0;
    for (const auto text : texts) {
        found += text.find(filter) != std::u16string_view::npos;
    }
    return found;
}
#endif

// Words of a few languages, some capitalised, in lines of a few words.
std::u16string Text(unsigned& seed, size_t length) {
    static const char16_t* const kWords[] = {u"lorem",
                                             u"Ipsum",
                                             u"dolor",
                                             u"sit",
                                             u"amet",
                                             u"consectetur",
                                             u"report",
                                             u"Budget",
                                             u"\u00fcber",
                                             u"Stra\u00dfe",
                                             u"\u0441\u043b\u043e\u0432\u043e",
                                             u"\u03bb\u03cc\u03b3\u03bf\u03c2",
                                             u"quarterly",
                                             u"meeting",
                                             u"invoice",
                                             u"2026",
                                             u"snippet",
                                             u"Clipboard",
                                             u"notes",
                                             u"address"};
    std::u16string text;
    while (text.size() < length) {
        seed = seed * 1103515245u + 12345u;
        text += kWords[(seed >> 16) % std::size(kWords)];
        text += (seed >> 8) % 9 == 0 ? u"\r\n" : u" ";
    }
    text.resize(length);
    return text;
}

std::string Records() {
    std::string bytes;
    unsigned seed = 7;
    for (int i = 0; i < kNotes + kHistory; ++i) {
        seed = seed * 1103515245u + 12345u;
        const size_t length = 100 + (seed >> 8) % 1901;
        bytes += test::Record(i < kNotes ? kNotesCategory : kHistoryCategory, 45000.0 + i,
                              Text(seed, length));
    }
    return bytes;
}

using bench::kTreeName;
using bench::Median;
using bench::Seconds;

// The rows of both lists, "Show all" rows included, and the entries they have to show.
std::pair<size_t, size_t> RowsAndEntries(const CClipboardHandler& handler) {
    size_t rows = 0, entries = 0;
    for (const auto& [key, category] : handler.Root().Children) {
        rows += category->Children.size();
        entries += category->Size;
    }
    return {rows, entries};
}

// One keystroke from `before` to `after`, on a tree that shows `before`.
void Keystroke(CClipboardHandler& handler, Tree& tree,
               const std::vector<std::u16string_view>& texts, const std::u16string& before,
               const std::u16string& after) {
    std::vector<double> keystrokes, scans;
    std::pair<size_t, size_t> shown;
    size_t scanned = 0;
    for (int round = 0; round < kRounds; ++round) {
        TextFilter filter(before, SystemCaseFolding());
        handler.SetFilter(&filter);
        tree.Refresh(handler);
        auto start = std::chrono::steady_clock::now();
        filter = TextFilter(after, SystemCaseFolding());
        tree.Refresh(handler);
        keystrokes.push_back(Seconds(start));
        shown = RowsAndEntries(handler);

        // The scan, too, follows one for `before`, as the keystroke follows a refresh for it.
        PlainScan(texts, before);
        start = std::chrono::steady_clock::now();
        scanned = PlainScan(texts, after);
        scans.push_back(Seconds(start));
        handler.SetFilter(nullptr);
    }
    const double keystroke = Median(keystrokes), scan = Median(scans);
    std::printf(
        "  \"%s\" -> \"%s\": filter and refresh %.3f ms (%zu matches on %zu rows), plain scan "
        "%.3f ms (%zu found case-sensitively), ratio %.2f\n",
        std::string(before.begin(), before.end()).c_str(),
        std::string(after.begin(), after.end()).c_str(), keystroke * 1e3, shown.second, shown.first,
        scan * 1e3, scanned, keystroke / scan);
}

// The popup's first fill after the start, with `entries` history entries and as many notes of
// 300 characters loaded: the categories, the shown history and every note put into a fresh
// tree, as the popup shows them, each list up to its cap, against the budget of 100 ms. Then
// the notes' "Show all" row chosen: the rest of the notes put in.
void FirstFill(int entries) {
    std::string bytes;
    unsigned seed = 11;
    for (int i = 0; i < 2 * entries; ++i) {
        bytes += test::Record(i % 2 == 0 ? kNotesCategory : kHistoryCategory, 46000.0 + i,
                              Text(seed, 300));
    }
    std::vector<double> fills, showAlls;
    std::pair<size_t, size_t> shown, all;
    for (int round = 0; round < 3; ++round) {
        test::FakeClipboard clipboard;
        int window = 0;
        Tree tree;
        CClipboardHandler handler(clipboard, PlatformFileSystem());
        handler.Bind(&tree.View(), &window);
        handler.SetHistorySize(static_cast<size_t>(entries));
        test::MemoryReadStream in(bytes);
        handler.LoadRecords(in);
        const auto start = std::chrono::steady_clock::now();
        handler.AddCategories();
        tree.Refresh(handler);
        tree.ExpandHistory();
        fills.push_back(Seconds(start));
        shown = RowsAndEntries(handler);
        const auto showAll = std::chrono::steady_clock::now();
        handler.ShowAll(kNotesCategory);
        tree.Refresh(handler);
        showAlls.push_back(Seconds(showAll));
        all = RowsAndEntries(handler);
    }
    std::printf(
        "  first fill with %d history entries and %d notes loaded (%zu rows for %zu entries): "
        "%.3f ms, ratio to 100 ms %.2f; Show all of the notes (%zu rows): %.3f ms\n",
        entries, entries, shown.first, shown.second, Median(fills) * 1e3, Median(fills) / 0.1,
        all.first, Median(showAlls) * 1e3);
}

int Run() {
    const std::string records = Records();
    test::FakeClipboard clipboard;
    int window = 0;
    Tree tree;
    CClipboardHandler handler(clipboard, PlatformFileSystem());
    handler.Bind(&tree.View(), &window);
    test::MemoryReadStream in(records);
    handler.LoadRecords(in);
    handler.AddCategories();
    handler.RefreshTree();
    tree.ExpandHistory();
    // The plain scan's copy of the texts, each followed by a zero unit: one after another,
    // oldest first, as the loaded texts lie in memory, and scanned in the list's order.
    size_t units = 0;
    for (const auto& item : handler.Items()) {
        units += item->Text.size();
    }
    std::u16string copy;
    copy.reserve(units + handler.Items().size());
    std::vector<std::u16string_view> texts(handler.Items().size());
    auto text = texts.rbegin();
    for (auto item = handler.Items().rbegin(); item != handler.Items().rend(); ++item, ++text) {
        *text = std::u16string_view(copy.data() + copy.size(), (*item)->Text.size());
        copy.append(std::u16string_view((*item)->Text));
        copy.push_back(u'\0');
    }
    std::printf(
        "bench_filter (%s): %d notes and %d history items, %zu units, median of %d "
        "rounds\n",
        kTreeName, kNotes, kHistory, units, kRounds);
    SystemCaseFolding();                         // built once per run, at the first search
    Keystroke(handler, tree, texts, u"", u"q");  // the first key: most entries go
    Keystroke(handler, tree, texts, u"quarterl",
              u"quarterly");  // a later key: the tree hardly changes
    Keystroke(handler, tree, texts, u"invoice", u"invoice 2");  // few matches left
    std::printf("the popup's first fill after the start (budget 100 ms)\n");
    for (const int entries : {10000, 100000}) {
        FirstFill(entries);
    }
    return 0;
}

}  // namespace
}  // namespace snipora

int main() {
    return snipora::Run();
}
