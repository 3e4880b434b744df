// The volume controls on the real API. Wine answers retrieval pointers with
// a made-up single extent (StartingVcn 1, NextVcn 0, Lcn 0) and supports
// neither the volume bitmap nor move-file, so this checks what Wine answers
// and that the engine takes those answers as "not readable"; the moves
// themselves are exercised on the simulated volume.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/win32_volumes.h"
#include "tests/zentura/contract/win32_test_support.h"
#include "zentura/defrag/defrag_engine.h"

namespace zentura_test {
namespace {

using namespace platform;

class NoSleep : public Clock {
 public:
  void SleepMs(uint32_t) override {}
  uint64_t TickMs() override { return 0; }
};

TEST(VolumeContract, WhatTheFileSystemAnswers) {
  Text folder = ScratchFolder("zvolume");
  ASSERT_TRUE(WriteRawFile(folder + u"a.pak", std::string(100000, 'x')));
  auto volumes = win32::MakeWin32Volumes();

  // The listing of the scan: "." and "..", then the file with its size.
  auto entries = volumes->Find(folder + u"*.*");
  bool found = false;
  for (const auto& e : entries) {
    if (e.name == u"a.pak") {
      found = true;
      EXPECT_EQ(e.size, 100000u);
      EXPECT_FALSE(e.attributes & attr::kDirectory);
    }
  }
  EXPECT_TRUE(found);

  VolumeHandle file = volumes->OpenFile(folder + u"a.pak");
  ASSERT_NE(file, kNoHandle);
  alignas(8) unsigned char buffer[4112] = {};
  StartingVcnInput vcn{0};
  IoStatus io;
  uint32_t status = volumes->FsControl(file, fsctl::kGetRetrievalPointers, &vcn, sizeof vcn, buffer,
                                        sizeof buffer, &io);
  EXPECT_EQ(status, ntstatus::kSuccess);
  if (status == ntstatus::kSuccess) {
    RetrievalPointersHeader header;
    std::memcpy(&header, buffer, sizeof header);
    RetrievalExtent extent;
    std::memcpy(&extent, buffer + sizeof header, sizeof extent);
    EXPECT_EQ(header.ExtentCount, 1u);
    EXPECT_EQ(header.StartingVcn, 1);
    EXPECT_EQ(extent.NextVcn, 0);
    EXPECT_EQ(extent.Lcn, 0);
  }
  // However the answer comes, the engine does not take it for a fragmented file.
  NoSleep clock;
  zentura::DefragEnv env{*volumes, clock, nullptr, nullptr};
  zentura::DefragEngine engine(env);
  int64_t span = 0;
  EXPECT_LE(engine.ReadFileFragments(file, nullptr, &span), 1);
  volumes->Close(file);

  Text letter = folder.substr(0, 1);
  VolumeHandle volume = volumes->OpenVolume(u"\\\\.\\" + letter + u":");
  EXPECT_NE(volume, kNoHandle);
  if (volume != kNoHandle) {
    StartingLcnInput lcn{0};
    status = volumes->FsControl(volume, fsctl::kGetVolumeBitmap, &lcn, sizeof lcn, buffer, sizeof buffer, &io);
    EXPECT_EQ(status, ntstatus::kNotSupported);
    std::vector<zentura::TFreeExtent> free;
    engine.ReadFreeExtents(volume, free);
    EXPECT_TRUE(free.empty());
    MoveFileData move{};
    move.FileHandle = file;
    move.ClusterCount = 1;
    status = volumes->FsControl(volume, fsctl::kMoveFile, &move, sizeof move, nullptr, 0, &io);
    EXPECT_NE(status, ntstatus::kSuccess);
    volumes->Close(volume);
  }

  // The scan over the folder: the file is met, none is listed.
  auto list = std::make_shared<zentura::FragmentList>();
  EXPECT_EQ(engine.ScanFolder(folder, *list), 1);
  EXPECT_TRUE(list->empty());
  ::DeleteFileW(win32::W(folder + u"a.pak"));
  ::RemoveDirectoryW(win32::W(folder));
}

}  // namespace
}  // namespace zentura_test
