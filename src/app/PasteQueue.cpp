#include "app/PasteQueue.h"

#include <string>
#include <utility>

namespace snipora {

bool PasteQueue::Start(std::vector<std::u16string> texts) {
    const bool replaced = Running();
    if (texts.empty()) {
        return false;
    }
    texts_ = std::move(texts);
    next_ = 0;
    waiting_ = 0;
    // A paste of the old queue that still runs is over for this one.
    busy_ = false;
    return replaced;
}

void PasteQueue::Stop() {
    texts_.clear();
    next_ = 0;
    waiting_ = 0;
    busy_ = false;
}

const std::u16string* PasteQueue::Pressed() {
    if (busy_) {
        ++waiting_;
        return nullptr;
    }
    if (next_ >= texts_.size()) {
        return nullptr;
    }
    busy_ = true;
    return &texts_[next_];
}

const std::u16string* PasteQueue::Finished(bool pasted) {
    if (!busy_) {
        return nullptr;
    }
    busy_ = false;
    if (pasted) {
        ++next_;
    }
    if (next_ >= texts_.size()) {
        waiting_ = 0;
        return nullptr;
    }
    if (waiting_ == 0) {
        return nullptr;
    }
    --waiting_;
    busy_ = true;
    return &texts_[next_];
}

std::u16string PasteQueue::BarText(size_t length) const {
    if (!Running() || next_ >= texts_.size()) {
        return {};
    }
    const auto number = [](size_t n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    std::u16string text = u"Next (" + number(next_ + 1) + u" of " + number(texts_.size()) + u"): ";
    const std::u16string& next = texts_[next_];
    for (size_t i = 0; i < next.size() && i < length; ++i) {
        text += next[i] == u'\r' || next[i] == u'\n' || next[i] == u'\t' ? u' ' : next[i];
    }
    return text;
}

}  // namespace snipora
