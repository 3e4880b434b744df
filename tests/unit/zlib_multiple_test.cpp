#include "brantle/archive/zlib_multiple.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using brantle::ArchiveError;
using brantle::TZlibMultiple;
using brantle::ZlibError;
using platform::Text;
using namespace testing_support;

std::string Deflate(const std::string& data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(data.data()), data.size(), level);
  out.resize(size);
  return out;
}

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

std::string TextLike(size_t n) {
  static const char* words[] = {"bookmark ", "cookie ", "history\r\n", "session ", "profile "};
  std::string s;
  for (size_t i = 0; s.size() < n; ++i) s += words[(i * 7) % 5];
  s.resize(n);
  return s;
}

// One entry as it sits in an archive; a test may set any field to a wrong value.
struct Entry {
  std::string dir;
  std::string name;
  uint32_t fileSize = 0;
  std::optional<int32_t> compressedSize;  // the length of data when not set
  std::string data;
};

Entry Make(const std::string& dir, const std::string& name, const std::string& content) {
  return {dir, name, static_cast<uint32_t>(content.size()), std::nullopt, Deflate(content)};
}

void PutLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

std::string Pack(const std::vector<Entry>& entries) {
  std::string out;
  for (const Entry& e : entries) {
    out.push_back(static_cast<char>(e.dir.size()));
    out += e.dir;
    out.push_back(static_cast<char>(e.name.size()));
    out += e.name;
    PutLe32(out, e.fileSize);
    PutLe32(out,
            static_cast<uint32_t>(e.compressedSize.value_or(static_cast<int32_t>(e.data.size()))));
    out += e.data;
  }
  return out;
}

// Splits an archive into entries; the sizes must account for every byte.
std::vector<Entry> Parse(const std::string& bytes) {
  std::vector<Entry> entries;
  size_t pos = 0;
  auto take = [&](size_t n) {
    if (pos + n > bytes.size()) throw std::runtime_error("archive ends inside an entry");
    std::string s = bytes.substr(pos, n);
    pos += n;
    return s;
  };
  auto le32 = [&] {
    std::string s = take(4);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[i]);
    return v;
  };
  while (pos < bytes.size()) {
    Entry e;
    e.dir = take(static_cast<uint8_t>(take(1)[0]));
    e.name = take(static_cast<uint8_t>(take(1)[0]));
    e.fileSize = le32();
    e.compressedSize = static_cast<int32_t>(le32());
    e.data = take(static_cast<size_t>(*e.compressedSize));
    entries.push_back(e);
  }
  return entries;
}

std::string Bytes(platform::MemoryStream& s) {
  return std::string(s.Data().begin(), s.Data().end());
}

std::string Utf8(const Text& t) { return platform::ToUtf8(t); }

class ZlibMultipleTest : public ::testing::Test {
 protected:
  std::string Compress(TZlibMultiple& z, const Text& dir, bool recursive = true) {
    auto stream = z.CompressDirectory(dir, recursive);
    EXPECT_EQ(stream->Position(), 0u);
    return Bytes(*stream);
  }

  // Every item below the simulated machine's root folder.
  std::set<std::string> HostTree() {
    std::set<std::string> items;
    for (auto& e : std::filesystem::recursive_directory_iterator(sim.root()))
      items.insert(e.path().string());
    return items;
  }

  std::set<Text> Names(const Text& folder) {
    std::set<Text> names;
    for (auto& e : p.files.Find(folder + u"\\*.*"))
      if (e.name != u"." && e.name != u"..") names.insert(e.name);
    return names;
  }

  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
};

TEST_F(ZlibMultipleTest, ArchiveBytesFollowTheWalkWithOneZlibStreamPerFile) {
  const std::string deep = TextLike(3000), mid = RandomBytes(5000, 1);
  WriteFile(p, u"C:\\src\\root.txt", "hello root");
  WriteFile(p, u"C:\\src\\a\\b\\deep.txt", deep);
  WriteFile(p, u"C:\\src\\a\\mid.bin", mid);
  WriteFile(p, u"C:\\src\\empty.txt", "");
  ASSERT_TRUE(p.files.CreateDir(u"C:\\src\\emptydir"));

  // Folders are walked where the walk meets them (names in upper-case order
  // here); empty files and folders leave no trace.
  for (int level : {-1, 0, 1, 9}) {
    SCOPED_TRACE(level);
    TZlibMultiple z(p);
    z.CompressionLevel = level;
    std::vector<Entry> entries = Parse(Compress(z, u"C:\\src"));
    ASSERT_EQ(entries.size(), 3u);
    const Entry want[] = {Make("a\\b\\", "deep.txt", deep), Make("a\\", "mid.bin", mid),
                          Make("", "root.txt", "hello root")};
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(entries[i].dir, want[i].dir);
      EXPECT_EQ(entries[i].name, want[i].name);
      EXPECT_EQ(entries[i].fileSize, want[i].fileSize);
      EXPECT_EQ(entries[i].data, Deflate(i == 0 ? deep : i == 1 ? mid : "hello root", level));
    }
  }

  TZlibMultiple flat(p);
  flat.StorePaths = false;
  for (const Entry& e : Parse(Compress(flat, u"C:\\src\\"))) EXPECT_EQ(e.dir, "");

  TZlibMultiple top(p);
  std::vector<Entry> rootOnly = Parse(Compress(top, u"C:\\src", false));
  ASSERT_EQ(rootOnly.size(), 1u);
  EXPECT_EQ(rootOnly[0].name, "root.txt");
}

TEST_F(ZlibMultipleTest, EmptyTreeGivesEmptyArchiveWhichExtractsToNothing) {
  WriteFile(p, u"C:\\src\\sub\\zero.txt", "");
  TZlibMultiple z(p);
  int completed = 0;
  z.OnCompletedAction = [&](TZlibMultiple& sender) { completed += &sender == &z; };
  z.CompressDirectory(u"C:\\src", true, u"C:\\empty.dat");
  EXPECT_EQ(ReadFile(p, u"C:\\empty.dat"), "");

  z.DecompressFile(u"C:\\empty.dat", u"C:\\out", true, true);
  EXPECT_EQ(completed, 1);
  EXPECT_TRUE(Names(u"C:\\out").empty());
}

TEST_F(ZlibMultipleTest, RoundTripThroughFileIsByteIdenticalAndListsWalkOrder) {
  const std::map<Text, std::string> files = {
      {u"prefs.js", TextLike(300000)},
      {u"caf\u00e9\\places.sqlite", RandomBytes(200000, 2)},
      {u"caf\u00e9\\deep\\one.bin", "1"},
      {u"z\\exactly.txt", TextLike(2048)},
  };
  for (auto& [name, content] : files) WriteFile(p, u"C:\\src\\" + name, content);

  TZlibMultiple z(p);
  z.CompressDirectory(u"C:\\src", true, u"C:\\backup.dat");
  TZlibMultiple memory(p);
  EXPECT_EQ(ReadFile(p, u"C:\\backup.dat"), Compress(memory, u"C:\\src"));

  std::vector<Text> listed{u"kept"};
  z.ListStoredFiles(u"C:\\backup.dat", listed);
  EXPECT_EQ(listed,
            (std::vector<Text>{u"kept", u"caf\u00e9\\deep\\one.bin", u"caf\u00e9\\places.sqlite",
                               u"prefs.js", u"z\\exactly.txt"}));

  z.DecompressFile(u"C:\\backup.dat", u"C:\\restore", true, true);
  for (auto& [name, content] : files) EXPECT_EQ(ReadFile(p, u"C:\\restore\\" + name), content);
}

TEST_F(ZlibMultipleTest, EventsComeInOrderWithChunkProgress) {
  WriteFile(p, u"C:\\src\\sub\\f.txt", TextLike(2500));
  std::vector<std::string> log;
  TZlibMultiple z(p);
  auto check = [&](TZlibMultiple& sender) { EXPECT_EQ(&sender, &z); };
  z.OnCompressingFile = [&](TZlibMultiple& s, const Text& f) {
    check(s);
    log.push_back("compressing " + Utf8(f));
  };
  z.OnCompressedFile = [&](TZlibMultiple& s, const Text& f) {
    check(s);
    log.push_back("compressed " + Utf8(f));
  };
  z.OnProgress = [&](TZlibMultiple& s, int32_t pos, int32_t total) {
    check(s);
    log.push_back(std::to_string(pos) + "/" + std::to_string(total));
  };
  z.OnDecompressingFile = [&](TZlibMultiple& s, const Text& f, bool& write) {
    check(s);
    EXPECT_TRUE(write);
    log.push_back("decompressing " + Utf8(f));
  };
  z.OnDecompressedFile = [&](TZlibMultiple& s, const Text& f, uint32_t size) {
    check(s);
    log.push_back("decompressed " + Utf8(f) + " " + std::to_string(size));
  };
  z.OnCompletedAction = [&](TZlibMultiple& s) {
    check(s);
    log.push_back("completed");
  };

  z.CompressDirectory(u"C:\\src", true, u"C:\\a.dat");
  z.DecompressFile(u"C:\\a.dat", u"C:\\dst", true, true);

  EXPECT_EQ(log, (std::vector<std::string>{
                     "compressing C:\\src\\sub\\f.txt", "1024/2500", "2048/2500", "2500/2500",
                     "2500/2500", "compressed C:\\src\\sub\\f.txt",
                     "decompressing C:\\dst\\sub\\f.txt", "1024/2500", "2048/2500", "2500/2500",
                     "2500/2500", "decompressed C:\\dst\\sub\\f.txt 2500", "completed"}));
}

TEST_F(ZlibMultipleTest, ProgressGoesThroughTheOverridableHook) {
  struct Counting : TZlibMultiple {
    using TZlibMultiple::TZlibMultiple;
    int calls = 0;
    void DoProgress(int32_t, int32_t) override { ++calls; }
  };
  WriteFile(p, u"C:\\src\\f.txt", "abc");
  Counting z(p);
  bool eventRaised = false;
  z.OnProgress = [&](TZlibMultiple&, int32_t, int32_t) { eventRaised = true; };
  Compress(z, u"C:\\src");
  EXPECT_EQ(z.calls, 2);
  EXPECT_FALSE(eventRaised);
}

TEST_F(ZlibMultipleTest, FileThatCannotBeOpenedIsSkippedAndReported) {
  WriteFile(p, u"C:\\src\\a.txt", "a");
  WriteFile(p, u"C:\\src\\busy.log", "busy");
  WriteFile(p, u"C:\\src\\c.txt", "c");
  uint32_t error = 0;
  // A writer that lets others read and write, as a running browser would.
  auto writer =
      p.files.Open(u"C:\\src\\busy.log", platform::Access::kWrite, platform::Share::kReadWrite,
                   platform::Disposition::kOpenExisting, &error);
  ASSERT_TRUE(writer);

  TZlibMultiple z(p);
  std::vector<std::vector<Text>> skips;
  z.OnFileSkip = [&](TZlibMultiple&, const Text& f, const Text& type, const Text& message) {
    skips.push_back({f, type, message});
  };
  std::vector<Entry> entries = Parse(Compress(z, u"C:\\src"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].name, "c.txt");
  ASSERT_EQ(skips.size(), 1u);
  EXPECT_EQ(skips[0],
            (std::vector<Text>{u"C:\\src\\busy.log", u"EFOpenError",
                               u"Cannot open file \"C:\\src\\busy.log\". " +
                                   p.system.ErrorMessage(platform::err::kSharingViolation)}));

  TZlibMultiple shared(p);
  shared.IgnoreExclusive = true;
  EXPECT_EQ(Parse(Compress(shared, u"C:\\src")).size(), 3u);
}

TEST_F(ZlibMultipleTest, NamesAreAnsiOrMarkedUtf8AndFieldsCutTo255Bytes) {
  const Text longDir = Text(200, u'd') + u"\\" + Text(100, u'e');
  WriteFile(p, u"C:\\src\\caf\u00e9 \u20ac.txt", "1");
  WriteFile(p, u"C:\\src\\\u4e2d.txt", "2");
  WriteFile(p, u"C:\\src\\" + longDir + u"\\f.txt", "3");
  TZlibMultiple z(p);
  std::vector<Entry> entries = Parse(Compress(z, u"C:\\src"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "caf\xe9 \x80.txt");
  EXPECT_EQ(entries[1].dir,
            (std::string(200, 'd') + "\\" + std::string(100, 'e') + "\\").substr(0, 255));
  EXPECT_EQ(entries[1].name, "f.txt");
  // Beyond the code page: the marker byte and UTF-8.
  EXPECT_EQ(entries[2].name, "\x01\xe4\xb8\xad.txt");
}

TEST_F(ZlibMultipleTest, NamesOutsideTheCodePageRestoreAsTheyWere) {
  WriteFile(p, u"C:\\src\\\u0418\u0437\u0431\u0440\u0430\u043d\u043d\u043e\u0435\\\u4e2d\u6587.url", "cjk");
  WriteFile(p, u"C:\\src\\plain.txt", "plain");
  TZlibMultiple z(p);
  z.CompressDirectory(u"C:\\src", true, u"C:\\a.dat");
  int renamed = 0;
  z.OnFileRenamed = [&](TZlibMultiple&, const Text&, const Text&) { ++renamed; };
  z.DecompressFile(u"C:\\a.dat", u"C:\\dst", true, true);
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\\u0418\u0437\u0431\u0440\u0430\u043d\u043d\u043e\u0435\\\u4e2d\u6587.url"), "cjk");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\plain.txt"), "plain");
  EXPECT_EQ(renamed, 0);
}

TEST_F(ZlibMultipleTest, StoredNamesWindowsRefusesAreRestoredUnderDistinctValidNames) {
  // As older versions stored names the code page lacked: "?" for each character.
  WriteFile(p, u"C:\\old.dat",
            Pack({Make("", "??.txt", "first"), Make("", "??.txt", "second"), Make("d?r\\", "CON.txt", "device"),
                  Make("", "ok.txt", "ok"),
                  // A valid name before or after is never the one a renamed entry takes.
                  Make("", "a_b.txt", "valid before"), Make("", "a?b.txt", "renamed"),
                  Make("", "c?d.txt", "renamed too"), Make("", "C_D.txt", "valid after")}));
  TZlibMultiple z(p);
  std::vector<std::pair<Text, Text>> renamed;
  z.OnFileRenamed = [&](TZlibMultiple&, const Text& stored, const Text& target) {
    renamed.emplace_back(stored, target);
  };
  z.DecompressFile(u"C:\\old.dat", u"C:\\dst", true, true);
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\__.txt"), "first");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\__ (2).txt"), "second");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\d_r\\_CON.txt"), "device");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\ok.txt"), "ok");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\a_b.txt"), "valid before");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\a_b (2).txt"), "renamed");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\c_d (2).txt"), "renamed too");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\C_D.txt"), "valid after");
  EXPECT_EQ(renamed, (std::vector<std::pair<Text, Text>>{{u"??.txt", u"C:\\dst\\__.txt"},
                                                        {u"??.txt", u"C:\\dst\\__ (2).txt"},
                                                        {u"d?r\\CON.txt", u"C:\\dst\\d_r\\_CON.txt"},
                                                        {u"a?b.txt", u"C:\\dst\\a_b (2).txt"},
                                                        {u"c?d.txt", u"C:\\dst\\c_d (2).txt"}}));
}

TEST_F(ZlibMultipleTest, OnlyFilesAndFoldersOfTheTreeArePackedAndTheRestIsReported) {
  namespace fs = std::filesystem;
  WriteFile(p, u"C:\\src\\a.txt", "a");
  WriteFile(p, u"C:\\src\\zgone\\b.txt", "b");
  WriteFile(p, u"C:\\outside.txt", "outside");
  std::string src = sim.sim().HostPath(u"C:\\src");
  fs::create_directory_symlink(src, src + "/loop");
  fs::create_symlink(sim.sim().HostPath(u"C:\\outside.txt"), src + "/file-link.txt");
  ASSERT_EQ(mkfifo((src + "/pipe").c_str(), 0600), 0);

  TZlibMultiple z(p);
  std::map<Text, Text> skipped;
  z.OnFileSkip = [&](TZlibMultiple&, const Text& f, const Text& type, const Text&) { skipped[f] = type; };
  // A folder that disappears after the walk listed its parent.
  z.OnCompressingFile = [&](TZlibMultiple&, const Text& f) {
    if (f == u"C:\\src\\a.txt") fs::remove_all(src + "/zgone");
  };
  std::vector<Entry> entries = Parse(Compress(z, u"C:\\src"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "a.txt");
  EXPECT_EQ(skipped, (std::map<Text, Text>{{u"C:\\src\\file-link.txt", u"ELink"},
                                           {u"C:\\src\\loop", u"ELink"},
                                           {u"C:\\src\\pipe", u"ENotAFile"},
                                           {u"C:\\src\\zgone\\", u"EListError"}}));
}

TEST_F(ZlibMultipleTest, ArchiveReachedThroughALinkIsNotPackedIntoItself) {
  WriteFile(p, u"C:\\src\\a.txt", std::string(5000, 'a'));
  WriteFile(p, u"C:\\src\\b.dat", "the older archive");
  std::string src = sim.sim().HostPath(u"C:\\src");
  std::filesystem::create_directory_symlink(src, src + "/../alias");
  TZlibMultiple z(p);
  z.CompressDirectory(u"C:\\src", true, u"C:\\alias\\b.dat");
  std::vector<Text> listed;
  z.ListStoredFiles(u"C:\\src\\b.dat", listed);
  EXPECT_EQ(listed, std::vector<Text>{u"a.txt"});
}

TEST_F(ZlibMultipleTest, FileThatChangesWhileItIsPackedIsStoredWithTheSizeItsHeadSays) {
  // Larger than the codec's read block, so the change lands between reads.
  const std::string original = RandomBytes(300000, 7);
  struct Case {
    const char* what;
    std::string after;  // the file's content once packing has begun
    std::string stored;
  } cases[] = {
      {"grows", original + "appended", original},
      {"shrinks", original.substr(0, 200000), original.substr(0, 200000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(p, u"C:\\src\\live.db", original);
    TZlibMultiple z(p);
    std::vector<Text> types;
    z.OnFileSkip = [&](TZlibMultiple&, const Text&, const Text& type, const Text&) { types.push_back(type); };
    bool changed = false;
    z.OnProgress = [&](TZlibMultiple&, int32_t, int32_t) {
      if (changed) return;
      changed = true;
      std::ofstream(sim.sim().HostPath(u"C:\\src\\live.db"), std::ios::binary | std::ios::trunc) << c.after;
    };
    std::vector<Entry> entries = Parse(Compress(z, u"C:\\src"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].fileSize, c.stored.size());
    uLongf size = c.stored.size();
    std::string inflated(size, '\0');
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                         reinterpret_cast<const Bytef*>(entries[0].data.data()), entries[0].data.size()),
              Z_OK);
    EXPECT_EQ(inflated.substr(0, size), c.stored);
    EXPECT_EQ(types, std::vector<Text>{u"EFileChanged"});
  }
}

TEST_F(ZlibMultipleTest, OverwriteFalseKeepsExistingFilesAndStillReadsLaterEntries) {
  WriteFile(p, u"C:\\a.dat",
            Pack({Make("", "a.txt", "new a"), Make("s\\", "b.txt", TextLike(5000)),
                  Make("", "c.txt", "new c")}));
  WriteFile(p, u"C:\\dst\\s\\b.txt", "mine");
  TZlibMultiple z(p);
  std::vector<Text> seen;
  z.OnDecompressingFile = [&](TZlibMultiple&, const Text& f, bool&) { seen.push_back(f); };
  z.DecompressFile(u"C:\\a.dat", u"C:\\dst", false, true);
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\s\\b.txt"), "mine");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\a.txt"), "new a");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\c.txt"), "new c");
  EXPECT_EQ(seen, (std::vector<Text>{u"C:\\dst\\a.txt", u"C:\\dst\\c.txt"}));
}

TEST_F(ZlibMultipleTest, RelativePathsFalsePutsFilesInTargetButStillCreatesStoredFolders) {
  WriteFile(p, u"C:\\a.dat", Pack({Make("x\\y\\", "f1.txt", "1"), Make("x", "f2.txt", "2")}));
  TZlibMultiple z(p);
  z.DecompressFile(u"C:\\a.dat", u"C:\\dst", true, false);
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\f1.txt"), "1");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\f2.txt"), "2");
  EXPECT_TRUE(Names(u"C:\\dst\\x\\y").empty());

  TZlibMultiple noFolders(p);
  noFolders.ForceDirectoriesFlag = false;
  ASSERT_TRUE(p.files.CreateDir(u"C:\\flat"));
  noFolders.DecompressFile(u"C:\\a.dat", u"C:\\flat", true, false);
  EXPECT_EQ(Names(u"C:\\flat"), (std::set<Text>{u"f1.txt", u"f2.txt"}));
}

TEST_F(ZlibMultipleTest, WriteFileFalseSkipsTheFileButReportsItsFullSize) {
  const std::string big = TextLike(3000);
  WriteFile(p, u"C:\\a.dat", Pack({Make("", "skip.txt", big), Make("", "keep.txt", "k")}));
  TZlibMultiple z(p);
  std::vector<std::string> log;
  z.OnDecompressingFile = [&](TZlibMultiple&, const Text& f, bool& write) {
    write = f != u"C:\\dst\\skip.txt";
  };
  z.OnProgress = [&](TZlibMultiple&, int32_t pos, int32_t total) {
    log.push_back(std::to_string(pos) + "/" + std::to_string(total));
  };
  z.OnDecompressedFile = [&](TZlibMultiple&, const Text& f, uint32_t size) {
    log.push_back(Utf8(f) + " " + std::to_string(size));
  };
  z.DecompressFile(u"C:\\a.dat", u"C:\\dst", true, true);
  EXPECT_FALSE(p.files.Exists(u"C:\\dst\\skip.txt"));
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\keep.txt"), "k");
  EXPECT_EQ(log, (std::vector<std::string>{"C:\\dst\\skip.txt 3000", "1/1", "1/1",
                                           "C:\\dst\\keep.txt 1"}));
}

TEST_F(ZlibMultipleTest, StopCompressionEndsTheWalkWithOnlyFinishedFiles) {
  for (const char16_t* n : {u"a.txt", u"b.txt", u"c.txt"})
    WriteFile(p, Text(u"C:\\src\\") + n, TextLike(3000));
  WriteFile(p, u"C:\\out.dat", "old");
  TZlibMultiple z(p);
  Text current;
  z.OnCompressingFile = [&](TZlibMultiple&, const Text& f) { current = f; };
  z.OnProgress = [&](TZlibMultiple& s, int32_t pos, int32_t) {
    if (current == u"C:\\src\\b.txt" && pos == 1024) s.StopCompression();
  };
  z.CompressDirectory(u"C:\\src", true, u"C:\\out.dat");
  std::vector<Entry> entries = Parse(ReadFile(p, u"C:\\out.dat"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].data, Deflate(TextLike(3000)));
}

TEST_F(ZlibMultipleTest, StopDecompressionEndsExtractionWithoutHalfFiles) {
  WriteFile(p, u"C:\\a.dat",
            Pack({Make("", "a.txt", TextLike(3000)), Make("", "b.txt", TextLike(3000)),
                  Make("", "c.txt", "c")}));
  TZlibMultiple z(p);
  Text current;
  std::vector<Text> done;
  bool completed = false;
  z.OnDecompressingFile = [&](TZlibMultiple&, const Text& f, bool&) { current = f; };
  z.OnDecompressedFile = [&](TZlibMultiple&, const Text& f, uint32_t) { done.push_back(f); };
  z.OnCompletedAction = [&](TZlibMultiple&) { completed = true; };
  z.OnProgress = [&](TZlibMultiple& s, int32_t pos, int32_t) {
    if (current == u"C:\\dst\\b.txt" && pos == 1024) s.StopDecompression();
  };
  z.DecompressFile(u"C:\\a.dat", u"C:\\dst", true, true);
  EXPECT_EQ(Names(u"C:\\dst"), std::set<Text>{u"a.txt"});
  EXPECT_EQ(done, std::vector<Text>{u"C:\\dst\\a.txt"});
  EXPECT_TRUE(completed);
}

TEST_F(ZlibMultipleTest, PausedCompressionWaitsUntilResumed) {
  WriteFile(p, u"C:\\src\\f.txt", TextLike(5000));
  TZlibMultiple z(p);
  int events = 0, eventsWhilePaused = -1;
  std::thread resumer;
  z.OnProgress = [&](TZlibMultiple& s, int32_t, int32_t) {
    if (++events != 1) return;
    s.CompressionPaused = true;
    resumer = std::thread([&events, &eventsWhilePaused, codec = &s] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      eventsWhilePaused = events;
      codec->CompressionPaused = false;
    });
  };
  Compress(z, u"C:\\src");
  resumer.join();
  EXPECT_EQ(eventsWhilePaused, 1);
  EXPECT_EQ(events, 6);
}

TEST_F(ZlibMultipleTest, DamagedArchivesFailAndLeaveNoHalfWrittenTarget) {
  const std::string second = TextLike(5000);
  const std::string first = Pack({Make("", "first.txt", "first")});
  Entry good = Make("", "second.txt", second);
  std::string goodBytes = Pack({good});

  Entry corrupt = good;
  for (size_t i = 10; i < 20; ++i) corrupt.data[i] ^= 0x55;
  Entry shortStream = good;  // sizes agree, but the zlib stream never ends
  shortStream.data.resize(good.data.size() / 2);
  Entry negative = good;
  negative.compressedSize = -5;

  struct Case {
    const char* what;
    std::string tail;
    std::string message;
  } cases[] = {
      {"ends inside a head", goodBytes.substr(0, 1), "Stream read error"},
      {"ends inside a name", goodBytes.substr(0, 5), "Stream read error"},
      {"ends inside the sizes", goodBytes.substr(0, 14), "Stream read error"},
      {"data cut short", goodBytes.substr(0, goodBytes.size() - 1), "Stream read error"},
      {"negative size", Pack({negative}), "Stream read error"},
      {"corrupted data", Pack({corrupt}), "zlib returned: data error"},
      {"incomplete stream", Pack({shortStream}), "zlib returned: data error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TZlibMultiple z(p);
    WriteFile(p, u"C:\\bad.dat", first + c.tail);
    WriteFile(p, u"C:\\dst\\second.txt", "older copy");
    bool completed = false;
    z.OnCompletedAction = [&](TZlibMultiple&) { completed = true; };
    try {
      z.DecompressFile(u"C:\\bad.dat", u"C:\\dst", true, true);
      ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_FALSE(completed);
    EXPECT_EQ(ReadFile(p, u"C:\\dst\\first.txt"), "first");
    // The file already there stays as it was, and nothing half-written is left.
    EXPECT_EQ(ReadFile(p, u"C:\\dst\\second.txt"), "older copy");
    EXPECT_EQ(Names(u"C:\\dst"), (std::set<Text>{u"first.txt", u"second.txt"}));
  }

  TZlibMultiple lister(p);
  WriteFile(p, u"C:\\bad.dat", first + goodBytes.substr(0, goodBytes.size() - 1));
  std::vector<Text> names;
  EXPECT_THROW(lister.ListStoredFiles(u"C:\\bad.dat", names), platform::StreamError);
}

TEST_F(ZlibMultipleTest, BytesAfterAnEntrysStreamEndAreSkippedNotInflatedIntoTheNext) {
  Entry padded = Make("", "a.txt", "first");
  padded.data += Deflate("not the second file");  // inside a.txt's Data field
  const std::string second = TextLike(3000);
  WriteFile(p, u"C:\\padded.dat", Pack({padded, Make("", "b.txt", second)}));
  TZlibMultiple z(p);
  z.DecompressFile(u"C:\\padded.dat", u"C:\\dst", true, true);
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\a.txt"), "first");
  EXPECT_EQ(ReadFile(p, u"C:\\dst\\b.txt"), second);
}

TEST_F(ZlibMultipleTest, EntriesThatWouldLeaveTheTargetFolderWriteNothing) {
  struct Case {
    std::string dir, name, shown;
  } cases[] = {
      {"..\\", "x.txt", "..\\x.txt"},
      {"", "..\\x.txt", "..\\x.txt"},
      {"a\\..\\..\\", "x.txt", "a\\..\\..\\x.txt"},
      {"a/../../", "x.txt", "a/../../\\x.txt"},
      {"...\\", "x.txt", "...\\x.txt"},
      {". .\\", "x.txt", ". .\\x.txt"},
      {"C:\\", "x.txt", "C:\\x.txt"},
      {"", "C:x.txt", "C:x.txt"},
      {"", "x.txt:stream", "x.txt:stream"},
      {"\\", "x.txt", "\\x.txt"},
      {"\\abs\\", "x.txt", "\\abs\\x.txt"},
      {"/abs", "x.txt", "/abs\\x.txt"},
      {"", "/x.txt", "/x.txt"},
      {"sub\\", "", "sub\\"},
      {"", "sub\\", "sub\\"},
  };
  ASSERT_TRUE(p.files.ForceDirectories(u"C:\\dst\\inner"));
  for (bool relative : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.shown);
      WriteFile(p, u"C:\\evil.dat", Pack({Make(c.dir, c.name, "escaped")}));
      const std::set<std::string> before = HostTree();
      TZlibMultiple z(p);
      try {
        z.DecompressFile(u"C:\\evil.dat", u"C:\\dst\\inner", true, relative);
        ADD_FAILURE() << "no error";
      } catch (const ArchiveError& e) {
        EXPECT_EQ(std::string(e.what()), "Unsafe path in archive: " + c.shown);
      }
      EXPECT_EQ(HostTree(), before);
    }
  }
}

TEST_F(ZlibMultipleTest, FailedBackupLeavesThePreviousArchiveAndNoTemporary) {
  WriteFile(p, u"C:\\src\\a.txt", TextLike(4000));
  WriteFile(p, u"C:\\src\\b.bin", RandomBytes(4000, 3));
  WriteFile(p, u"C:\\backup\\out.dat", "previous archive");
  WriteFile(p, u"C:\\backup\\other.dat.tmp", "another archive's temporary");
  const std::set<Text> folder = Names(u"C:\\backup");

  std::function<void(TZlibMultiple&)> failures[] = {
      [](TZlibMultiple& z) {
        z.OnCompressedFile = [](TZlibMultiple&, const Text&) { throw std::runtime_error("boom"); };
      },
      [](TZlibMultiple& z) { z.SetCompressedSizeLimit(100); },
      [](TZlibMultiple& z) { z.CompressionLevel = 42; },
  };
  for (auto& fail : failures) {
    TZlibMultiple z(p);
    fail(z);
    EXPECT_ANY_THROW(z.CompressDirectory(u"C:\\src", true, u"C:\\backup\\out.dat"));
    EXPECT_EQ(ReadFile(p, u"C:\\backup\\out.dat"), "previous archive");
    EXPECT_EQ(Names(u"C:\\backup"), folder);
  }

  TZlibMultiple z(p);
  z.CompressDirectory(u"C:\\src", true, u"C:\\backup\\out.dat");
  EXPECT_EQ(Parse(ReadFile(p, u"C:\\backup\\out.dat")).size(), 2u);
  EXPECT_EQ(Names(u"C:\\backup"), folder);
}

TEST_F(ZlibMultipleTest, TemporariesThatInterruptedBackupsLeftAreCleanedUnlessInUse) {
  WriteFile(p, u"C:\\src\\a.txt", "a");
  // What killed backups leave: the temporary and its numbered successors.
  for (const char16_t* stale : {u"out.dat.tmp", u"out.dat.tmp1", u"OUT.DAT.tmp57"})
    WriteFile(p, Text(u"C:\\backup\\") + stale, "partial archive");
  WriteFile(p, u"C:\\backup\\out.dat.tmp2", "being written");
  WriteFile(p, u"C:\\backup\\out.dat.tmpx", "not one of ours");
  uint32_t error = 0;
  auto running = p.files.Open(u"C:\\backup\\out.dat.tmp2", platform::Access::kReadWrite,
                              platform::Share::kExclusive, platform::Disposition::kOpenExisting, &error);
  ASSERT_TRUE(running);
  TZlibMultiple z(p);
  z.CompressDirectory(u"C:\\src", true, u"C:\\backup\\out.dat");
  EXPECT_EQ(Names(u"C:\\backup"), (std::set<Text>{u"out.dat", u"out.dat.tmp2", u"out.dat.tmpx"}));
  running.reset();

  // With every name taken and held, the error names the temporary that could not be made.
  p.files.ForceDirectories(u"C:\\full");
  std::vector<std::unique_ptr<platform::File>> held;
  for (int n = 0; n < 100; ++n) {
    Text name = u"C:\\full\\x.dat.tmp" + (n ? platform::ToText(n) : Text());
    WriteFile(p, name, "");
    held.push_back(p.files.Open(name, platform::Access::kReadWrite, platform::Share::kExclusive,
                                platform::Disposition::kOpenExisting, &error));
  }
  try {
    z.CompressDirectory(u"C:\\src", true, u"C:\\full\\x.dat");
    ADD_FAILURE() << "no error";
  } catch (const platform::OsError& e) {
    EXPECT_NE(std::string(e.what()).find("\"C:\\full\\x.dat.tmp99\""), std::string::npos) << e.what();
  }
}

TEST_F(ZlibMultipleTest, ArchiveWrittenInsideTheTreeDoesNotPackItself) {
  WriteFile(p, u"C:\\src\\a.txt", "a");
  WriteFile(p, u"C:\\src\\self.dat", "previous archive");
  TZlibMultiple z(p);
  z.CompressDirectory(u"C:\\src", true, u"C:\\src\\self.dat");
  std::vector<Entry> entries = Parse(ReadFile(p, u"C:\\src\\self.dat"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "a.txt");
}

TEST_F(ZlibMultipleTest, FileWhoseDataExceedsTheSizeFieldEndsTheBackup) {
  const std::string content = RandomBytes(4000, 4);
  const uint64_t fits = Deflate(content).size();
  WriteFile(p, u"C:\\src\\big.bin", content);

  TZlibMultiple exact(p);
  exact.SetCompressedSizeLimit(fits);
  EXPECT_EQ(Parse(Compress(exact, u"C:\\src")).size(), 1u);

  TZlibMultiple over(p);
  over.SetCompressedSizeLimit(fits - 1);
  try {
    over.CompressDirectory(u"C:\\src", true);
    ADD_FAILURE() << "no error";
  } catch (const ArchiveError& e) {
    EXPECT_NE(std::string(e.what()).find("File too large for the archive: \"C:\\src\\big.bin\""),
              std::string::npos)
        << e.what();
  }
}

TEST(ZlibErrorTest, MessagesNameTheZlibResult) {
  const std::pair<int, const char*> cases[] = {
      {-6, "zlib returned: version error"},      {-5, "zlib returned: buffer error"},
      {-4, "zlib returned: memory error"},       {-3, "zlib returned: data error"},
      {-2, "zlib returned: Stream error"},       {-1, "zlib returned: ERRNO"},
      {-7, "zLib returned: unknown error (-7)"},
  };
  for (auto& [code, message] : cases) EXPECT_STREQ(ZlibError(code).what(), message);
}

}  // namespace
