// Times saving and loading the data file against writing and reading the same bytes with plain
// file calls, in the same run, and prints the ratios. Then the budgets of a long history, at each
// number of entries per list given (10,000 and 100,000 unless told), each against its baseline
// of the same run: the start (load and journal replay) against a plain read of the same files,
// the bytes a capture writes against 4 KB plus its text, one keystroke of the search against a
// plain scan of the texts, and the private memory against 1.5 times the texts' UTF-16 size plus
// 16 MB. And the time a delete takes until no file holds the deleted text: the save's delay, then
// the fold that writes the data file anew. Then, with the files sealed (AES-256-GCM through the
// system on Windows; the tests' stand-in cipher elsewhere), the start and the fold against the
// same in plain files plus the cipher alone over the same bytes, in records as the files hold
// them, and the bytes a sealed capture writes against 4 KB plus its text and the nonce and tag.
//
//   bench_store [repetitions [entries per list...]]
//
// Cases: 25 history items of 1 MB each, and 10,000 notes of 100 characters.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>

#include "store/KeyVaultWin.h"
#else
#include "support/FakeCipher.h"
#endif

#include "common/Utf.h"
#include "store/DataBase.h"
#include "store/Journal.h"
#include "store/SealedFiles.h"
#include "view/ClipboardHandler.h"
#include "view/TextFilter.h"

using namespace snipora;

namespace {

// A clipboard that hands out prepared texts, so the database fills itself the ordinary way.
class ScriptedClipboard final : public IClipboard {
public:
    std::u16string next;
    bool HasText() override { return true; }
    bool IsPrivate(WindowHandle) override { return false; }
    ClipboardRead ReadText(WindowHandle, StoredText& text) override {
        text = std::u16string_view(next);
        return ClipboardRead::Text;
    }
    bool WriteText(WindowHandle, std::u16string_view) override { return true; }
};

double Seconds(const std::function<void()>& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "bench_store: %s failed\n", what);
        std::exit(1);
    }
}

void PlainWrite(const std::filesystem::path& path, const std::string& bytes, bool durable) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    Check(f != nullptr, "fopen for writing");
    Check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(), "fwrite");
    Check(std::fflush(f) == 0, "fflush");
    if (durable) {
#ifdef _WIN32
        Check(_commit(_fileno(f)) == 0, "_commit");
#else
        Check(fsync(fileno(f)) == 0, "fsync");
#endif
    }
    std::fclose(f);
}

std::string PlainRead(const std::filesystem::path& path, size_t size) {
    std::string bytes(size, '\0');
    std::FILE* f = std::fopen(path.string().c_str(), "rb");
    Check(f != nullptr, "fopen for reading");
    Check(std::fread(bytes.data(), 1, size, f) == size, "fread");
    std::fclose(f);
    return bytes;
}

// Any reader of the file looks at each of its bytes at least once: the plain read sums them,
// eight at a time.
uint64_t Sum(const std::string& bytes) {
    uint64_t sum = 0;
    size_t i = 0;
    for (; i + sizeof sum <= bytes.size(); i += sizeof sum) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        sum += word;
    }
    for (; i < bytes.size(); ++i) {
        sum += static_cast<unsigned char>(bytes[i]);
    }
    return sum;
}

void RunCase(const char* name, size_t items, size_t units, int32_t category, int repetitions,
             const std::filesystem::path& dir) {
    ScriptedClipboard clipboard;
    CDataBase db(clipboard, PlatformFileSystem());
    int window = 0;
    db.SetWindow(&window);
    for (size_t i = 0; i < items; ++i) {
        clipboard.next.assign(units, static_cast<char16_t>(u'a' + i % 26));
        db.CaptureClipboard();
        if (category != kHistoryCategory) {
            db.MoveToCategory(db.Items().front()->Id, category);
        }
    }
    const auto data = dir / "data.dat";
    const auto plain = dir / "plain.dat";
    const auto plainDurable = dir / "plain-durable.dat";
    Check(db.SaveToFile(data), "save");
    const size_t size = static_cast<size_t>(std::filesystem::file_size(data));
    const std::string bytes = PlainRead(data, size);
    const uint64_t sum = Sum(bytes);

    std::vector<double> save, load, write, writeDurable, read;
    for (int r = 0; r < repetitions; ++r) {
        save.push_back(Seconds([&] { db.SaveToFile(data); }));
        write.push_back(Seconds([&] { PlainWrite(plain, bytes, false); }));
        writeDurable.push_back(Seconds([&] {
            PlainWrite(plainDurable, bytes, true);
            std::filesystem::rename(plainDurable, plain);
        }));
        CDataBase loaded(clipboard, PlatformFileSystem());
        load.push_back(Seconds([&] { loaded.LoadFromFile(data); }));
        Check(loaded.Items().size() == items, "load count");
        read.push_back(Seconds([&] { Check(Sum(PlainRead(plain, size)) == sum, "read"); }));
    }
    const double s = Median(save), l = Median(load), w = Median(write), wd = Median(writeDurable),
                 rd = Median(read);
    std::printf("%s (%zu bytes, median of %d)\n", name, size, repetitions);
    std::printf("  save  %9.3f ms   plain write %9.3f ms  ratio %.2f\n", s * 1e3, w * 1e3, s / w);
    std::printf("        %9s      plain write+flush+rename %9.3f ms  ratio %.2f\n", "", wd * 1e3,
                s / wd);
    std::printf("  load  %9.3f ms   plain read  %9.3f ms  ratio %.2f\n", l * 1e3, rd * 1e3, l / rd);
}

constexpr size_t kEntryUnits = 300;

// A text of words, different for each seed, as long as an entry.
std::u16string EntryText(uint32_t seed) {
    static const char16_t* const kWords[] = {u"invoice", u"Quarterly", u"meeting",    u"address",
                                             u"snippet", u"report",    u"budget",     u"\u00fcber",
                                             u"notes",   u"2026",      u"Stra\u00dfe"};
    std::u16string text;
    while (text.size() < kEntryUnits) {
        seed = seed * 1103515245u + 12345u;
        text += kWords[(seed >> 16) % std::size(kWords)];
        text += u' ';
    }
    text.resize(kEntryUnits);
    return text;
}

// The process's private memory in bytes, or 0 where it cannot be read.
uint64_t PrivateBytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters)) {
        // Both are the process's commit charge; some systems fill in only the older field.
        return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    }
    return 0;
#else
    // Linux: the anonymous pages in memory, which only this process holds.
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) {
        return 0;
    }
    char line[256];
    uint64_t kb = 0;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::sscanf(line, "RssAnon: %llu kB", reinterpret_cast<unsigned long long*>(&kb)) ==
            1) {
            break;
        }
    }
    std::fclose(f);
    return kb * 1024;
#endif
}

size_t PlainScan(const std::vector<std::u16string>& texts, const std::u16string& filter) {
    size_t found = 0;
    for (const auto& text : texts) {
        found += text.find(filter) != std::u16string::npos;
    }
    return found;
}

// One keystroke of the search from `before` to `after` over the whole lists (the filter and the
// tree's model; the control's own cost is measured by bench_tree and bench_filter) against a
// plain case-sensitive scan of the same texts.
double KeystrokeRatio(CClipboardHandler& handler, const std::vector<std::u16string>& texts,
                      const std::u16string& before, const std::u16string& after, int repetitions) {
    std::vector<double> keys, scans;
    for (int r = 0; r < repetitions; ++r) {
        TextFilter filter(before, SystemCaseFolding());
        handler.SetFilter(&filter);
        handler.RefreshTree();
        keys.push_back(Seconds([&] {
            filter = TextFilter(after, SystemCaseFolding());
            handler.RefreshTree();
        }));
        handler.SetFilter(nullptr);
        handler.RefreshTree();
        PlainScan(texts, before);
        scans.push_back(Seconds([&] { Check(PlainScan(texts, after) > 0, "scan"); }));
    }
    const double k = Median(keys), s = Median(scans);
    std::printf(
        "  search \"%s\" -> \"%s\"  %9.3f ms   plain scan %9.3f ms   ratio %.2f (budget 3)\n",
        Utf16ToUtf8(before).c_str(), Utf16ToUtf8(after).c_str(), k * 1e3, s * 1e3, k / s);
    return k / s;
}

// The data file's bytes for `entries` history entries and as many notes, alternating, oldest
// first: per record its category, capture time and length, then the UTF-16 text.
std::string BudgetRecords(size_t entries) {
    std::string bytes;
    for (size_t i = 0; i < 2 * entries; ++i) {
        const int32_t category = i % 2 == 0 ? kNotesCategory : kHistoryCategory;
        const double time = 46000.0 + static_cast<double>(i) * 1e-4;
        const std::u16string text = EntryText(static_cast<uint32_t>(i));
        const auto units = static_cast<uint32_t>(text.size());
        bytes.append(reinterpret_cast<const char*>(&category), sizeof category);
        bytes.append(reinterpret_cast<const char*>(&time), sizeof time);
        bytes.append(reinterpret_cast<const char*>(&units), sizeof units);
        bytes.append(reinterpret_cast<const char*>(text.data()), 2 * text.size());
    }
    return bytes;
}

// The budgets with `entries` history entries and as many notes of kEntryUnits characters.
void RunBudget(size_t entries, int repetitions, const std::filesystem::path& dir) {
    const auto data = dir / "budget.dat";
    const auto journalPath = dir / "budget.dat.journal";
    const FilePath dataPath(data);
    PlainWrite(data, BudgetRecords(entries), false);
    const auto fileBytes = static_cast<size_t>(std::filesystem::file_size(data));
    ScriptedClipboard clipboard;
    int window = 0;

    // First, while the process holds little else: what the loaded lists take.
    const uint64_t memoryBefore = PrivateBytes();
    CClipboardHandler handler(clipboard, PlatformFileSystem());
    handler.Bind(nullptr, &window);
    handler.SetHistorySize(entries);
    Check(handler.LoadFromFile(dataPath), "load");
    handler.AddCategories();
    handler.RefreshTree();
    // A capture, so that the index of the history's texts that it builds is counted too.
    clipboard.next = EntryText(static_cast<uint32_t>(5 * entries));
    handler.CaptureClipboard();
    handler.RefreshTree();
    const uint64_t memory = PrivateBytes();
    Check(handler.Items().size() == 2 * entries, "loaded count");

    // Captures into a full history, each pushing out the oldest entry and appended alone.
    const size_t captures = 100;
    uint64_t captureBytes = 0;
    {
        CDataBase db(clipboard, PlatformFileSystem());
        db.SetWindow(&window);
        db.SetHistorySize(entries);
        CJournal journal(PlatformFileSystem());
        Check(!journal.Load(db, dataPath), "load without a journal");
        for (size_t i = 0; i < captures; ++i) {
            clipboard.next = EntryText(static_cast<uint32_t>(3 * entries + i));
            const uint64_t before = journal.Bytes();
            db.CaptureClipboard();
            Check(journal.Append(db, dataPath), "append");
            captureBytes = std::max(captureBytes, journal.Bytes() - before);
        }
    }
    const auto journalBytes = static_cast<size_t>(std::filesystem::file_size(journalPath));
    std::printf(
        "%zu history entries and %zu notes of %zu characters (%zu + %zu bytes, median of "
        "%d)\n",
        entries, entries, kEntryUnits, fileBytes, journalBytes, repetitions);

    // The start reads the data file and replays the journal of those captures onto it.
    std::vector<double> starts, reads;
    for (int r = 0; r < repetitions; ++r) {
        CDataBase db(clipboard, PlatformFileSystem());
        db.SetHistorySize(entries);
        CJournal journal(PlatformFileSystem());
        starts.push_back(Seconds([&] { Check(journal.Load(db, dataPath), "replay"); }));
        Check(db.Items().size() == 2 * entries, "replayed count");
        reads.push_back(Seconds([&] {
            PlainRead(data, fileBytes);
            PlainRead(journalPath, journalBytes);
        }));
    }
    const double st = Median(starts), rd = Median(reads);
    std::printf("  start (load + replay)  %9.3f ms   plain read %9.3f ms   ratio %.2f (budget 2)\n",
                st * 1e3, rd * 1e3, st / rd);
    // A delete of a text in the journal and one in the data file, until neither file holds them.
    {
        CDataBase db(clipboard, PlatformFileSystem());
        db.SetWindow(&window);
        db.SetHistorySize(entries);
        CJournal journal(PlatformFileSystem());
        Check(journal.Load(db, dataPath), "load with a journal");
        journal.Fold(db, dataPath);
        clipboard.next = u"a secret copied just now";
        db.CaptureClipboard();
        Check(journal.Append(db, dataPath), "append the secret");
        const std::u16string old(std::u16string_view(db.Items().back()->Text));
        const double fold = Seconds([&] {
            Check(db.DeleteItem(db.Items().front()->Id), "delete the new");
            Check(db.DeleteItem(db.Items().back()->Id), "delete the old");
            journal.Fold(db, dataPath);
        });
        for (const std::u16string& text : {clipboard.next, old}) {
            const std::string units(reinterpret_cast<const char*>(text.data()), 2 * text.size());
            for (const auto& path : {data, journalPath}) {
                Check(!std::filesystem::exists(path) ||
                          PlainRead(path, static_cast<size_t>(std::filesystem::file_size(path)))
                                  .find(units) == std::string::npos,
                      "the deleted text gone from the files");
            }
        }
        std::printf(
            "  a delete, until no file holds its text  %9.3f ms (the save's delay of 500 ms and "
            "the fold of %.3f ms)\n",
            500.0 + fold * 1e3, fold * 1e3);
    }
    // Forgetting's first pass works out the instant of each loaded entry from its local time;
    // later passes find them worked out.
    {
        CDataBase db(clipboard, PlatformFileSystem());
        db.SetHistorySize(entries);
        Check(db.LoadFromFile(dataPath), "load to forget");
        const double first = Seconds([&] { db.ForgetHistory(525600); });
        const double next = Seconds([&] { db.ForgetHistory(525600); });
        std::printf("  forgetting, first pass %9.3f ms   a later pass %9.3f ms\n", first * 1e3,
                    next * 1e3);
    }
    const double allowed = 4096.0 + 2.0 * kEntryUnits;
    std::printf(
        "  a capture writes       %9llu B    4 KB + text %8.0f B    ratio %.2f (budget 1)\n",
        static_cast<unsigned long long>(captureBytes), allowed, captureBytes / allowed);

    std::vector<std::u16string> texts;
    uint64_t units = 0;
    for (const auto& item : handler.Items()) {
        texts.emplace_back(std::u16string_view(item->Text));
        units += item->Text.size();
    }
    // The process holds little but the lists here; what loading them added is shown as well.
    const double budget = 1.5 * 2.0 * static_cast<double>(units) + 16.0 * 1048576;
    if (memory == 0) {
        std::printf("  private memory         not measurable here\n");
    } else {
        const double added = static_cast<double>(memory - std::min(memory, memoryBefore));
        std::printf(
            "  private memory         %9.1f MB   1.5 x text + 16 MB %7.1f MB   ratio %.2f "
            "(budget 1; the lists added %.1f MB)\n",
            memory / 1048576.0, budget / 1048576.0, memory / budget, added / 1048576.0);
    }
    SystemCaseFolding();  // built once per run, at the first search
    KeystrokeRatio(handler, texts, u"", u"b", repetitions);
    // Each later key reads only the texts that passed the key before: nearly all of them after
    // "invoice", about a quarter after "invoice budget".
    KeystrokeRatio(handler, texts, u"invoice", u"invoice b", repetitions);
    KeystrokeRatio(handler, texts, u"invoice budget", u"invoice budget ", repetitions);
    KeystrokeRatio(handler, texts, u"invoice b", u"invoice ", repetitions);  // Backspace
    std::filesystem::remove(journalPath);
}

IKeyVault& BenchVault() {
#ifdef _WIN32
    return PlatformKeyVault();
#else
    static test::FakeKeyVault vault;
    return vault;
#endif
}

// The time the cipher alone takes to seal, or to open, `bytes` in records as a sealed file holds
// them.
double CipherAlone(ICipher& cipher, const std::string& bytes, bool open) {
    std::vector<std::string> sealed;
    uint8_t nonce[ICipher::kNonceBytes] = {};
    for (size_t at = 0; at < bytes.size(); at += kSealedRecordBytes) {
        const size_t n = std::min(kSealedRecordBytes, bytes.size() - at);
        sealed.emplace_back(n + ICipher::kTagBytes, '\0');
        std::memcpy(nonce, &at, sizeof(uint32_t));
        cipher.Seal(nonce, "W1234", bytes.data() + at, n, sealed.back().data());
    }
    std::string out(kSealedRecordBytes + ICipher::kTagBytes, '\0');
    return Seconds([&] {
        size_t i = 0;
        for (size_t at = 0; at < bytes.size(); at += kSealedRecordBytes, ++i) {
            const size_t n = std::min(kSealedRecordBytes, bytes.size() - at);
            std::memcpy(nonce, &at, sizeof(uint32_t));
            if (open) {
                Check(cipher.Open(nonce, "W1234", sealed[i].data(), sealed[i].size(), out.data()),
                      "open");
            } else {
                cipher.Seal(nonce, "W1234", bytes.data() + at, n, out.data());
            }
        }
    });
}

// The sealed files' rows with `entries` history entries and as many notes: both forms of the
// lists, each with a journal of 100 captures.
void RunSealedBudget(size_t entries, int repetitions, const std::filesystem::path& dir) {
    const auto plain = dir / "plain-budget.dat";
    const auto sealed = dir / "sealed-budget.dat";
    const FilePath plainPath(plain), sealedPath(sealed);
    PlainWrite(plain, BudgetRecords(entries), false);
    ScriptedClipboard clipboard;
    int window = 0;
    IKeyVault& vault = BenchVault();
    uint64_t captureBytes = 0;
    {
        SealingFileSystem files(PlatformFileSystem(), vault);
        files.SetSealing(true);
        CDataBase db(clipboard, files);
        db.SetWindow(&window);
        db.SetHistorySize(entries);
        CJournal journal(files);
        journal.Load(db, plainPath);
        journal.Fold(db, sealedPath);
        CDataBase lists(clipboard, PlatformFileSystem());
        lists.SetWindow(&window);
        lists.SetHistorySize(entries);
        CJournal plainJournal(PlatformFileSystem());
        plainJournal.Load(lists, plainPath);
        const auto sealedJournal = dir / "sealed-budget.dat.journal";
        for (size_t i = 0; i < 100; ++i) {
            clipboard.next = EntryText(static_cast<uint32_t>(3 * entries + i));
            const uint64_t before = std::filesystem::exists(sealedJournal)
                                        ? std::filesystem::file_size(sealedJournal)
                                        : 0;
            db.CaptureClipboard();
            Check(journal.Append(db, sealedPath), "sealed append");
            captureBytes = std::max<uint64_t>(captureBytes,
                                              std::filesystem::file_size(sealedJournal) - before);
            lists.CaptureClipboard();
            Check(plainJournal.Append(lists, plainPath), "plain append");
        }
    }
    const std::string plainBytes =
        PlainRead(plain, static_cast<size_t>(std::filesystem::file_size(plain)));
    const auto plainLog = dir / "plain-budget.dat.journal";
    const std::string logBytes =
        PlainRead(plainLog, static_cast<size_t>(std::filesystem::file_size(plainLog)));
    const std::shared_ptr<ICipher> cipher = vault.NewKey().Cipher;
    std::vector<double> plainStarts, sealedStarts, opens, plainFolds, sealedFolds, seals;
    for (int r = 0; r < repetitions; ++r) {
        CDataBase a(clipboard, PlatformFileSystem());
        a.SetHistorySize(entries);
        CJournal aj(PlatformFileSystem());
        plainStarts.push_back(Seconds([&] { Check(aj.Load(a, plainPath), "plain start"); }));
        // A new run: the key is opened from its blob again.
        SealingFileSystem files(PlatformFileSystem(), vault);
        files.SetSealing(true);
        CDataBase b(clipboard, files);
        b.SetHistorySize(entries);
        CJournal bj(files);
        sealedStarts.push_back(Seconds([&] { Check(bj.Load(b, sealedPath), "sealed start"); }));
        Check(a.Items().size() == b.Items().size(), "both forms hold the same lists");
        opens.push_back(CipherAlone(*cipher, plainBytes, true) +
                        CipherAlone(*cipher, logBytes, true));
        // The folds write the lists anew; the journals stay for the next start.
        const auto keep = [&](const std::filesystem::path& log) {
            std::filesystem::copy_file(log, dir / "kept.journal",
                                       std::filesystem::copy_options::overwrite_existing);
        };
        const auto putBack = [&](const std::filesystem::path& log) {
            std::filesystem::rename(dir / "kept.journal", log);
        };
        std::string plainBefore = PlainRead(plain, plainBytes.size());
        keep(plainLog);
        plainFolds.push_back(Seconds([&] { aj.Fold(a, plainPath); }));
        putBack(plainLog);
        PlainWrite(plain, plainBefore, false);
        const std::string sealedBefore =
            PlainRead(sealed, static_cast<size_t>(std::filesystem::file_size(sealed)));
        keep(dir / "sealed-budget.dat.journal");
        sealedFolds.push_back(Seconds([&] { bj.Fold(b, sealedPath); }));
        putBack(dir / "sealed-budget.dat.journal");
        PlainWrite(sealed, sealedBefore, false);
        seals.push_back(CipherAlone(*cipher, plainBefore, false));
    }
    const double ps = Median(plainStarts), ss = Median(sealedStarts), op = Median(opens),
                 pf = Median(plainFolds), sf = Median(sealedFolds), se = Median(seals);
    std::printf(
        "  sealed start          %9.3f ms   plain start %9.3f ms   cipher alone %9.3f ms"
        "   ratio %.2f (budget 1.2)\n",
        ss * 1e3, ps * 1e3, op * 1e3, (ss - ps) / op);
    std::printf(
        "  sealed fold           %9.3f ms   plain fold  %9.3f ms   cipher alone %9.3f ms"
        "   ratio %.2f (budget 1.2)\n",
        sf * 1e3, pf * 1e3, se * 1e3, (sf - pf) / se);
    const double allowed = 4096.0 + 2.0 * kEntryUnits + ICipher::kNonceBytes + ICipher::kTagBytes;
    std::printf(
        "  a sealed capture writes %7llu B    4 KB + text + nonce and tag %6.0f B   ratio "
        "%.2f (budget 1)\n",
        static_cast<unsigned long long>(captureBytes), allowed, captureBytes / allowed);
    for (const auto& path : {plain, sealed, plainLog, dir / "sealed-budget.dat.journal"}) {
        std::filesystem::remove(path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const auto dir = std::filesystem::temp_directory_path() / "snipora-bench-store";
    std::filesystem::create_directories(dir);
    std::vector<size_t> sizes;
    for (int i = 2; i < argc; ++i) {
        sizes.push_back(static_cast<size_t>(std::max(1, std::atoi(argv[i]))));
    }
    if (sizes.empty()) {
        sizes = {10000, 100000};
    }
    for (const size_t entries : sizes) {
        RunBudget(std::min(entries, kMaxHistorySize), std::max(1, repetitions / 3), dir);
        RunSealedBudget(std::min(entries, kMaxHistorySize), std::max(1, repetitions / 3), dir);
    }
    RunCase("25 history items of 1 MB", 25, 512 * 1024, kHistoryCategory, repetitions, dir);
    RunCase("10,000 notes of 100 characters", 10000, 100, kNotesCategory, repetitions, dir);
    std::filesystem::remove_all(dir);
    return 0;
}
