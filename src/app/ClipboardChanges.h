#pragma once

#include <cstdint>

namespace snipora {

// Which clipboard changes are recorded. The system numbers each change of the clipboard's
// content (its sequence number), upwards through the session; two ways of being told of a
// change (the viewer chain and the format listener) both report it, a thread that was busy hears
// of several changes only after the last, and a content read early may be reported after a
// later one. So each number is recorded at most once, whichever report comes first, and a report
// of a number no later than the last one acted upon is dropped: the history keeps the order of
// the copies.
//
// A change made during a pause is never recorded, not even by the next start, which otherwise
// records the content it finds on the clipboard: its number is kept (`Withheld`, to be stored
// by the caller) until a recorded change replaces it, and a start that finds the same number
// records nothing. The system numbers anew at each sign-in, and a new session's clipboard is
// empty at first: the same number there can only withhold the one content found at the start.
// The number 0 means that the system gave none: such a report is always recorded, never
// withheld.
class ClipboardChanges {
public:
    enum class Action {
        Record,  // take the clipboard's content now
        Skip,    // nothing new, or a content withheld by a pause
    };

    // `withheld`: the number stored when the last run ended, 0 for none.
    explicit ClipboardChanges(uint32_t withheld = 0) : withheld_(withheld) {}

    // A report that the clipboard now has number `sequence`.
    Action Reported(uint32_t sequence, bool paused);
    // This program wrote the content of number `sequence` itself, which is no copy of the
    // user's (a clipboard put back after a paste, a text pasted one by one): it and every earlier
    // number are skipped when reported. A later content is recorded as usual.
    void Own(uint32_t sequence);

    // The number of the content on the clipboard that a pause kept from the history; 0 when
    // none is. The caller stores it whenever it changes.
    uint32_t Withheld() const { return withheld_; }

private:
    uint32_t last_ = 0;  // the latest number acted upon; 0 before the first
    uint32_t withheld_;
};

}  // namespace snipora
