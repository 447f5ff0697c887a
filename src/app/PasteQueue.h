#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace snipora {

// The texts of "Paste one by one", pasted in their order, one for each press of the paste-next
// key. A press that comes while the last paste still runs waits its turn, and is never dropped;
// a paste that found no window to paste into (it closed) is skipped, and its text stays next.
// The queue ends after its last text has been pasted, or when it is stopped.
class PasteQueue {
public:
    // A new queue of `texts`, in place of any running; true when one was running. An empty list
    // starts nothing.
    bool Start(std::vector<std::u16string> texts);
    // Ends the queue at once; a paste still running finishes, and nothing comes after it.
    void Stop();
    // The queue has texts left to paste, or one being pasted.
    bool Running() const { return busy_ || next_ < texts_.size(); }

    // A press of the paste-next key: the text to paste now, or null when none is (no queue, or
    // a paste runs: the press waits its turn).
    const std::u16string* Pressed();
    // The paste of the text handed out is over: pasted, or skipped (`pasted` false) and its text
    // stays next. The text to paste now for a press that waited, or null.
    const std::u16string* Finished(bool pasted);

    // The number of the next text to paste (or the one being pasted), from 1, and how many there
    // are.
    size_t Position() const { return next_ + 1; }
    size_t Count() const { return texts_.size(); }
    size_t Waiting() const { return waiting_; }
    // The text being pasted, or next; only while the queue runs.
    const std::u16string& Current() const { return texts_[next_]; }

    // "Next (2 of 5): " and the beginning of that text, at most `length` units of it, each line
    // break a space; empty when the queue does not run.
    std::u16string BarText(size_t length) const;

private:
    std::vector<std::u16string> texts_;
    size_t next_ = 0;     // the text the next press pastes
    size_t waiting_ = 0;  // presses that came while a paste ran
    bool busy_ = false;   // a text was handed out and its paste is not over
};

}  // namespace snipora
