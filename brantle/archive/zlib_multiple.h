// The ".dat" backup archive: a plain sequence of entries, each a folder and a
// name as length-prefixed ANSI text, the file's size, the size of its data and
// one zlib stream of the file's bytes. No header, no count, no trailer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/stream.h"

namespace brantle {

// A negative result from zlib, with the text the user sees.
class ZlibError : public std::runtime_error {
 public:
  explicit ZlibError(int code);
  int code() const { return code_; }

 private:
  int code_;
};

// An archive that cannot be written or read safely: an entry that would land
// outside the target folder, or a file too large for the format.
class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TZlibMultiple {
 public:
  using FileEvent = std::function<void(TZlibMultiple& Sender, const platform::Text& FileName)>;
  using ProgressEvent = std::function<void(TZlibMultiple& Sender, int32_t Position, int32_t Total)>;
  using FileSkipEvent =
      std::function<void(TZlibMultiple& Sender, const platform::Text& Filename,
                         const platform::Text& errortype, const platform::Text& errormessage)>;
  using DecompressingEvent =
      std::function<void(TZlibMultiple& Sender, const platform::Text& FileName, bool& WriteFile)>;
  using DecompressedEvent =
      std::function<void(TZlibMultiple& Sender, const platform::Text& FileName, uint32_t FileSize)>;
  using NotifyEvent = std::function<void(TZlibMultiple& Sender)>;

  // The largest CompressedSize the format can hold (a signed 32-bit field).
  static constexpr uint64_t kMaxCompressedSize = 0x7FFFFFFF;

  explicit TZlibMultiple(platform::Platform& platform);
  virtual ~TZlibMultiple();
  TZlibMultiple(const TZlibMultiple&) = delete;
  TZlibMultiple& operator=(const TZlibMultiple&) = delete;

  bool StorePaths = true;
  bool IgnoreExclusive = false;
  int CompressionLevel = -1;
  bool ForceDirectoriesFlag = true;
  // Polled between chunks; set from another thread to hold the work.
  std::atomic<bool> CompressionPaused{false};
  std::atomic<bool> DecompressionPaused{false};

  FileEvent OnCompressingFile;
  FileEvent OnCompressedFile;
  ProgressEvent OnProgress;
  FileSkipEvent OnFileSkip;
  DecompressingEvent OnDecompressingFile;
  DecompressedEvent OnDecompressedFile;
  NotifyEvent OnCompletedAction;
  // An entry whose stored name Windows would refuse, and the path it was
  // extracted to instead.
  std::function<void(TZlibMultiple& Sender, const platform::Text& Stored, const platform::Text& Target)>
      OnFileRenamed;

  // Builds the archive of the tree in memory; the stream is positioned at 0.
  std::unique_ptr<platform::MemoryStream> CompressDirectory(const platform::Text& Directory,
                                                            bool Recursive);
  // Writes the archive to FileName as it is built, through a temporary file
  // beside it, so a failed backup leaves an older archive of that name intact.
  void CompressDirectory(const platform::Text& Directory, bool Recursive,
                         const platform::Text& FileName);

  // Extracts every entry from the stream's position to its end.
  void DecompressStream(platform::Stream& Stream, const platform::Text& Directory, bool Overwrite,
                        bool RelativePaths);
  void DecompressFile(const platform::Text& FileName, const platform::Text& Directory,
                      bool Overwrite, bool RelativePaths);
  // Appends Dir + Name of each entry, in archive order, without decompressing.
  void ListStoredFiles(const platform::Text& FileName, std::vector<platform::Text>& FileList);

  // The heads of an archive's entries, in order, without decompressing.
  struct StoredEntry {
    platform::Text path;  // Dir (with its trailing backslash) + Name
    uint32_t FileSize = 0;
    uint32_t CompressedSize = 0;
  };
  std::vector<StoredEntry> ListStoredEntries(const platform::Text& FileName);
  // During extraction: the head of the entry being extracted.
  const StoredEntry& CurrentEntry() const { return current_; }
  // The same from a stream's position to its end.
  void ListStoredFiles(platform::Stream& Stream, std::vector<platform::Text>& FileList);
  // Hands each entry head to `visit` as it is read, holding none of them.
  void ForEachStoredEntry(platform::Stream& Stream,
                          const std::function<void(const StoredEntry&)>& visit);
  void ForEachStoredEntry(const platform::Text& FileName,
                          const std::function<void(const StoredEntry&)>& visit);

  // End the running operation after the current chunk; an instance is not
  // reused after a stop.
  void StopCompression() { FTerminateCompress = true; }
  void StopDecompression() { FTerminateDecompress = true; }

  // Lowers the CompressedSize limit so that the overflow path can be tested
  // without gigabytes of data.
  void SetCompressedSizeLimit(uint64_t limit) { compressedSizeLimit_ = limit; }

  // Implementation details: reused buffers and the buffered archive reader.
  struct Scratch;
  class Reader;

 protected:
  virtual void DoProgress(int32_t Position, int32_t Total);

 private:
  class Writer;

  void CompressTo(Writer& out, const platform::Text& Directory, bool Recursive);
  void WalkFolder(Writer& out, const platform::Text& root, const platform::Text& relative,
                  bool Recursive);
  void AddFile(Writer& out, const platform::Text& fullPath, const platform::Text& relative,
               const platform::Text& name);
  Scratch& Buffers();
  void ExtractEntry(Reader& in, const platform::Text& Directory, bool Overwrite,
                    bool RelativePaths);
  std::string AnsiField(const platform::Text& text);

  platform::Platform& platform_;
  std::atomic<bool> FTerminateCompress{false};
  std::atomic<bool> FTerminateDecompress{false};
  uint64_t compressedSizeLimit_ = kMaxCompressedSize;
  // Paths the walk must not pick up: the archive being written and its temporary.
  std::vector<platform::Text> excluded_;
  std::vector<platform::FileIdentity> excludedIds_;
  std::set<platform::Text> renamed_;  // the renamed targets of this extraction, in upper case
  // The archive being extracted, from where its entries start, and (read
  // at the first rename) every valid entry path it holds, in upper case.
  platform::Stream* extracting_ = nullptr;
  uint64_t extractStart_ = 0;
  std::optional<std::set<platform::Text>> validPaths_;
  bool PathTaken(const platform::Text& path);
  std::unique_ptr<Scratch> scratch_;
  platform::Text madeFolder_;  // the folder the last extracted entry needed
  StoredEntry current_;
};

}  // namespace brantle
