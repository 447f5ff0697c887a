#include "app/ClipboardChanges.h"

namespace snipora {

ClipboardChanges::Action ClipboardChanges::Reported(uint32_t sequence, bool paused) {
    if (sequence == 0) {
        return paused ? Action::Skip : Action::Record;
    }
    // Serial arithmetic: the count may wrap round in a long session.
    if (last_ != 0 && static_cast<int32_t>(sequence - last_) <= 0) {
        return Action::Skip;
    }
    last_ = sequence;
    if (paused) {
        withheld_ = sequence;
        return Action::Skip;
    }
    if (sequence == withheld_) {
        return Action::Skip;
    }
    withheld_ = 0;
    return Action::Record;
}

void ClipboardChanges::Own(uint32_t sequence) {
    if (sequence != 0 && (last_ == 0 || static_cast<int32_t>(sequence - last_) > 0)) {
        last_ = sequence;
    }
}

}  // namespace snipora
