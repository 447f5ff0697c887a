#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/OleDate.h"
#include "common/Utf.h"
#include "store/DataBase.h"
#include "store/Journal.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/MemoryFileSystem.h"

namespace snipora::test {

// Random operations on the lists against a plain model of them (a vector per list), with the
// journal and the data file on a disk in memory that stops at random steps, tears the write it
// stops in, and refuses removals and renames; with restarts, clean or not. After each restart the
// lists must be the model as it was at some point since the last save that finished (an append or
// a fold), and once a fold finishes no file may hold a text that the lists no longer hold.
//
// `below(n)` chooses a number below n: from a seeded generator, or from a fuzzer's bytes.
class ListsModel {
public:
    explicit ListsModel(std::function<uint32_t(uint32_t)> below) : below_(std::move(below)) {
        disk_.tornAt = [this](size_t size) {
            return static_cast<size_t>(below_(uint32_t(size) + 1));
        };
        disk_.refuse = [this](MemoryFileSystem::Step step, const MemoryFileSystem::Path& path) {
            return Refused(step, path);
        };
        refusing_ = below_(5);
        Start();
    }

    // Runs `operations` operations; false at the first fault, which Failure and Log describe.
    bool Run(size_t operations) {
        try {
            for (size_t i = 0; i < operations && failure_.empty(); ++i) {
                Step();
            }
        } catch (const AppError& e) {
            Fail(std::string("unexpected error: ") + e.what());
        }
        return failure_.empty();
    }

    const std::string& Failure() const { return failure_; }
    const std::vector<std::string>& Log() const { return log_; }
    uint64_t Stops() const { return stops_; }
    uint64_t FileSteps() const { return disk_.steps; }
    uint64_t Restarts() const { return restarts_; }

private:
    struct Entry {
        std::u16string text;
        double time;
        int64_t instant = 0;  // of the capture, which the time stands for; not compared
        friend bool operator==(const Entry& a, const Entry& b) {
            return a.text == b.text && a.time == b.time;
        }
    };
    using Lists = std::array<std::vector<Entry>, 2>;

    const FilePath data_{std::filesystem::path("data.dat")};
    const MemoryFileSystem::Path journalPath_ = CJournal::PathFor(data_).native();

    void Step() {
        const uint32_t kind = below_(16);
        // Undo comes right after the delete, clear, new note, edit or move it undoes, if at all,
        // and brings the lists back to what they were before it.
        const Lists before = model_;
        if (kind != 9 && kind != 11 && kind != 12) {
            undo_.reset();
        }
        switch (kind) {
            case 0:
            case 1:
            case 2:
                Capture();
                break;
            case 3:
                OnEntry("remove", [&](int32_t list, size_t i) {
                    undo_ = before;
                    model_[list].erase(model_[list].begin() + long(i));
                    return db_->DeleteItem(IdAt(list, i));
                });
                erased_ = true;
                break;
            case 4:
                OnEntry("move to the other list", [&](int32_t list, size_t i) {
                    const Entry entry = model_[list][i];
                    const uint32_t id = IdAt(list, i);
                    model_[list].erase(model_[list].begin() + long(i));
                    model_[1 - list].insert(model_[1 - list].begin(), entry);
                    return db_->MoveToCategory(id, 1 - list);
                });
                break;
            case 5: {
                const uint32_t place = below_(5);
                OnEntry("move to " + std::to_string(place), [&](int32_t list, size_t i) {
                    const Entry entry = model_[list][i];
                    const uint32_t id = IdAt(list, i);
                    auto& items = model_[list];
                    items.erase(items.begin() + long(i));
                    const size_t to = std::min<size_t>(place, items.size());
                    items.insert(items.begin() + long(to), entry);
                    if (to != i) {
                        undo_ = before;
                    }
                    // A move to where the entry is changes nothing.
                    return db_->MoveWithinList(id, place) == (to != i);
                });
                break;
            }
            case 6: {
                const std::u16string text = NewText();
                OnEntry("replace by " + Utf16ToUtf8(text), [&](int32_t list, size_t i) {
                    model_[list][i].text = text;
                    undo_ = before;
                    return db_->ReplaceText(IdAt(list, i), text);
                });
                erased_ = true;
                break;
            }
            case 7: {
                const int32_t list = int32_t(below_(2));
                if (model_[list].empty()) {
                    break;
                }
                Note("clear " + std::to_string(list));
                const size_t count = model_[list].size();
                model_[list].clear();
                Check(db_->ClearCategory(list) == count, "the count cleared");
                undo_ = before;
                erased_ = true;
                Changed();
                break;
            }
            case 8: {
                size_ = 1 + below_(6);
                Note("history size " + std::to_string(size_));
                db_->SetHistorySize(size_);
                if (model_[0].size() > size_) {
                    model_[0].resize(size_);
                    erased_ = true;
                }
                db_->TrimHistory();
                Changed();
                break;
            }
            case 9:
                if (undo_) {
                    Note("undo");
                    model_ = *undo_;
                    Check(db_->Undo() != 0, "Undo brings something back");
                    undo_.reset();
                    erased_ = true;  // an edit or a note taken back
                    Changed();
                }
                break;
            case 10: {
                const int32_t minutes = int32_t(below_(6));
                Note("forget after " + std::to_string(minutes) + " minutes");
                // Half a minute past the captures' whole minutes: no age is on the edge.
                clock_.now += FakeClock::kMinute / 2;
                auto& history = model_[0];
                const auto old = [&](const Entry& e) {
                    return minutes > 0 && clock_.now - e.instant > minutes * FakeClock::kMinute;
                };
                const size_t gone = size_t(std::count_if(history.begin(), history.end(), old));
                history.erase(std::remove_if(history.begin(), history.end(), old), history.end());
                Check(db_->ForgetHistory(minutes) == gone, "the count forgotten");
                clock_.now += FakeClock::kMinute / 2;
                erased_ = erased_ || gone > 0;
                Changed();
                break;
            }
            case 11:
            case 12:
                Save();
                break;
            case 15: {
                const std::u16string text = NewText();
                Note("new note " + Utf16ToUtf8(text));
                model_[1].insert(model_[1].begin(),
                                 {text, LocalOleDate(clock_, clock_.now), clock_.now});
                Check(db_->AddNote(text) != 0, "new note");
                undo_ = before;
                Changed();
                break;
            }
            case 13:
                // A password copied, saved, deleted and saved again: the data file is then byte
                // for byte what it was before the copy.
                Save();
                Capture();
                Save();
                if (!model_[0].empty() && model_[0][0].text == TextOf(next_ - 1)) {
                    Note("remove 0:0");
                    model_[0].erase(model_[0].begin());
                    Check(db_->DeleteItem(IdAt(0, 0)), "remove");
                    erased_ = true;
                    Changed();
                    Save();
                }
                break;
            default:
                Restart(below_(2) == 0);
                break;
        }
    }

    void Capture() {
        clock_.now += FakeClock::kMinute * below_(3);
        auto& history = model_[0];
        const bool again = !history.empty() && below_(3) == 0;
        const std::u16string text =
            again ? history[below_(uint32_t(history.size()))].text : NewText();
        Note("capture " + Utf16ToUtf8(text));
        const Entry entry{text, LocalOleDate(clock_, clock_.now), clock_.now};
        const auto equal = std::find_if(history.begin(), history.end(),
                                        [&](const Entry& e) { return e.text == text; });
        if (equal != history.end()) {
            history.erase(equal);
            history.insert(history.begin(), entry);
        } else {
            history.insert(history.begin(), entry);
            if (history.size() > size_) {
                since_.push_back(model_);  // the capture and the trim are two records
                history.resize(size_);
            }
        }
        clipboard_.Put(text);
        db_->CaptureClipboard();
        Changed();
    }

    // Runs `act` on a random entry of a random list that has one.
    template <typename Act>
    void OnEntry(const std::string& what, Act act) {
        const int32_t list = int32_t(below_(2));
        if (model_[list].empty()) {
            return;
        }
        const size_t i = below_(uint32_t(model_[list].size()));
        Note(what + " " + std::to_string(list) + ":" + std::to_string(i));
        Check(act(list, i), what);
        Changed();
    }

    // The SaveKeeper's save: the journal takes the changes unless a delete asks for a fold, or it
    // cannot; the machine may stop at any step of it.
    void Save() {
        const bool fold = erased_ || below_(4) == 0;
        Note(fold ? "fold" : "append");
        Stoppable([&] {
            bool done = false;
            if (!fold) {
                try {
                    done = journal_->Append(*db_, data_);
                } catch (const AppError&) {
                }
            }
            if (done) {
                Durable();
                return;
            }
            try {
                journal_->Fold(*db_, data_);
            } catch (const AppError&) {
                return;  // nothing promised
            }
            Folded();
        });
    }

    // Runs `save` with a stop at a random step ahead, or none; a stop restarts. False if it did.
    template <typename Save>
    bool Stoppable(Save save) {
        // A few stops in a row at most: a start that always stops would never end.
        const uint64_t at =
            stopsInARow_ < 3 && below_(3) == 0 ? disk_.steps + below_(10) : UINT64_MAX;
        disk_.stopAt = [at](MemoryFileSystem::Step, const MemoryFileSystem::Path&, uint64_t steps) {
            return steps == at;
        };
        try {
            save();
            disk_.stopAt = nullptr;
            stopsInARow_ = 0;
            return true;
        } catch (const Stopped&) {
            ++stops_;
            ++stopsInARow_;
            Note("stopped at step " + std::to_string(at));
            Restart(false);
            return false;
        }
    }

    void Restart(bool clean) {
        ++restarts_;
        if (clean) {
            Note("close");
            const bool closed = Stoppable([&] {
                try {
                    journal_->Fold(*db_, data_);
                    Folded();
                } catch (const AppError&) {
                }
            });
            if (!closed) {
                return;  // the stop has started it anew
            }
        }
        Note("start");
        disk_.Restart();
        journal_.reset();
        db_.reset();
        Start();
    }

    // A start: the data file and the journal are read, and must hold the lists as they were at
    // some point since the last save that finished; a journal is then folded, as the SaveKeeper
    // does at once.
    void Start() {
        db_ = std::make_unique<CDataBase>(clipboard_, disk_);
        db_->SetWindow(&window_);
        db_->SetClock(clock_);
        db_->SetHistorySize(size_);
        journal_ = std::make_unique<CJournal>(disk_);
        const bool replayed = journal_->Load(*db_, data_);
        const auto found = std::find(since_.begin(), since_.end(), Read());
        if (found == since_.end()) {
            Fail("the lists after a start are none that were since the last save");
            return;
        }
        model_ = *found;
        since_ = {model_};
        undo_.reset();
        erased_ = false;
        if (replayed) {
            Stoppable([&] {
                try {
                    journal_->Fold(*db_, data_);
                    Folded();
                } catch (const AppError&) {
                    erased_ = true;  // the fold is still due
                }
            });
        }
    }

    // A save finished: the lists as they are now are the ones a start must find.
    void Durable() { since_ = {model_}; }

    // A fold finished: besides, no file holds a text the lists do not.
    void Folded() {
        Durable();
        erased_ = false;
        std::set<std::u16string> kept;
        for (const auto& list : model_) {
            for (const Entry& entry : list) {
                kept.insert(entry.text);
            }
        }
        for (const auto& [path, bytes] : disk_.files) {
            if (refusing_ == 4 && path == journalPath_) {
                continue;  // held open: only its holder can let it go
            }
            for (uint32_t n = 0; n < next_; ++n) {
                const std::u16string text = TextOf(n);
                const std::string_view units(reinterpret_cast<const char*>(text.data()),
                                             text.size() * 2);
                if (!kept.count(text) && bytes.find(units) != std::string::npos) {
                    Fail("a file holds the removed text " + Utf16ToUtf8(text) + " after a fold");
                    return;
                }
            }
        }
    }

    // An operation changed the model: the lists as they are now may be what a start finds.
    void Changed() {
        since_.push_back(model_);
        if (failure_.empty() && Read() != model_) {
            Fail("the lists differ from the model");
        }
    }

    Lists Read() const {
        Lists lists;
        for (const auto& item : db_->Items()) {
            lists[item->Category == kHistoryCategory ? 0 : 1].push_back(
                {std::u16string(std::u16string_view(item->Text)), item->CaptureTime});
        }
        return lists;
    }

    uint32_t IdAt(int32_t list, size_t i) const {
        for (const auto& item : db_->Items()) {
            if (item->Category == list && i-- == 0) {
                return item->Id;
            }
        }
        return 0;
    }

    // Refusals, by the mode chosen for the run: the journal's removal (a holder that lets it be
    // written), the data file's replacement, the journal's replacement, or every step on the
    // journal but writing and flushing what is open (a holder that lets nothing else happen).
    bool Refused(MemoryFileSystem::Step step, const MemoryFileSystem::Path& path) {
        using Step = MemoryFileSystem::Step;
        const bool journal = path.find(journalPath_) == 0;
        const bool chosen = (refusing_ == 1 && path == journalPath_ && step == Step::Remove) ||
                            (refusing_ == 4 && path == journalPath_ && step != Step::Write &&
                             step != Step::Flush) ||
                            (refusing_ == 2 && !journal && step == Step::Rename) ||
                            (refusing_ == 3 && journal && step == Step::Rename);
        return chosen && below_(2) == 0;
    }

    static std::u16string TextOf(uint32_t n) {
        // Appended rather than joined with +, which GCC 12 warns of wrongly in a release build.
        std::u16string text(1, u'[');
        text += Utf8ToUtf16(std::to_string(n));
        text += u']';
        return text;
    }
    std::u16string NewText() { return TextOf(next_++); }
    void Note(const std::string& what) { log_.push_back(what); }
    void Check(bool ok, const std::string& what) {
        if (!ok) {
            Fail("the lists refused: " + what);
        }
    }
    void Fail(const std::string& why) {
        if (failure_.empty()) {
            failure_ = why;
        }
    }

    std::function<uint32_t(uint32_t)> below_;
    MemoryFileSystem disk_;
    FakeClipboard clipboard_;
    FakeClock clock_;
    int window_ = 0;
    std::unique_ptr<CDataBase> db_;
    std::unique_ptr<CJournal> journal_;
    Lists model_;
    std::vector<Lists> since_{Lists()};
    std::optional<Lists> undo_;  // the lists as Undo brings them back
    size_t size_ = 4;
    uint32_t next_ = 0;
    uint32_t refusing_ = 0;
    bool erased_ = false;
    uint64_t stops_ = 0;
    int stopsInARow_ = 0;
    uint64_t restarts_ = 0;
    std::vector<std::string> log_;
    std::string failure_;
};

}  // namespace snipora::test
