// The shell's silent folder copy and delete, and the special folders.
#include "contract_env.h"

namespace contract {
namespace {

using namespace platform;

constexpr uint32_t kCopyFlags = fof::kSilent | fof::kNoConfirmation | fof::kNoConfirmMkdir;
constexpr uint32_t kRecycleFlags = fof::kAllowUndo | fof::kNoConfirmation | fof::kSilent;

class ShellTest : public ContractTest {
 protected:
  // source\top.txt, source\deeper\inner.txt
  void MakeSource() {
    ASSERT_TRUE(Files().ForceDirectories(At(u"source\\deeper")));
    WriteFile(At(u"source\\top.txt"), "top");
    WriteFile(At(u"source\\deeper\\inner.txt"), "inner");
  }
};

TEST_F(ShellTest, CopyFolderIntoExistingFolderMakesSubFolder) {
  MakeSource();
  ASSERT_TRUE(Files().CreateDir(At(u"stage")));
  ASSERT_TRUE(Files().CreateDir(At(u"stage\\source")));
  WriteFile(At(u"stage\\source\\top.txt"), "stale");
  WriteFile(At(u"stage\\source\\kept.txt"), "kept");
  EXPECT_EQ(P().shell.FileOperation(ShellOp::kCopy, At(u"source"), At(u"stage"), kCopyFlags), 0);
  EXPECT_EQ(ReadFile(At(u"stage\\source\\top.txt")), "top");
  EXPECT_EQ(ReadFile(At(u"stage\\source\\deeper\\inner.txt")), "inner");
  EXPECT_EQ(ReadFile(At(u"stage\\source\\kept.txt")), "kept");
  EXPECT_FALSE(Files().Exists(At(u"stage\\top.txt")));
}

TEST_F(ShellTest, CopyFolderToMissingFolderTakesItsContents) {
  MakeSource();
  EXPECT_EQ(
      P().shell.FileOperation(ShellOp::kCopy, At(u"source"), At(u"new\\target"), kCopyFlags), 0);
  EXPECT_EQ(ReadFile(At(u"new\\target\\top.txt")), "top");
  EXPECT_EQ(ReadFile(At(u"new\\target\\deeper\\inner.txt")), "inner");
  EXPECT_FALSE(Files().Exists(At(u"new\\target\\source")));
}

TEST_F(ShellTest, CopySingleFile) {
  MakeSource();
  ASSERT_TRUE(Files().CreateDir(At(u"into")));
  EXPECT_EQ(P().shell.FileOperation(ShellOp::kCopy, At(u"source\\top.txt"), At(u"into"),
                                    kCopyFlags),
            0);
  EXPECT_EQ(ReadFile(At(u"into\\top.txt")), "top");
  EXPECT_EQ(P().shell.FileOperation(ShellOp::kCopy, At(u"source\\top.txt"), At(u"renamed.txt"),
                                    kCopyFlags),
            0);
  EXPECT_EQ(ReadFile(At(u"renamed.txt")), "top");
}

TEST_F(ShellTest, MissingSourceFails) {
  EXPECT_NE(P().shell.FileOperation(ShellOp::kCopy, At(u"nothing"), At(u"to"), kCopyFlags), 0);
  EXPECT_NE(P().shell.FileOperation(ShellOp::kDelete, At(u"nothing"), u"", kRecycleFlags), 0);
}

// Wine's recycle bin is the desktop trash; only the simulation lets us look inside.
TEST_F(ShellTest, DeleteWithUndoGoesToRecycleBin) {
  MakeSource();
  EXPECT_EQ(P().shell.FileOperation(ShellOp::kDelete, At(u"source"), u"", kRecycleFlags), 0);
  EXPECT_FALSE(Files().Exists(At(u"source")));
  EXPECT_TRUE(Files().DirExists(env_->Scratch()));
  if (env_->IsSim()) {
    auto items = env_->RecycledItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(SameText(items[0], At(u"source")));
  }
}

TEST_F(ShellTest, DeleteWithoutUndoIsPermanent) {
  MakeSource();
  EXPECT_EQ(P().shell.FileOperation(ShellOp::kDelete, At(u"source"), u"",
                                    fof::kNoConfirmation | fof::kSilent),
            0);
  EXPECT_FALSE(Files().Exists(At(u"source")));
  EXPECT_TRUE(env_->RecycledItems().empty());
}

TEST_F(ShellTest, DeleteOnDriveWithoutRecycleBinIsPermanent) {
  Text scratch = env_->ScratchWithoutRecycleBin();
  if (scratch.empty()) GTEST_SKIP() << "simulation only";
  ASSERT_TRUE(Files().CreateDir(scratch + u"\\stage"));
  WriteFile(scratch + u"\\stage\\f.txt", "x");
  EXPECT_EQ(P().shell.FileOperation(ShellOp::kDelete, scratch + u"\\stage", u"", kRecycleFlags),
            0);
  EXPECT_FALSE(Files().Exists(scratch + u"\\stage"));
  EXPECT_TRUE(env_->RecycledItems().empty());
}

TEST_F(ShellTest, ApplicationDataFoldersExist) {
  for (int id : {csidl::kAppData, csidl::kLocalAppData}) {
    Text path;
    EXPECT_EQ(P().shell.FolderPath(id, &path), 0) << id;
    EXPECT_TRUE(Files().DirExists(path)) << id << " " << ToUtf8(path);
  }
}

}  // namespace
}  // namespace contract
