#include <windows.h>

#include <gtest/gtest.h>

#include "common/Error.h"
#include "store/DataBase.h"
#include "support/FakeClipboard.h"
#include "support/TempDir.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

TEST(FileSystemWin, PathsOutsideTheCodePageWork) {
    test::TempDir dir;
    const auto folder = dir / L"\u0434\u0430\u043d\u043d\u044b\u0435 \u4e2d\u6587 \u00e9";
    std::filesystem::create_directory(folder);
    const auto data = folder / L"data.dat";
    test::FakeClipboard clipboard;
    CDataBase db(clipboard, PlatformFileSystem());
    db.SetWindow(&clipboard);
    clipboard.Put(u"text in a folder with a Cyrillic name");
    db.CaptureClipboard();
    EXPECT_TRUE(db.SaveToFile(data));
    EXPECT_TRUE(std::filesystem::exists(data));
    CDataBase loaded(clipboard, PlatformFileSystem());
    EXPECT_TRUE(loaded.LoadFromFile(data));
    ASSERT_EQ(loaded.Items().size(), 1u);
    EXPECT_EQ(loaded.Items().front()->Text, u"text in a folder with a Cyrillic name");
}

TEST(FileSystemWin, AFileHeldOpenByAnotherProgramIsReported) {
    test::TempDir dir;
    const auto data = dir / "data.dat";
    test::WriteBytes(data, "x");
    // Open without sharing, as another program might.
    win::UniqueFile held(::CreateFileW(data.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    test::FakeClipboard clipboard;
    CDataBase db(clipboard, PlatformFileSystem());
    std::string message;
    try {
        db.LoadFromFile(data);
    } catch (const AppError& e) {
        message = e.what();
    }
    EXPECT_EQ(message.rfind("Cannot open file \"", 0), 0u) << message;
    std::string saved;
    try {
        db.SaveToFile(data);
    } catch (const AppError& e) {
        saved = e.what();
    }
    EXPECT_EQ(saved.rfind("Cannot write file \"", 0), 0u) << saved;
    held.Reset();
    EXPECT_EQ(test::ReadBytes(data), "x");
    EXPECT_FALSE(std::filesystem::exists(dir / "data.dat.tmp"));
}

}  // namespace
}  // namespace snipora
