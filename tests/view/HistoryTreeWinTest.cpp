#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/HistoryLists.h"
#include "view/ClipboardHandler.h"
#include "view/HistoryTreeWin.h"
#include "win/BaseWindow.h"

namespace snipora {
namespace {

// The window that holds the tree and its search field, passing their messages on, and hearing
// what the tree asks for.
class Parent final : public win::BaseWindow, public IHistoryTreeEvents {
public:
    Parent() {
        Create(L"SniporaHistoryTreeHost", 0, WS_POPUP, L"tree host", 0, 0, 300, 400, nullptr);
        tree.emplace(Handle(), 1, 2, win::Dpi(96), nullptr, *this);
        tree->Place({0, 30, 300, 400}, {0, 0, 300, 30});
    }

    bool HotKeyHeld() override { return hotKeyHeld; }
    // The popup's key rule stands behind this; here each key has one command, and a character
    // picks when it is a digit from 1 to 9 and no search is open.
    PopupCommand CommandOf(UINT virtualKey, char16_t typed, bool searching) override {
        if (typed != 0) {
            return typed >= u'1' && typed <= u'9' && !searching ? PopupCommand::Pick
                                                                : PopupCommand::Type;
        }
        const auto it = commands.find(virtualKey);
        return it != commands.end() ? it->second : PopupCommand::None;
    }
    void EntryChosen(const CItemNode* record) override { chosen.push_back(Id(record)); }
    void DeleteAsked(const CItemNode* record) override { deleted.push_back(Id(record)); }
    void UndoAsked() override { ++undos; }
    void MenuAsked(POINT) override { ++menus; }
    void DismissAsked() override { ++dismissals; }
    void SearchShown(bool shown) override { searchShown.push_back(shown); }

    std::optional<HistoryTree> tree;
    bool hotKeyHeld = false;
    std::map<UINT, PopupCommand> commands = {{VK_RETURN, PopupCommand::Choose},
                                             {VK_DELETE, PopupCommand::Delete},
                                             {VK_ESCAPE, PopupCommand::Leave},
                                             {VK_BACK, PopupCommand::Type},
                                             {VK_F3, PopupCommand::Search}};
    std::vector<uint32_t> chosen, deleted;
    std::vector<bool> searchShown;
    int undos = 0, menus = 0, dismissals = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (tree) {
            if (const auto result = tree->ParentMessage(message, wParam, lParam)) {
                return *result;
            }
        }
        return BaseWindow::HandleMessage(message, wParam, lParam);
    }

private:
    static uint32_t Id(const CItemNode* record) { return record != nullptr ? record->Id : 0; }
};

class HistoryTreeWinTest : public ::testing::Test {
protected:
    HistoryTreeWinTest() {
        handler = lists.Show(&parent.tree->View());
        parent.tree->SetHandler(handler);
        handler->RefreshTree();
        parent.tree->UnfoldHistory();
        parent.tree->Show(true);
    }
    ~HistoryTreeWinTest() override { lists.container.DestroyHandler(); }

    uint32_t Copy(const std::u16string& text) {
        lists.Copy(text);
        handler->RefreshTree();
        return handler->Items().front()->Id;
    }
    void Key(UINT virtualKey) { ::SendMessageW(parent.tree->Control(), WM_KEYDOWN, virtualKey, 1); }
    void Type(wchar_t unit) { ::SendMessageW(parent.tree->KeyTarget(), WM_CHAR, unit, 1); }
    uint32_t SelectedId() const {
        const CItemNode* selected = parent.tree->Selected();
        return selected != nullptr ? selected->Id : 0;
    }

    Parent parent;
    test::HistoryLists lists;
    CClipboardHandler* handler = nullptr;
};

TEST_F(HistoryTreeWinTest, DigitsChooseTheNthHistoryEntryShownAndNothingPastTheLast) {
    const uint32_t oldest = Copy(u"oldest");
    Copy(u"middle");
    const uint32_t newest = Copy(u"newest");

    EXPECT_EQ(parent.tree->HistoryEntryAt(0), nullptr);
    EXPECT_NE(parent.tree->HistoryEntryAt(3), nullptr);
    EXPECT_EQ(parent.tree->HistoryEntryAt(4), nullptr);

    Type(L'1');
    Type(L'3');
    Type(L'4');  // past the last: nothing
    EXPECT_EQ(parent.chosen, (std::vector<uint32_t>{newest, oldest}));

    // The hot key's last key, still held, is no typing.
    parent.hotKeyHeld = true;
    Type(L'2');
    EXPECT_EQ(parent.chosen.size(), 2u);
    EXPECT_TRUE(parent.searchShown.empty());
}

// The tree does what the rule made of a key, and never reads the keyboard to decide again:
// Ctrl held on a Z that the rule took as a character (AltGr+Z types "ż" on a Polish keyboard)
// undoes nothing.
TEST_F(HistoryTreeWinTest, EnterDeleteAndUndoActOnTheSelectedEntryAndACharacterIsOnlyTyped) {
    Copy(u"older");
    const uint32_t newest = Copy(u"newer");
    parent.tree->SelectNewest();
    ASSERT_EQ(SelectedId(), newest);

    Key(VK_RETURN);
    Key(VK_DELETE);
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_MENU] = 0x80;
    ::SetKeyboardState(state);
    Key('Z');
    parent.tree->Run(PopupCommand::Type, 'Z', u'\u017c');
    EXPECT_EQ(parent.undos, 0);
    EXPECT_EQ(parent.tree->SearchText(), u"\u017c");
    Key(VK_BACK);  // the character comes on its own: the key alone erases nothing
    EXPECT_EQ(parent.tree->SearchText(), u"\u017c");
    parent.tree->Run(PopupCommand::Type, VK_BACK, u'\b');
    EXPECT_EQ(parent.tree->SearchText(), u"");
    state[VK_CONTROL] = state[VK_MENU] = 0;
    ::SetKeyboardState(state);
    parent.commands['Z'] = PopupCommand::Undo;
    Key('Z');
    parent.tree->Run(PopupCommand::Undo, 'Z', 0);

    EXPECT_EQ(parent.chosen, (std::vector<uint32_t>{newest}));
    EXPECT_EQ(parent.deleted, (std::vector<uint32_t>{newest}));
    EXPECT_EQ(parent.undos, 2);
}

// Shift+arrows select from the anchor to the row moved to, Ctrl+Space takes the caret out or
// puts it in, Ctrl+A takes the caret's list, a plain move ends it all; an entry gone meanwhile
// leaves the selection, and Enter chooses once for all.
TEST_F(HistoryTreeWinTest, SeveralEntriesAreSelectedByTheKeysAndChosenTogether) {
    const uint32_t a = Copy(u"a");
    const uint32_t b = Copy(u"b");
    const uint32_t c = Copy(u"c");
    using Ids = std::vector<uint32_t>;
    parent.tree->SelectNewest();
    parent.tree->Run(PopupCommand::Extend, VK_DOWN, 0);
    parent.tree->Run(PopupCommand::Extend, VK_DOWN, 0);
    parent.tree->Run(PopupCommand::Extend, VK_DOWN, 0);  // past the last entry: nothing
    EXPECT_EQ(parent.tree->SelectedIds(), (Ids{c, b, a}));
    parent.tree->Run(PopupCommand::Extend, VK_UP, 0);
    EXPECT_EQ(parent.tree->SelectedIds(), (Ids{c, b}));
    EXPECT_EQ(SelectedId(), b);
    parent.tree->Run(PopupCommand::Toggle, VK_SPACE, 0);
    EXPECT_EQ(parent.tree->SelectedIds(), (Ids{c}));
    parent.tree->Run(PopupCommand::Move, VK_DOWN, 0);
    EXPECT_EQ(SelectedId(), a);
    EXPECT_EQ(parent.tree->SelectedIds(), Ids{});
    parent.tree->Run(PopupCommand::SelectAll, 'A', 0);
    EXPECT_EQ(parent.tree->SelectedIds(), (Ids{c, b, a}));
    handler->DeleteItem(b);
    handler->RefreshTree();
    EXPECT_EQ(parent.tree->SelectedIds(), (Ids{c, a}));
    parent.tree->Run(PopupCommand::Choose, VK_RETURN, 0);
    EXPECT_EQ(parent.chosen, (Ids{a}));
    parent.tree->Show(false);
    EXPECT_EQ(parent.tree->SelectedIds(), Ids{});
}

TEST_F(HistoryTreeWinTest, EnterOnTheShowAllRowListsTheRestAndADigitNeverChoosesIt) {
    handler->SetListCap(2);
    const uint32_t oldest = Copy(u"oldest");
    Copy(u"middle");
    Copy(u"newest");
    const auto row = [&]() -> const CItemNode* {
        const auto& rows = handler->Root().Children.at(kHistoryCategory)->Children;
        const auto it = rows.find(0);
        return it != rows.end() ? it->second.get() : nullptr;
    };
    ASSERT_NE(row(), nullptr);
    EXPECT_EQ(row()->More, 1u);
    EXPECT_EQ(parent.tree->HistoryEntryAt(3), nullptr);
    Type(L'3');

    // The entry that takes the row's place is selected, for the next Enter to choose.
    parent.tree->SelectEntry(row());
    Key(VK_RETURN);
    EXPECT_EQ(row(), nullptr);
    EXPECT_EQ(SelectedId(), oldest);
    EXPECT_TRUE(parent.chosen.empty());
    Key(VK_RETURN);
    EXPECT_EQ(parent.chosen, std::vector<uint32_t>{oldest});

    // The popup closes with its lists capped again.
    parent.tree->Show(false);
    ASSERT_NE(row(), nullptr);
    EXPECT_EQ(row()->More, 1u);
}

TEST_F(HistoryTreeWinTest, TypingSearchesAndEscClearsTheSearchBeforeItClosesThePopup) {
    Copy(u"apple pie");
    const uint32_t banana = Copy(u"banana bread");
    Copy(u"cherry tart");

    Type(L'b');
    Type(L'a');
    EXPECT_EQ(parent.tree->SearchText(), u"ba");
    EXPECT_EQ(SelectedId(), banana);  // the first match, so that Enter takes it
    EXPECT_EQ(parent.searchShown, (std::vector<bool>{true}));

    Key(VK_ESCAPE);
    EXPECT_EQ(parent.tree->SearchText(), u"");
    EXPECT_EQ(parent.dismissals, 0);
    Key(VK_ESCAPE);
    EXPECT_EQ(parent.dismissals, 1);

    // A popup that closes forgets its search.
    Type(L'c');
    parent.tree->Show(false);
    EXPECT_EQ(parent.tree->SearchText(), u"");
    EXPECT_EQ(parent.searchShown, (std::vector<bool>{true, false, true, false}));
}

// "123" can be searched for: after another character, or once F3 (or Ctrl+F) opened the field,
// digits are typed; the opened field stays while emptied, until Esc.
TEST_F(HistoryTreeWinTest, DigitsSearchAfterAnotherCharacterOrOnceTheSearchIsOpened) {
    Copy(u"order 123");
    const uint32_t a1 = Copy(u"a1 sauce");
    Copy(u"newest");
    Type(L'a');
    Type(L'1');
    EXPECT_EQ(parent.tree->SearchText(), u"a1");
    EXPECT_EQ(SelectedId(), a1);
    EXPECT_TRUE(parent.chosen.empty());
    Key(VK_ESCAPE);

    Key(VK_F3);
    EXPECT_TRUE(parent.tree->Searching());
    EXPECT_EQ(parent.searchShown, (std::vector<bool>{true, false, true}));
    for (const wchar_t digit : {L'1', L'2', L'3'}) {
        Type(digit);
    }
    EXPECT_EQ(parent.tree->SearchText(), u"123");
    EXPECT_TRUE(parent.chosen.empty());
    parent.tree->Run(PopupCommand::Type, VK_BACK, u'\b');
    parent.tree->Run(PopupCommand::Type, VK_BACK, u'\b');
    parent.tree->Run(PopupCommand::Type, VK_BACK, u'\b');
    EXPECT_EQ(parent.tree->SearchText(), u"");
    EXPECT_EQ(parent.searchShown.back(), true) << "opened, it stays open when emptied";
    parent.tree->Run(PopupCommand::Leave, VK_ESCAPE, 0);
    EXPECT_FALSE(parent.tree->Searching());
    EXPECT_EQ(parent.dismissals, 0) << "Esc takes the open search first";
    EXPECT_EQ(parent.searchShown, (std::vector<bool>{true, false, true, false}));
    parent.tree->Run(PopupCommand::Pick, '2', u'2');
    EXPECT_EQ(parent.chosen, std::vector<uint32_t>{a1});
}

TEST_F(HistoryTreeWinTest, TheNewestIsSelectedOrTheHeaderOfAnEmptyHistory) {
    parent.tree->SelectNewest();
    ASSERT_NE(parent.tree->Selected(), nullptr);
    EXPECT_TRUE(parent.tree->Selected()->IsCategory);
    EXPECT_EQ(parent.tree->Selected()->Category, kHistoryCategory);

    const uint32_t only = Copy(u"only");
    parent.tree->SelectNewest();
    EXPECT_EQ(SelectedId(), only);
}

}  // namespace
}  // namespace snipora
