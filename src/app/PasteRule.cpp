#include "app/PasteRule.h"

#include <algorithm>

#include "common/Names.h"

namespace snipora {

std::optional<PasteMethod> ParsePasteMethod(std::u16string_view value) {
    static constexpr std::pair<std::u16string_view, PasteMethod> kNames[] = {
        {u"auto", PasteMethod::Auto},    {u"message", PasteMethod::Message},
        {u"ctrl+v", PasteMethod::CtrlV}, {u"shift+insert", PasteMethod::ShiftInsert},
        {u"none", PasteMethod::None},
    };
    value = TrimBlanks(value);
    for (const auto& [name, method] : kNames) {
        if (EqualIgnoringCase(value, name)) {
            return method;
        }
    }
    return std::nullopt;
}

bool TakesPasteMessage(std::u16string_view windowClass) {
    // "RichEdit", "RichEdit20A/W", "RICHEDIT50W" and later versions share the prefix.
    constexpr std::u16string_view kRichEdit = u"richedit";
    return EqualIgnoringCase(windowClass, u"Edit") || EqualIgnoringCase(windowClass, u"ComboBox") ||
           (windowClass.size() >= kRichEdit.size() &&
            EqualIgnoringCase(windowClass.substr(0, kRichEdit.size()), kRichEdit));
}

PasteMethod ChoosePasteMethod(PasteMethod configured, std::u16string_view focusClass) {
    if (configured != PasteMethod::Auto) {
        return configured;
    }
    if (focusClass.empty()) {
        return PasteMethod::None;
    }
    return TakesPasteMessage(focusClass) ? PasteMethod::Message : PasteMethod::CtrlV;
}

std::vector<KeyStroke> PasteKeystrokes(PasteMethod method) {
    uint8_t modifier = 0;
    uint8_t key = 0;
    bool extended = false;
    switch (method) {
        case PasteMethod::CtrlV:
            modifier = kVkControl;
            key = kVkV;  // the virtual key, so that any keyboard layout pastes
            break;
        case PasteMethod::ShiftInsert:
            modifier = kVkShift;
            key = kVkInsert;
            extended = true;
            break;
        default:
            return {};
    }
    return {{modifier, false, false},
            {key, false, extended},
            {key, true, extended},
            {modifier, true, false}};
}

std::vector<KeyStroke> ReleasesAfter(const std::vector<KeyStroke>& strokes, size_t sent) {
    std::vector<KeyStroke> releases;
    for (size_t i = std::min(sent, strokes.size()); i-- > 0;) {
        bool released = strokes[i].up;
        for (size_t j = i + 1; j < sent && !released; ++j) {
            released = strokes[j].up && strokes[j].virtualKey == strokes[i].virtualKey;
        }
        if (!released) {
            releases.push_back({strokes[i].virtualKey, true, strokes[i].extended});
        }
    }
    return releases;
}

bool WaitForModifiersUp(const std::function<bool(uint8_t)>& isDown,
                        const std::function<uint32_t()>& nowMs, const std::function<void()>& pause,
                        uint32_t limitMs) {
    const uint32_t start = nowMs();
    for (;;) {
        bool anyDown = false;
        for (uint8_t key : kPasteModifiers) {
            anyDown = anyDown || isDown(key);
        }
        if (!anyDown) {
            return true;
        }
        if (nowMs() - start >= limitMs) {
            return false;
        }
        pause();
    }
}

}  // namespace snipora
