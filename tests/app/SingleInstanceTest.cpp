#include "app/SingleInstance.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

FolderFacts Path(std::u16string finalPath, std::u16string spelled = u"D:\\as\\spelled") {
    FolderFacts facts;
    facts.finalPath = std::move(finalPath);
    facts.spelled = std::move(spelled);
    return facts;
}

TEST(SingleInstance, AFolderIsKnownByItsIdThenItsFinalPathThenItsSpelling) {
    FolderFacts id = Path(u"\\\\?\\C:\\Data");
    id.volumeSerial = 0x1234ABCD;
    id.fileId = {0x01, 0x02, 0, 0, 0, 0, 0, 0x80};  // a 64-bit id
    EXPECT_EQ(FolderIdentity(id), u"id:000000001234abcd:00000000000000008000000000000201");
    id.fileId[15] = 0xFE;  // a 128-bit one, as ReFS has
    EXPECT_EQ(FolderIdentity(id), u"id:000000001234abcd:fe000000000000008000000000000201");
    // The same id through another path (a share, a SUBST drive): the same folder.
    FolderFacts share = id;
    share.finalPath = u"\\\\?\\UNC\\host\\share";
    EXPECT_EQ(FolderIdentity(share), FolderIdentity(id));
    // Without an id, the final path; without one, the spelling.
    EXPECT_EQ(FolderIdentity(Path(u"\\\\?\\C:\\Data")), u"path:C:\\DATA");
    EXPECT_EQ(FolderIdentity(Path(u"")), u"path:D:\\AS\\SPELLED");
    FolderFacts onlyVolume = Path(u"\\\\?\\C:\\Data");
    onlyVolume.volumeSerial = 7;  // a volume, but a file system without ids
    EXPECT_EQ(FolderIdentity(onlyVolume), u"path:C:\\DATA");
}

TEST(SingleInstance, EverySpellingOfAPathGivesOneIdentity) {
    const std::u16string one = FolderIdentity(Path(u"", u"C:\\Users\\Ann\\Data"));
    for (const std::u16string spelled :
         {u"c:\\users\\ann\\data", u"C:\\Users\\Ann\\Data\\", u"C:/Users/Ann/Data//",
          u"\\\\?\\C:\\Users\\Ann\\Data\\"}) {
        EXPECT_EQ(FolderIdentity(Path(u"", spelled)), one)
            << std::string(spelled.begin(), spelled.end());
    }
    EXPECT_EQ(FolderIdentity(Path(u"\\\\?\\UNC\\host\\Share\\")), u"path:\\\\HOST\\SHARE");
    // Letters beyond A to Z keep their case: ä and Ä may be two folders on a disk.
    EXPECT_NE(FolderIdentity(Path(u"C:\\\u00e4")), FolderIdentity(Path(u"C:\\\u00c4")));
    EXPECT_NE(FolderIdentity(Path(u"C:\\Data1")), FolderIdentity(Path(u"C:\\Data")));
    // The root keeps its separator's meaning: "C:" and "C:\" are one.
    EXPECT_EQ(FolderIdentity(Path(u"C:\\")), u"path:C:");
}

TEST(SingleInstance, TheMutexAndTheWindowsMarkFollowTheDigest) {
    EXPECT_EQ(IdentityDigest(u""), 0xcbf29ce484222325ULL);
    EXPECT_EQ(IdentityDigest(u"a"), 0xaf63dc4c8601ec8cULL);  // FNV-1a 64 of one unit 0x61
    EXPECT_EQ(InstanceMutexName(0x0123456789abcdefULL), u"Local\\Snipora.0123456789abcdef");
    EXPECT_EQ(InstanceMutexName(0), u"Local\\Snipora.0000000000000000");
    // Neither half of the mark is ever 0; 62 bits of the digest are in it.
    EXPECT_EQ(WindowTagOf(0), (std::array<uint32_t, 2>{0x80000000u, 0x80000000u}));
    EXPECT_EQ(WindowTagOf(~0ULL), (std::array<uint32_t, 2>{0xFFFFFFFFu, 0xFFFFFFFFu}));
    EXPECT_EQ(WindowTagOf(1ULL << 31), (std::array<uint32_t, 2>{0x80000000u, 0x80000001u}));
    EXPECT_EQ(WindowTagOf(1ULL << 61), (std::array<uint32_t, 2>{0x80000000u, 0xC0000000u}));
}

TEST(SingleInstance, AMutexThatExistsMeansACopyRunsAlsoWhenItCannotBeOpened) {
    EXPECT_EQ(MutexOutcomeOf(true, 0), MutexOutcome::Created);
    EXPECT_EQ(MutexOutcomeOf(true, 183), MutexOutcome::AlreadyExists);
    EXPECT_EQ(MutexOutcomeOf(false, 5), MutexOutcome::AccessDenied);
    EXPECT_EQ(MutexOutcomeOf(false, 6), MutexOutcome::Failed);
    EXPECT_EQ(MutexOutcomeOf(false, 183), MutexOutcome::Failed);
    EXPECT_FALSE(AnotherCopyRuns(MutexOutcome::Created));
    EXPECT_TRUE(AnotherCopyRuns(MutexOutcome::AlreadyExists));
    EXPECT_TRUE(AnotherCopyRuns(MutexOutcome::AccessDenied));
    EXPECT_FALSE(AnotherCopyRuns(MutexOutcome::Failed));
}

}  // namespace
}  // namespace snipora
