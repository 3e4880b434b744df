// Files and folders with Windows meaning: the archive codec and the wizards
// rely on these answers.
#include <algorithm>
#include <map>

#include "contract_env.h"

namespace contract {
namespace {

using namespace platform;

std::map<Text, FindEntry> ByName(const std::vector<FindEntry>& entries) {
  std::map<Text, FindEntry> out;
  for (const auto& e : entries) out[e.name] = e;
  return out;
}

using FilesTest = ContractTest;

TEST_F(FilesTest, ReadWriteSeekSizeTruncate) {
  Text path = At(u"data.bin");
  WriteFile(path, "hello world");
  uint32_t error = 0;
  auto f = Files().Open(path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenExisting,
                        &error);
  ASSERT_TRUE(f) << error;
  EXPECT_EQ(f->Size(), 11u);
  f->Seek(6);
  char buf[16] = {};
  EXPECT_EQ(f->Read(buf, sizeof buf), 5u);
  EXPECT_EQ(std::string(buf, 5), "world");
  EXPECT_EQ(f->Read(buf, sizeof buf), 0u);
  f->Seek(5);
  f->Truncate();
  EXPECT_EQ(f->Size(), 5u);
  f->Write("!!", 2);
  EXPECT_EQ(f->Position(), 7u);
  f.reset();
  EXPECT_EQ(ReadFile(path), "hello!!");

  auto ro = Files().Open(path, Access::kRead, Share::kRead, Disposition::kOpenExisting, &error);
  ASSERT_TRUE(ro);
  EXPECT_THROW(ro->Write("x", 1), StreamError);
  EXPECT_THROW(ro->Truncate(), StreamError);
}

TEST_F(FilesTest, CreateAlwaysReplacesContent) {
  Text path = At(u"data.txt");
  WriteFile(path, "a long first content");
  WriteFile(path, "short");
  EXPECT_EQ(ReadFile(path), "short");
}

TEST_F(FilesTest, OpenFailuresGiveWindowsCodes) {
  Files().CreateDir(At(u"dir"));
  WriteFile(At(u"file.txt"), "x");
  struct Case {
    const char16_t* path;
    Access access;
    Disposition disposition;
    uint32_t error;
  } cases[] = {
      {u"missing.txt", Access::kRead, Disposition::kOpenExisting, err::kFileNotFound},
      {u"nodir\\missing.txt", Access::kRead, Disposition::kOpenExisting, err::kPathNotFound},
      {u"nodir\\new.txt", Access::kWrite, Disposition::kCreateAlways, err::kPathNotFound},
      {u"file.txt", Access::kWrite, Disposition::kCreateNew, err::kFileExists},
      {u"dir", Access::kRead, Disposition::kOpenExisting, err::kAccessDenied},
  };
  for (const auto& c : cases) {
    uint32_t error = 0;
    auto f = Files().Open(At(c.path), c.access, Share::kRead, c.disposition, &error);
    EXPECT_FALSE(f) << ToUtf8(c.path);
    EXPECT_EQ(error, c.error) << ToUtf8(c.path);
  }
}

TEST_F(FilesTest, ShareModesAmongOpenHandles) {
  Text path = At(u"shared.txt");
  WriteFile(path, "content");
  struct Case {
    Access firstAccess;
    Share firstShare;
    Access secondAccess;
    Share secondShare;
    bool secondOpens;
  } cases[] = {
      // Deny-write (the codec's default) lets readers in and keeps writers out.
      {Access::kRead, Share::kRead, Access::kRead, Share::kRead, true},
      {Access::kRead, Share::kRead, Access::kWrite, Share::kReadWrite, false},
      {Access::kRead, Share::kRead, Access::kReadWrite, Share::kReadWrite, false},
      // Deny-none tolerates a writer that shares reading.
      {Access::kRead, Share::kReadWrite, Access::kWrite, Share::kReadWrite, true},
      // A reader that denies writing cannot join an open writer.
      {Access::kWrite, Share::kReadWrite, Access::kRead, Share::kRead, false},
      {Access::kWrite, Share::kReadWrite, Access::kRead, Share::kReadWrite, true},
      {Access::kRead, Share::kExclusive, Access::kRead, Share::kReadWrite, false},
      {Access::kRead, Share::kReadWrite, Access::kRead, Share::kExclusive, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    uint32_t error = 0;
    auto first =
        Files().Open(path, c.firstAccess, c.firstShare, Disposition::kOpenExisting, &error);
    ASSERT_TRUE(first) << error;
    auto second =
        Files().Open(path, c.secondAccess, c.secondShare, Disposition::kOpenExisting, &error);
    EXPECT_EQ(static_cast<bool>(second), c.secondOpens);
    if (!c.secondOpens) {
      EXPECT_EQ(error, err::kSharingViolation);
    }
    second.reset();
    first.reset();
  }
  // Once the handle is closed the file is free again.
  uint32_t error = 0;
  EXPECT_TRUE(Files().Open(path, Access::kWrite, Share::kExclusive, Disposition::kOpenExisting,
                           &error));
}

TEST_F(FilesTest, OpenFileWithoutShareDeleteCannotBeRemovedOrMoved) {
  Text path = At(u"busy.txt");
  WriteFile(path, "x");
  uint32_t error = 0;
  auto f = Files().Open(path, Access::kRead, Share::kRead, Disposition::kOpenExisting, &error);
  ASSERT_TRUE(f);
  EXPECT_FALSE(Files().Remove(path));
  EXPECT_EQ(Files().LastError(), err::kSharingViolation);
  EXPECT_FALSE(Files().Move(path, At(u"elsewhere.txt"), false));
  EXPECT_EQ(Files().LastError(), err::kSharingViolation);
  f.reset();
  EXPECT_TRUE(Files().Remove(path));
  EXPECT_FALSE(Files().Exists(path));
}

TEST_F(FilesTest, AttributesAreKeptAndDerived) {
  Text file = At(u"plain.txt");
  Text dir = At(u"folder");
  WriteFile(file, "x");
  ASSERT_TRUE(Files().CreateDir(dir));
  EXPECT_EQ(Files().Attributes(file), attr::kArchive);
  EXPECT_EQ(Files().Attributes(dir) & attr::kDirectory, attr::kDirectory);
  EXPECT_TRUE(Files().DirExists(dir));
  EXPECT_FALSE(Files().FileExists(dir));

  ASSERT_TRUE(Files().SetAttributes(file, attr::kHidden | attr::kSystem));
  EXPECT_EQ(Files().Attributes(file), FileAttr(attr::kHidden | attr::kSystem));
  ASSERT_TRUE(Files().SetAttributes(dir, attr::kHidden));
  EXPECT_EQ(Files().Attributes(dir), attr::kHidden | attr::kDirectory);
  ASSERT_TRUE(Files().SetAttributes(file, attr::kNormal));
  EXPECT_EQ(Files().Attributes(file), FileAttr(attr::kNormal));

  EXPECT_EQ(Files().Attributes(At(u"missing")), attr::kInvalid);
  EXPECT_EQ(Files().LastError(), err::kFileNotFound);
  EXPECT_FALSE(Files().SetAttributes(At(u"missing"), attr::kHidden));
}

TEST_F(FilesTest, ReadOnlyFileRefusesWritersAndRemoval) {
  Text file = At(u"locked.txt");
  WriteFile(file, "keep");
  ASSERT_TRUE(Files().SetAttributes(file, attr::kReadOnly));
  EXPECT_TRUE(Files().Attributes(file) & attr::kReadOnly);
  if (env_->IsWine()) {
    ASSERT_TRUE(Files().SetAttributes(file, attr::kNormal));
    GTEST_SKIP() << "Wine keeps read-only as Unix permissions, which do not bind root";
  }
  uint32_t error = 0;
  EXPECT_FALSE(
      Files().Open(file, Access::kWrite, Share::kRead, Disposition::kOpenExisting, &error));
  EXPECT_EQ(error, err::kAccessDenied);
  EXPECT_FALSE(
      Files().Open(file, Access::kWrite, Share::kRead, Disposition::kCreateAlways, &error));
  EXPECT_EQ(error, err::kAccessDenied);
  EXPECT_FALSE(Files().Remove(file));
  EXPECT_EQ(Files().LastError(), err::kAccessDenied);
  EXPECT_EQ(ReadFile(file), "keep");
  ASSERT_TRUE(Files().SetAttributes(file, attr::kNormal));
  EXPECT_TRUE(Files().Remove(file));
}

// CreateFileW with CREATE_ALWAYS and plain attributes will not replace a
// hidden or system file.
TEST_F(FilesTest, CreateAlwaysRefusesHiddenFile) {
  if (env_->IsWine()) GTEST_SKIP() << "Wine replaces hidden files";
  Text file = At(u"hidden.txt");
  WriteFile(file, "old");
  ASSERT_TRUE(Files().SetAttributes(file, attr::kHidden));
  uint32_t error = 0;
  EXPECT_FALSE(
      Files().Open(file, Access::kWrite, Share::kExclusive, Disposition::kCreateAlways, &error));
  EXPECT_EQ(error, err::kAccessDenied);
  EXPECT_EQ(ReadFile(file), "old");
}

TEST_F(FilesTest, FindListsEverythingWithAttributesAndSizes) {
  WriteFile(At(u"b.txt"), "12345");
  WriteFile(At(u"Hidden.TXT"), "1");
  WriteFile(At(u"sys.dat"), "");
  ASSERT_TRUE(Files().CreateDir(At(u"sub")));
  ASSERT_TRUE(Files().SetAttributes(At(u"Hidden.TXT"), attr::kHidden));
  ASSERT_TRUE(Files().SetAttributes(At(u"sys.dat"), attr::kSystem));

  for (const char16_t* mask : {u"*.*", u"*"}) {
    auto found = ByName(Files().Find(At(mask)));
    ASSERT_EQ(found.size(), 6u) << ToUtf8(mask);
    EXPECT_TRUE(found.count(u".") && found.count(u".."));
    EXPECT_TRUE(found[u"."].attributes & attr::kDirectory);
    EXPECT_EQ(found[u"b.txt"].size, 5u);
    EXPECT_EQ(found[u"b.txt"].attributes, attr::kArchive);
    EXPECT_EQ(found[u"Hidden.TXT"].attributes, FileAttr(attr::kHidden));
    EXPECT_EQ(found[u"sys.dat"].attributes, FileAttr(attr::kSystem));
    EXPECT_EQ(found[u"sub"].attributes, attr::kDirectory);
  }

  auto txt = ByName(Files().Find(At(u"*.txt")));
  EXPECT_EQ(txt.size(), 2u);
  auto exact = Files().Find(At(u"B.TXT"));
  ASSERT_EQ(exact.size(), 1u);
  EXPECT_EQ(exact[0].name, u"b.txt");
  EXPECT_TRUE(Files().Find(At(u"nothing\\*.*")).empty());
  EXPECT_TRUE(Files().Find(At(u"none*.zip")).empty());
}

TEST_F(FilesTest, NamesMatchWithoutRegardToCase) {
  ASSERT_TRUE(Files().CreateDir(At(u"Folder")));
  WriteFile(At(u"Folder\\MixedCase.txt"), "data");
  EXPECT_EQ(ReadFile(At(u"FOLDER\\mixedcase.TXT")), "data");
  EXPECT_TRUE(Files().FileExists(At(u"folder\\MIXEDCASE.txt")));
  uint32_t error = 0;
  EXPECT_FALSE(Files().CreateDir(At(u"FOLDER"), &error));
  EXPECT_EQ(error, err::kAlreadyExists);
  // Replacing through another case keeps one file, not two.
  WriteFile(At(u"folder\\mixedcase.txt"), "new");
  auto found = ByName(Files().Find(At(u"Folder\\*.*")));
  EXPECT_EQ(found.size(), 3u);
  EXPECT_EQ(ReadFile(At(u"Folder\\MixedCase.txt")), "new");
}

TEST_F(FilesTest, CreateDirAndRemoveDirErrors) {
  uint32_t error = 0;
  EXPECT_TRUE(Files().CreateDir(At(u"a"), &error));
  EXPECT_FALSE(Files().CreateDir(At(u"a"), &error));
  EXPECT_EQ(error, err::kAlreadyExists);
  EXPECT_FALSE(Files().CreateDir(At(u"missing\\b"), &error));
  EXPECT_EQ(error, err::kPathNotFound);
  WriteFile(At(u"file"), "x");
  EXPECT_FALSE(Files().CreateDir(At(u"file"), &error));
  EXPECT_EQ(error, err::kAlreadyExists);

  EXPECT_TRUE(Files().ForceDirectories(At(u"x\\y\\z")));
  EXPECT_TRUE(Files().DirExists(At(u"x\\y\\z")));
  EXPECT_FALSE(Files().RemoveDir(At(u"x\\y")));
  EXPECT_EQ(Files().LastError(), err::kDirNotEmpty);
  EXPECT_TRUE(Files().RemoveDir(At(u"x\\y\\z")));
  EXPECT_FALSE(Files().RemoveDir(At(u"x\\y\\z")));
  EXPECT_EQ(Files().LastError(), err::kFileNotFound);
}

TEST_F(FilesTest, CopyFile) {
  WriteFile(At(u"src.txt"), "source");
  WriteFile(At(u"dst.txt"), "old");
  ASSERT_TRUE(Files().SetAttributes(At(u"src.txt"), attr::kHidden));
  EXPECT_FALSE(Files().Copy(At(u"src.txt"), At(u"dst.txt"), true));
  EXPECT_EQ(Files().LastError(), err::kFileExists);
  EXPECT_EQ(ReadFile(At(u"dst.txt")), "old");
  EXPECT_TRUE(Files().Copy(At(u"src.txt"), At(u"dst.txt"), false));
  EXPECT_EQ(ReadFile(At(u"dst.txt")), "source");
  // CopyFileW carries the attributes over (Wine's does not).
  if (!env_->IsWine()) {
    EXPECT_EQ(Files().Attributes(At(u"dst.txt")) & attr::kHidden, attr::kHidden);
  }
  EXPECT_FALSE(Files().Copy(At(u"missing.txt"), At(u"other.txt"), false));
  EXPECT_EQ(Files().LastError(), err::kFileNotFound);
}

TEST_F(FilesTest, MoveReplacesOnlyWhenAsked) {
  WriteFile(At(u"a.txt"), "A");
  WriteFile(At(u"b.txt"), "B");
  EXPECT_FALSE(Files().Move(At(u"a.txt"), At(u"b.txt"), false));
  EXPECT_EQ(Files().LastError(), err::kAlreadyExists);
  EXPECT_EQ(ReadFile(At(u"b.txt")), "B");
  EXPECT_TRUE(Files().Move(At(u"a.txt"), At(u"b.txt"), true));
  EXPECT_EQ(ReadFile(At(u"b.txt")), "A");
  EXPECT_FALSE(Files().Exists(At(u"a.txt")));
  EXPECT_FALSE(Files().Move(At(u"b.txt"), At(u"nodir\\b.txt"), true));
  EXPECT_EQ(Files().LastError(), err::kPathNotFound);
}

TEST_F(FilesTest, MoveFolderAndChangeCase) {
  ASSERT_TRUE(Files().CreateDir(At(u"old")));
  WriteFile(At(u"old\\inner.txt"), "in");
  ASSERT_TRUE(Files().SetAttributes(At(u"old\\inner.txt"), attr::kHidden));
  ASSERT_TRUE(Files().Move(At(u"old"), At(u"new"), false));
  EXPECT_EQ(ReadFile(At(u"new\\inner.txt")), "in");
  EXPECT_EQ(Files().Attributes(At(u"new\\inner.txt")), FileAttr(attr::kHidden));
  ASSERT_TRUE(Files().Move(At(u"new\\inner.txt"), At(u"new\\INNER.txt"), false));
  if (env_->IsWine()) GTEST_SKIP() << "Wine ignores a rename that changes only the case";
  auto found = Files().Find(At(u"new\\inner.txt"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, u"INNER.txt");
}

TEST_F(FilesTest, RelativePathsFollowTheCurrentFolder) {
  Text before = Files().CurrentDir();
  ASSERT_TRUE(Files().CreateDir(At(u"here")));
  ASSERT_TRUE(Files().SetCurrentDir(At(u"here")));
  EXPECT_TRUE(SameText(Files().CurrentDir(), At(u"here")));
  WriteFile(u"rel.txt", "relative");
  EXPECT_EQ(ReadFile(At(u"here\\rel.txt")), "relative");
  EXPECT_EQ(ReadFile(u"..\\here\\rel.txt"), "relative");
  EXPECT_FALSE(Files().SetCurrentDir(At(u"missing")));
  EXPECT_TRUE(SameText(Files().CurrentDir(), At(u"here")));
  Files().SetCurrentDir(before);
}

TEST_F(FilesTest, WindowsFolderExists) {
  Text dir;
  uint32_t error = 0;
  ASSERT_TRUE(Files().WindowsDir(&dir, &error)) << error;
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(dir[1], u':');
  EXPECT_TRUE(Files().DirExists(dir));
}

}  // namespace
}  // namespace contract
