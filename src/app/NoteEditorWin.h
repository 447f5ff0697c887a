#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/NoteText.h"
#include "view/Palette.h"
#include "win/BaseDialog.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

// The editor of a note or an entry's text, and of a new note: a window of the program's own,
// beside the popup, with a multi-line field that wraps its words, OK (also Ctrl+Enter) and
// Cancel (also Esc). It takes the focus while it is open. Cancel after a change asks first; OK
// with the field emptied asks whether to delete the entry, and stays open on No.
class NoteEditor final : public win::BaseDialog {
public:
    // `popup` is the popup's place on the screen: the editor opens beside it.
    NoteEditor(std::u16string original, bool isNew, const Palette& palette, RECT popup);

    // Shows the editor until it closes. OK hands what it does with the entry's text (a deletion
    // the user agreed to) to `ok` before the editor closes, as closing may take a while; OK on an
    // unchanged text and Cancel hand nothing.
    void Run(HWND owner, const std::function<void(const EditOutcome&)>& ok);

private:
    void OnInit() override;
    void OnOk() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::u16string FieldText() const;
    bool Ask(const wchar_t* question);
    void Place();
    static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);

    std::u16string original_;
    bool isNew_;
    Palette palette_;
    RECT popup_;
    win::UniqueBrush background_;
    win::UniqueFont font_;
    const std::function<void(const EditOutcome&)>* ok_ = nullptr;
};

}  // namespace snipora
