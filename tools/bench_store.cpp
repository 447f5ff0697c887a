// Times saving and loading the data file against writing and reading the same bytes with plain
// file calls, in the same run, and prints the ratios.
//
//   bench_store [repetitions]
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

#include "common/Utf.h"
#include "store/DataBase.h"

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
        if (category != HistoryCategory) {
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

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const auto dir = std::filesystem::temp_directory_path() / "snipora-bench-store";
    std::filesystem::create_directories(dir);
    RunCase("25 history items of 1 MB", 25, 512 * 1024, HistoryCategory, repetitions, dir);
    RunCase("10,000 notes of 100 characters", 10000, 100, NotesCategory, repetitions, dir);
    std::filesystem::remove_all(dir);
    return 0;
}
