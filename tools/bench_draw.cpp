// Times drawing one caption line with an emoji in it, as a row draws it, against Uniscribe's
// string functions drawing the same line on the same bitmap in the same run: DirectWrite drawing
// it (as for a line with colour glyphs), and DirectWrite finding no colour glyph before Uniscribe
// draws it after all (as for a line whose fonts have none).

#include <windows.h>

#include <usp10.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTree.h"
#include "view/ColourTextWin.h"
#include "win/Dpi.h"
#include "win/Gdi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {
namespace {

constexpr int kLines = 2000;
constexpr int kRounds = 7;

using bench::Median;
using bench::Seconds;

const std::u16string kLine = u"Lunch at noon \U0001F600\U0001F355 see you there";
const RECT kClip{2, 12, 216, 38};

void DrawWithUniscribe(HDC dc) {
    SCRIPT_STRING_ANALYSIS analysis = nullptr;
    const auto* text = reinterpret_cast<const wchar_t*>(kLine.data());
    const int length = static_cast<int>(kLine.size());
    if (SUCCEEDED(::ScriptStringAnalyse(dc, text, length, length * 3 / 2 + 16, -1,
                                        SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, &analysis))) {
        ::ScriptStringOut(analysis, 2, 12, ETO_CLIPPED, &kClip, 0, 0, FALSE);
        ::ScriptStringFree(&analysis);
    }
}

template <typename Draw>
double MicrosecondsPerLine(Draw draw) {
    std::vector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLines; ++i) {
            draw();
        }
        rounds.push_back(Seconds(start) * 1e6 / kLines);
    }
    return Median(rounds);
}

int Run() {
    win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 218;
    info.bmiHeader.biHeight = 40;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(
        ::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win::UniqueFont font = win::MakeFont(-win::Dpi(96).FromPoints(8));
    const win::ScopedSelect selectedBitmap(dc.Get(), bitmap.Get());
    const win::ScopedSelect selectedFont(dc.Get(), font.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    const auto colourText = ColourText::Create(dc.Get());
    if (!colourText) {
        std::printf("DirectWrite cannot draw colour glyphs here: nothing to compare\n");
        return 1;
    }
    const auto directWrite = [&] { return colourText->Draw(dc.Get(), 2, 12, kClip, kLine, true); };
    const bool coloured =
        colourText->Draw(dc.Get(), 2, 12, kClip, kLine) == ColourText::Outcome::Drawn;
    const double uniscribe = MicrosecondsPerLine([&] { DrawWithUniscribe(dc.Get()); });
    const double drawn = MicrosecondsPerLine(directWrite);
    const double tried = MicrosecondsPerLine([&] {
        if (colourText->Draw(dc.Get(), 2, 12, kClip, kLine) != ColourText::Outcome::Drawn) {
            DrawWithUniscribe(dc.Get());
        }
    });
    std::printf("one caption line with two emoji (%s colour glyphs here), %d lines x %d rounds\n",
                coloured ? "with" : "without", kLines, kRounds);
    std::printf("  Uniscribe (baseline)               %8.1f us/line\n", uniscribe);
    std::printf("  DirectWrite                        %8.1f us/line  ratio %.2f\n", drawn,
                drawn / uniscribe);
    std::printf(
        "  the row's way (Uniscribe after DirectWrite where no colour) %8.1f us/line  "
        "ratio %.2f\n",
        tried, tried / uniscribe);
    return 0;
}

}  // namespace
}  // namespace snipora

int main() {
    return snipora::Run();
}
