#include "view/ColourTextWin.h"

#include <dwrite_2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "log/Logger.h"
#include "view/Palette.h"
#include "view/ThemeWin.h"
#include "win/Com.h"
#include "win/SystemLibrary.h"

namespace snipora {
namespace {

using win::UniqueCom;

// Each reason is written once in the process's life, however many popups and rows meet it.
void LogOnce(std::atomic<bool>& said, const char* text, HRESULT result) {
    if (!said.exchange(true)) {
        char line[160];
        std::snprintf(line, sizeof line, "%s (0x%08lX); emoji are drawn in one colour", text,
                      static_cast<unsigned long>(result));
        LogInfo(line);
    }
}
std::atomic<bool> saidUnavailable{false};
std::atomic<bool> saidFailed{false};

// The family's English name, or its first.
std::wstring FamilyName(IDWriteFont& font) {
    UniqueCom<IDWriteFontFamily> family;
    UniqueCom<IDWriteLocalizedStrings> names;
    if (FAILED(font.GetFontFamily(family.Out())) || FAILED(family->GetFamilyNames(names.Out()))) {
        return {};
    }
    UINT32 index = 0;
    BOOL exists = FALSE;
    if (FAILED(names->FindLocaleName(L"en-us", &index, &exists)) || !exists) {
        index = 0;
    }
    UINT32 length = 0;
    if (FAILED(names->GetStringLength(index, &length))) {
        return {};
    }
    std::wstring name(length + 1, L'\0');
    if (FAILED(names->GetString(index, name.data(), length + 1))) {
        return {};
    }
    name.resize(length);
    return name;
}

// The DirectWrite family of the font selected into `dc`: the one its LOGFONT names, else the
// face GDI actually chose for it (where GDI substitutes a font that DirectWrite does not list
// under the LOGFONT's name).
std::wstring FamilyOfSelectedFont(IDWriteFactory2& factory, IDWriteGdiInterop& interop, HDC dc,
                                  const LOGFONTW& logFont) {
    UniqueCom<IDWriteFont> font;
    if (SUCCEEDED(interop.CreateFontFromLOGFONT(&logFont, font.Out()))) {
        if (std::wstring name = FamilyName(*font.Get()); !name.empty()) {
            return name;
        }
    }
    wchar_t face[LF_FACESIZE] = {};
    UniqueCom<IDWriteFontCollection> fonts;
    UINT32 index = 0;
    BOOL exists = FALSE;
    if (::GetTextFaceW(dc, LF_FACESIZE, face) > 0 &&
        SUCCEEDED(factory.GetSystemFontCollection(fonts.Out(), FALSE)) &&
        SUCCEEDED(fonts->FindFamilyName(face, &index, &exists)) && exists) {
        return face;
    }
    return {};
}

// Draws a layout's glyph runs onto the bitmap target, colour glyphs layer by layer; or, without
// a target, only finds out whether a run comes from a colour font. Lives on the stack for one
// line: its reference count is not used.
class LayerRenderer final : public IDWriteTextRenderer {
public:
    LayerRenderer(IDWriteFactory2& factory, IDWriteBitmapRenderTarget* target,
                  IDWriteRenderingParams& params, COLORREF text)
        : factory_(factory), target_(target), params_(params), text_(text) {}

    // Without a target: whether a run came from a colour font.
    bool Coloured() const { return coloured_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == __uuidof(IUnknown) || id == __uuidof(IDWritePixelSnapping) ||
            id == __uuidof(IDWriteTextRenderer)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE IsPixelSnappingDisabled(void*, BOOL* disabled) override {
        *disabled = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentTransform(void*, DWRITE_MATRIX* transform) override {
        *transform = DWRITE_MATRIX{1, 0, 0, 1, 0, 0};
        return S_OK;
    }
    // The layout is made in pixels.
    HRESULT STDMETHODCALLTYPE GetPixelsPerDip(void*, FLOAT* pixelsPerDip) override {
        *pixelsPerDip = 1.0f;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DrawGlyphRun(void*, FLOAT x, FLOAT y, DWRITE_MEASURING_MODE mode,
                                           const DWRITE_GLYPH_RUN* run,
                                           const DWRITE_GLYPH_RUN_DESCRIPTION* description,
                                           IUnknown*) override {
        if (run->glyphCount == 0 || (target_ == nullptr && coloured_)) {
            return S_OK;
        }
        if (target_ == nullptr) {
            UniqueCom<IDWriteFontFace2> face;
            coloured_ = SUCCEEDED(run->fontFace->QueryInterface(
                            __uuidof(IDWriteFontFace2), reinterpret_cast<void**>(face.Out()))) &&
                        face->IsColorFont();
            return S_OK;
        }
        UniqueCom<IDWriteColorGlyphRunEnumerator> layers;
        HRESULT result =
            factory_.TranslateColorGlyphRun(x, y, run, description, mode, nullptr, 0, layers.Out());
        if (result == DWRITE_E_NOCOLOR) {
            return target_->DrawGlyphRun(x, y, mode, run, &params_, text_, nullptr);
        }
        if (FAILED(result)) {
            return result;
        }
        BOOL more = FALSE;
        while (SUCCEEDED(result = layers->MoveNext(&more)) && more) {
            const DWRITE_COLOR_GLYPH_RUN* layer = nullptr;
            if (FAILED(result = layers->GetCurrentRun(&layer))) {
                return result;
            }
            const GlyphLayer paint{layer->paletteIndex, layer->runColor.r, layer->runColor.g,
                                   layer->runColor.b, layer->runColor.a};
            if (const auto colour = LayerColour(paint, FromColorRef(text_))) {
                result =
                    target_->DrawGlyphRun(layer->baselineOriginX, layer->baselineOriginY, mode,
                                          &layer->glyphRun, &params_, ToColorRef(*colour), nullptr);
                if (FAILED(result)) {
                    return result;
                }
            }
        }
        return result;
    }

    // Captions have no underlines, strikethroughs or inline objects.
    HRESULT STDMETHODCALLTYPE DrawUnderline(void*, FLOAT, FLOAT, const DWRITE_UNDERLINE*,
                                            IUnknown*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawStrikethrough(void*, FLOAT, FLOAT, const DWRITE_STRIKETHROUGH*,
                                                IUnknown*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawInlineObject(void*, FLOAT, FLOAT, IDWriteInlineObject*, BOOL,
                                               BOOL, IUnknown*) override {
        return S_OK;
    }

private:
    IDWriteFactory2& factory_;
    IDWriteBitmapRenderTarget* target_;
    IDWriteRenderingParams& params_;
    COLORREF text_;
    bool coloured_ = false;
};

}  // namespace

struct ColourText::Parts {
    // First, so that it is freed after every object that its code made.
    win::SystemLibrary library{L"dwrite.dll"};
    UniqueCom<IDWriteFactory2> factory;
    UniqueCom<IDWriteGdiInterop> interop;
    UniqueCom<IDWriteRenderingParams> params;
    UniqueCom<IDWriteTextFormat> format;
    UniqueCom<IDWriteBitmapRenderTarget> target;
    int targetWidth = 0, targetHeight = 0;
    int ascent = 0;  // GDI's, from the top of a line to its baseline
};

std::unique_ptr<ColourText> ColourText::Create(HDC dc) {
    auto parts = std::make_unique<Parts>();
    using CreateFactory = HRESULT(WINAPI*)(DWRITE_FACTORY_TYPE, REFIID, IUnknown**);
    const auto create = parts->library.Find<CreateFactory>("DWriteCreateFactory");
    if (create == nullptr) {
        LogOnce(saidUnavailable, "DirectWrite is missing", HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
        return nullptr;
    }
    HRESULT result = create(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory2),
                            reinterpret_cast<IUnknown**>(parts->factory.Out()));
    if (FAILED(result)) {
        LogOnce(saidUnavailable, "DirectWrite has no colour glyphs", result);
        return nullptr;
    }
    LOGFONTW logFont{};
    TEXTMETRICW metrics{};
    const auto font = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    if (font == nullptr || ::GetObjectW(font, sizeof logFont, &logFont) != sizeof logFont ||
        !::GetTextMetricsW(dc, &metrics)) {
        LogOnce(saidUnavailable, "The row's font cannot be read", E_FAIL);
        return nullptr;
    }
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = L"en-us";
    if (::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) == 0) {
        std::copy_n(L"en-us", 6, locale);
    }
    std::wstring family;
    if (FAILED(result = parts->factory->GetGdiInterop(parts->interop.Out())) ||
        (family = FamilyOfSelectedFont(*parts->factory.Get(), *parts->interop.Get(), dc, logFont))
            .empty() ||
        FAILED(result = parts->factory->CreateRenderingParams(parts->params.Out())) ||
        FAILED(result = parts->factory->CreateTextFormat(
                   family.c_str(), nullptr,
                   static_cast<DWRITE_FONT_WEIGHT>(logFont.lfWeight != 0 ? logFont.lfWeight
                                                                         : FW_NORMAL),
                   logFont.lfItalic ? DWRITE_FONT_STYLE_ITALIC : DWRITE_FONT_STYLE_NORMAL,
                   DWRITE_FONT_STRETCH_NORMAL,
                   // The em, in pixels: the cell less the room above the letters.
                   static_cast<float>(metrics.tmHeight - metrics.tmInternalLeading), locale,
                   parts->format.Out())) ||
        FAILED(result = parts->format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP))) {
        LogOnce(saidUnavailable, "DirectWrite cannot use the row's font",
                FAILED(result) ? result : DWRITE_E_NOFONT);
        return nullptr;
    }
    parts->ascent = metrics.tmAscent;
    return std::unique_ptr<ColourText>(new ColourText(std::move(parts)));
}

ColourText::ColourText(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

ColourText::~ColourText() = default;

bool ColourText::EnsureTarget(int width, int height) {
    Parts& parts = *parts_;
    if (parts.target && width <= parts.targetWidth && height <= parts.targetHeight) {
        return true;
    }
    width = std::max(width, parts.targetWidth);
    height = std::max(height, parts.targetHeight);
    UniqueCom<IDWriteBitmapRenderTarget> target;
    if (FAILED(parts.interop->CreateBitmapRenderTarget(
            nullptr, static_cast<UINT32>(width), static_cast<UINT32>(height), target.Out())) ||
        FAILED(target->SetPixelsPerDip(1.0f))) {
        return false;
    }
    parts.target = std::move(target);
    parts.targetWidth = width;
    parts.targetHeight = height;
    return true;
}

ColourText::Outcome ColourText::Draw(HDC dc, int x, int y, const RECT& clip,
                                     std::u16string_view line, bool monochromeToo) {
    // The part of the clip rectangle that the context has pixels for.
    RECT visible{}, area{};
    if (line.empty() || ::GetClipBox(dc, &visible) == ERROR ||
        !::IntersectRect(&area, &clip, &visible)) {
        return Outcome::Drawn;  // nothing of it shows
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    Parts& parts = *parts_;
    UniqueCom<IDWriteTextLayout> layout;
    std::vector<DWRITE_LINE_METRICS> lines(1);
    UINT32 count = 0;
    HRESULT result = parts.factory->CreateGdiCompatibleTextLayout(
        reinterpret_cast<const wchar_t*>(line.data()), static_cast<UINT32>(line.size()),
        parts.format.Get(), static_cast<float>(std::max<LONG>(clip.right - x, 1)),
        static_cast<float>(height), 1.0f, nullptr, FALSE, layout.Out());
    if (SUCCEEDED(result)) {
        // A line separator inside the line makes more than one.
        result = layout->GetLineMetrics(lines.data(), 1, &count);
        if (result == E_NOT_SUFFICIENT_BUFFER) {
            lines.resize(count);
            result = layout->GetLineMetrics(lines.data(), count, &count);
        }
    }
    // The first line's baseline goes where GDI's would be.
    const float left = static_cast<float>(x - area.left);
    const float top = static_cast<float>(y - area.top + parts.ascent) - lines[0].baseline;
    if (SUCCEEDED(result) && count > 0 && !monochromeToo) {
        // A pass that only looks at the fonts, cheaper than drawing: most such lines have no
        // colour font in them where the system has none.
        LayerRenderer probe(*parts.factory.Get(), nullptr, *parts.params.Get(), 0);
        result = layout->Draw(nullptr, &probe, left, top);
        if (SUCCEEDED(result) && !probe.Coloured()) {
            return Outcome::NoColour;
        }
    }
    if (FAILED(result) || count == 0 || !EnsureTarget(width, height)) {
        LogOnce(saidFailed, "DirectWrite could not lay out a row",
                FAILED(result) ? result : E_FAIL);
        return Outcome::Failed;
    }
    HDC bitmap = parts.target->GetMemoryDC();
    ::BitBlt(bitmap, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    LayerRenderer renderer(*parts.factory.Get(), parts.target.Get(), *parts.params.Get(),
                           ::GetTextColor(dc));
    result = layout->Draw(nullptr, &renderer, left, top);
    if (FAILED(result)) {
        LogOnce(saidFailed, "DirectWrite could not draw a row", result);
        return Outcome::Failed;
    }
    ::BitBlt(dc, area.left, area.top, width, height, bitmap, 0, 0, SRCCOPY);
    return Outcome::Drawn;
}

}  // namespace snipora
