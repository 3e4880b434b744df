#include "brantle/archive/zlib_multiple.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/errors.h"
#include "platform/text.h"

namespace brantle {

using platform::File;
using platform::Stream;
using platform::Text;

namespace {

constexpr size_t kChunk = 1024;             // progress granularity
constexpr size_t kZlibBuffer = 128 * 1024;  // the adapter's compressed-side buffer
constexpr size_t kIoBlock = 128 * 1024;     // source files are read in blocks
constexpr size_t kMaxField = 255;
// What an extracted file is written under, beside its target, until complete.
constexpr char16_t kPartialSuffix[] = u".brtmp";
// Begins a folder or name field that holds UTF-8 rather than ANSI text.
constexpr char kUtf8Marker = '\x01';

std::string ZlibMessage(int code) {
  switch (code) {
    case Z_VERSION_ERROR:
      return "zlib returned: version error";
    case Z_BUF_ERROR:
      return "zlib returned: buffer error";
    case Z_MEM_ERROR:
      return "zlib returned: memory error";
    case Z_DATA_ERROR:
      return "zlib returned: data error";
    case Z_STREAM_ERROR:
      return "zlib returned: Stream error";
    case Z_ERRNO:
      return "zlib returned: ERRNO";
    default:
      return "zLib returned: unknown error (" + std::to_string(code) + ")";
  }
}

int Check(int code) {
  if (code < 0) throw ZlibError(code);
  return code;
}

[[noreturn]] void ReadError() { throw platform::StreamError("Stream read error"); }

void PutLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetLe32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t Low32(uint64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

std::string Quoted(const Text& path) { return "\"" + platform::ToUtf8(path) + "\""; }

// The file errors as the user has always seen them: what failed, which file, why.
[[noreturn]] void RaiseFileError(const char* what, const Text& path, uint32_t error,
                                 platform::System& system) {
  throw platform::OsError(error, std::string(what) + " " + Quoted(path) + ". " +
                                     platform::ToUtf8(system.ErrorMessage(error)));
}

// A stream failure with a system reason becomes the file and the reason; one
// without (an archive that simply ends) keeps its own words.
[[noreturn]] void RaiseStreamError(const char* what, const Text& path,
                                   const platform::StreamError& error, platform::System& system) {
  if (error.code() == 0) throw error;
  RaiseFileError(what, path, error.code(), system);
}

}  // namespace

// The codec's buffers and zlib states, made once per instance and reused for
// every entry: allocating them per file costs more than small files take.
struct TZlibMultiple::Scratch {
  std::vector<uint8_t> deflated = std::vector<uint8_t>(kZlibBuffer);
  std::vector<uint8_t> archive = std::vector<uint8_t>(kZlibBuffer);
  std::vector<uint8_t> inflated = std::vector<uint8_t>(kZlibBuffer);
  std::vector<uint8_t> fileBlock = std::vector<uint8_t>(kIoBlock);
  z_stream deflater{};
  z_stream inflater{};
  int deflateLevel = 0;
  bool deflateReady = false;
  bool inflateReady = false;

  ~Scratch() {
    if (deflateReady) deflateEnd(&deflater);
    if (inflateReady) inflateEnd(&inflater);
  }
};

namespace {

// Compresses into the destination stream through a 128 KiB buffer, refusing
// to produce more than `limit` bytes.
class Deflater {
 public:
  Deflater(TZlibMultiple::Scratch& scratch, int level, Stream& out, uint64_t limit,
           const Text& path)
      : zs_(scratch.deflater), out_(out), limit_(limit), path_(path), buffer_(scratch.deflated) {
    if (scratch.deflateReady && scratch.deflateLevel == level) {
      Check(deflateReset(&zs_));
    } else {
      if (scratch.deflateReady) deflateEnd(&zs_);
      scratch.deflateReady = false;
      zs_ = z_stream{};
      Check(deflateInit2(&zs_, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
      scratch.deflateReady = true;
      scratch.deflateLevel = level;
    }
    ResetOutput();
  }

  void Feed(const uint8_t* data, size_t count) {
    zs_.next_in = const_cast<Bytef*>(data);
    zs_.avail_in = static_cast<uInt>(count);
    while (zs_.avail_in > 0) {
      Check(deflate(&zs_, Z_NO_FLUSH));
      if (zs_.avail_out == 0) Flush();
    }
  }

  void Finish() {
    for (;;) {
      int code = Check(deflate(&zs_, Z_FINISH));
      if (code == Z_STREAM_END) break;
      if (zs_.avail_out == 0) Flush();
    }
    Flush();
  }

  uint64_t written() const { return written_; }

 private:
  void ResetOutput() {
    zs_.next_out = buffer_.data();
    zs_.avail_out = static_cast<uInt>(buffer_.size());
  }
  void Flush() {
    size_t n = buffer_.size() - zs_.avail_out;
    if (written_ + n > limit_)
      throw ArchiveError("File too large for the archive: " + Quoted(path_) +
                         " compresses to more than the " + std::to_string(limit_) +
                         " bytes an entry can hold");
    out_.Write(buffer_.data(), n);
    written_ += n;
    ResetOutput();
  }

  z_stream& zs_;
  Stream& out_;
  uint64_t limit_;
  const Text& path_;
  std::vector<uint8_t>& buffer_;
  uint64_t written_ = 0;
};

}  // namespace

// Reads an archive through one buffer, so that the small head fields cost no
// system calls. The stream itself runs ahead of Position() by what is buffered.
class TZlibMultiple::Reader {
 public:
  Reader(Stream& stream, std::vector<uint8_t>& buffer)
      : stream_(stream), buffer_(buffer), position_(stream.Position()), size_(stream.Size()) {}

  uint64_t Position() const { return position_; }
  uint64_t Remaining() const { return size_ > position_ ? size_ - position_ : 0; }

  // Exactly `count` bytes, or "Stream read error".
  void ReadExact(void* out, size_t count) {
    auto* to = static_cast<uint8_t*>(out);
    while (count > 0) {
      size_t n = 0;
      const uint8_t* from = Borrow(count, &n);
      std::memcpy(to, from, n);
      to += n;
      count -= n;
    }
  }

  // Up to `max` buffered bytes, valid until the next call.
  const uint8_t* Borrow(size_t max, size_t* got) {
    if (at_ == length_) {
      at_ = 0;
      length_ = stream_.Read(buffer_.data(), buffer_.size());
      if (length_ == 0) ReadError();
    }
    *got = std::min(max, length_ - at_);
    const uint8_t* p = buffer_.data() + at_;
    at_ += *got;
    position_ += *got;
    return p;
  }

  void Skip(uint64_t count) {
    position_ += count;
    if (count <= length_ - at_) {
      at_ += static_cast<size_t>(count);
    } else {
      Sync();
    }
  }

  // Puts the stream itself at Position().
  void Sync() {
    at_ = length_ = 0;
    stream_.Seek(position_);
  }

 private:
  Stream& stream_;
  std::vector<uint8_t>& buffer_;
  uint64_t position_;
  uint64_t size_;
  size_t at_ = 0;
  size_t length_ = 0;
};

namespace {

// Inflates one Data field straight from the archive, reading no more than its
// CompressedSize bytes. A zlib stream that is not complete within them is
// damaged data, not a short file. Each inflated block goes to the target file
// (if any) as a whole; it is then handed out in chunks for progress.
class Inflater {
 public:
  Inflater(TZlibMultiple::Scratch& scratch, TZlibMultiple::Reader& in, uint64_t compressedSize)
      : zs_(scratch.inflater), in_(in), remaining_(compressedSize), output_(scratch.inflated) {
    if (scratch.inflateReady) {
      Check(inflateReset(&zs_));
    } else {
      zs_ = z_stream{};
      Check(inflateInit2(&zs_, 15));
      scratch.inflateReady = true;
    }
    // Bytes the previous entry left after its stream end are not this entry's.
    zs_.next_in = nullptr;
    zs_.avail_in = 0;
  }

  // Up to `max` bytes of the file, valid until the next call; none once the
  // zlib stream has ended.
  const uint8_t* Next(size_t max, size_t* got) {
    if (outPos_ == outLen_) Fill();
    *got = std::min(max, outLen_ - outPos_);
    const uint8_t* p = output_.data() + outPos_;
    outPos_ += *got;
    return p;
  }

  bool ended() const { return ended_ && outPos_ == outLen_; }

  void WriteTo(File* target, const Text* path, platform::System* system) {
    target_ = target;
    targetPath_ = path;
    system_ = system;
  }

  // Leaves the archive positioned at the next entry.
  void SkipRest() {
    in_.Skip(remaining_);
    remaining_ = 0;
  }

 private:
  void Fill() {
    outPos_ = outLen_ = 0;
    zs_.next_out = output_.data();
    zs_.avail_out = static_cast<uInt>(output_.size());
    while (zs_.avail_out > 0 && !ended_) {
      if (zs_.avail_in == 0) {
        if (remaining_ == 0) throw ZlibError(Z_DATA_ERROR);
        size_t got = 0;
        zs_.next_in = const_cast<Bytef*>(
            in_.Borrow(static_cast<size_t>(std::min<uint64_t>(remaining_, kZlibBuffer)), &got));
        zs_.avail_in = static_cast<uInt>(got);
        remaining_ -= got;
      }
      int code = Check(inflate(&zs_, Z_NO_FLUSH));
      if (code == Z_NEED_DICT) throw ZlibError(Z_DATA_ERROR);
      if (code == Z_STREAM_END) ended_ = true;
    }
    outLen_ = output_.size() - zs_.avail_out;
    if (target_ && outLen_ > 0) {
      try {
        target_->Write(output_.data(), outLen_);
      } catch (const platform::StreamError& e) {
        RaiseStreamError("Cannot write file", *targetPath_, e, *system_);
      }
    }
  }

  z_stream& zs_;
  TZlibMultiple::Reader& in_;
  uint64_t remaining_;
  std::vector<uint8_t>& output_;
  File* target_ = nullptr;
  const Text* targetPath_ = nullptr;
  platform::System* system_ = nullptr;
  size_t outPos_ = 0;
  size_t outLen_ = 0;
  bool ended_ = false;
};

// Hands out a file's bytes 1024 at a time while reading it in larger blocks.
class ChunkReader {
 public:
  ChunkReader(File& file, std::vector<uint8_t>& block) : file_(file), block_(block) {}
  // Up to `max` bytes, valid until the next call; none at the end of the file.
  const uint8_t* Next(size_t max, size_t* got) {
    if (pos_ == len_) {
      pos_ = 0;
      len_ = file_.Read(block_.data(), block_.size());
    }
    *got = std::min(max, len_ - pos_);
    const uint8_t* p = block_.data() + pos_;
    pos_ += *got;
    return p;
  }

 private:
  File& file_;
  std::vector<uint8_t>& block_;
  size_t pos_ = 0;
  size_t len_ = 0;
};

// A stored folder or file name as a name Windows accepts: characters it
// refuses become "_" (archives of older versions hold "?" for characters the
// code page lacked), and a device name such as "CON" or "nul.txt" gets a "_"
// in front so it names a file rather than the device.
Text WindowsSafeName(const Text& name) {
  Text out = name;
  for (char16_t& c : out)
    if (c < 32 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) c = u'_';
  Text base = platform::UpperCase(out.substr(0, out.find(u'.')));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  static const char16_t* kDevices[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
  bool device = false;
  for (const char16_t* d : kDevices) device = device || base == d;
  if (base.size() == 4 && (base.compare(0, 3, u"COM") == 0 || base.compare(0, 3, u"LPT") == 0) &&
      base[3] >= u'1' && base[3] <= u'9')
    device = true;
  return device ? u"_" + out : out;
}

// Dir + Name with every part made a valid Windows name.
Text WindowsSafePath(const Text& relative) {
  Text out;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find(u'\\', start);
    if (end == Text::npos) end = relative.size();
    if (start > 0) out += u'\\';
    out += WindowsSafeName(relative.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

bool IsDotsOnly(std::u16string_view part) {
  size_t dots = 0;
  for (char16_t c : part) {
    if (c == u'.')
      ++dots;
    else if (c != u' ')
      return false;
  }
  return dots >= 2;  // Windows reads "..", ". ." and "..." alike as the parent
}

// True when Directory + relative stays inside Directory and names a file.
bool IsSafeRelativePath(const Text& relative) {
  if (relative.empty()) return false;
  char16_t first = relative.front(), last = relative.back();
  if (first == u'\\' || first == u'/' || last == u'\\' || last == u'/') return false;
  if (relative.find(u':') != Text::npos) return false;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find_first_of(u"\\/", start);
    if (end == Text::npos) end = relative.size();
    if (IsDotsOnly(std::u16string_view(relative).substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

// A name Windows could show in a folder listing: none of \ / : * ? " < > |
// or control characters.
bool IsWindowsName(const Text& name) {
  if (name.empty()) return false;
  for (char16_t c : name)
    if (c < 32 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
  return true;
}

}  // namespace

ZlibError::ZlibError(int code) : std::runtime_error(ZlibMessage(code)), code_(code) {}

// The archive being written, and how to cut it back to a given length.
class TZlibMultiple::Writer {
 public:
  Writer(Stream& stream, std::function<void(uint64_t)> truncate)
      : stream(stream), truncate(std::move(truncate)) {}
  Stream& stream;
  std::function<void(uint64_t)> truncate;
};

TZlibMultiple::TZlibMultiple(platform::Platform& platform) : platform_(platform) {}

TZlibMultiple::~TZlibMultiple() = default;

TZlibMultiple::Scratch& TZlibMultiple::Buffers() {
  if (!scratch_) scratch_ = std::make_unique<Scratch>();
  return *scratch_;
}

void TZlibMultiple::DoProgress(int32_t Position, int32_t Total) {
  if (OnProgress) OnProgress(*this, Position, Total);
}

std::string TZlibMultiple::AnsiField(const Text& text) {
  bool defaulted = false;
  std::string bytes = platform_.system.ToAnsi(text, &defaulted);
  if (defaulted || platform_.system.FromAnsi(bytes) != text) {
    // The code page cannot hold it: the marker byte and the text as UTF-8, cut
    // at a character boundary. Windows names hold no control characters, so
    // an ANSI field never begins with the marker.
    bytes = kUtf8Marker + platform::ToUtf8(text);
    if (bytes.size() > kMaxField) {
      size_t cut = kMaxField;
      while (cut > 1 && (static_cast<uint8_t>(bytes[cut]) & 0xC0) == 0x80) --cut;
      bytes.resize(cut);
    }
    return bytes;
  }
  if (bytes.size() > kMaxField) bytes.resize(kMaxField);
  return bytes;
}

std::unique_ptr<platform::MemoryStream> TZlibMultiple::CompressDirectory(const Text& Directory,
                                                                         bool Recursive) {
  auto archive = std::make_unique<platform::MemoryStream>();
  platform::MemoryStream* memory = archive.get();
  Writer out(*archive, [memory](uint64_t length) {
    memory->Data().resize(static_cast<size_t>(length));
    memory->Seek(length);
  });
  excluded_.clear();
  CompressTo(out, Directory, Recursive);
  archive->Seek(0);
  return archive;
}

void TZlibMultiple::CompressDirectory(const Text& Directory, bool Recursive, const Text& FileName) {
  auto& files = platform_.files;
  Text temp;
  uint32_t error = 0;
  std::unique_ptr<File> file = files.CreateTemporaryBeside(FileName, &temp, &error);
  if (!file) RaiseFileError("Cannot create file", temp, error, platform_.system);
  File* raw = file.get();
  Writer out(*file, [raw](uint64_t length) {
    raw->Seek(length);
    raw->Truncate();
  });
  excluded_ = {FileName, temp};
  excludedIds_.clear();
  platform::FileIdentity id;
  if (file->Identity(&id)) excludedIds_.push_back(id);
  if (auto older = files.Open(FileName, platform::Access::kRead, platform::Share::kReadWrite,
                              platform::Disposition::kOpenExisting, &error))
    if (older->Identity(&id)) excludedIds_.push_back(id);
  try {
    try {
      CompressTo(out, Directory, Recursive);
    } catch (const platform::StreamError& e) {
      RaiseStreamError("Cannot write file", FileName, e, platform_.system);
    }
    file.reset();
    if (!files.Move(temp, FileName, true))
      RaiseFileError("Cannot create file", FileName, files.LastError(), platform_.system);
  } catch (...) {
    file.reset();
    files.Remove(temp);
    excluded_.clear();
    excludedIds_.clear();
    throw;
  }
  excluded_.clear();
  excludedIds_.clear();
}

void TZlibMultiple::CompressTo(Writer& out, const Text& Directory, bool Recursive) {
  Text root = Directory.empty() ? Directory : platform::IncludeTrailingBackslash(Directory);
  WalkFolder(out, root, Text(), Recursive);
}

void TZlibMultiple::WalkFolder(Writer& out, const Text& root, const Text& relative,
                               bool Recursive) {
  std::vector<platform::FindEntry> entries = platform_.files.Find(root + relative + u"*.*");
  // Every folder but a drive's root lists "." and ".."; nothing at all means
  // it could not be listed (or is gone).
  if (entries.empty() && !(relative.empty() && root.size() <= 3)) {
    uint32_t error = platform_.files.LastError();
    if (OnFileSkip)
      OnFileSkip(*this, root + relative, u"EListError",
                 u"Cannot list folder \"" + root + relative + u"\". " + platform_.system.ErrorMessage(error));
    return;
  }
  for (const platform::FindEntry& entry : entries) {
    // A stop ends the walk: the archive keeps only the files finished before it.
    if (FTerminateCompress) return;
    if (entry.name == u"." || entry.name == u"..") continue;
    if (!IsWindowsName(entry.name)) {
      // Only a host file system under the simulation shows such names; as a
      // path they would mean other folders ("..\x" reads outside the tree).
      if (OnFileSkip)
        OnFileSkip(*this, root + relative + entry.name, u"EInvalidName",
                   u"Not a valid Windows name: \"" + entry.name + u"\"");
      continue;
    }
    const uint32_t a = entry.attributes;
    bool isDir = a & platform::attr::kDirectory;
    // Links are not followed: a folder link can lead back into the tree (or
    // anywhere), a file link to a file outside it. Other file reparse points
    // (deduplicated or cloud files) hold the user's data and are read.
    bool link = (a & platform::attr::kReparsePoint) &&
                (isDir || entry.reparseTag == platform::reparse::kSymlink ||
                 entry.reparseTag == platform::reparse::kMountPoint);
    if (link || (a & platform::attr::kDevice)) {
      if (OnFileSkip)
        OnFileSkip(*this, root + relative + entry.name, link ? u"ELink" : u"ENotAFile",
                   link ? u"Link not followed: \"" + root + relative + entry.name + u"\""
                        : u"Not a file or folder: \"" + root + relative + entry.name + u"\"");
      continue;
    }
    if (isDir) {
      if (Recursive) WalkFolder(out, root, relative + entry.name + u"\\", Recursive);
      continue;
    }
    AddFile(out, root + relative + entry.name, relative, entry.name);
  }
}

void TZlibMultiple::AddFile(Writer& out, const Text& fullPath, const Text& relative,
                            const Text& name) {
  for (const Text& skip : excluded_)
    if (platform::SameText(skip, fullPath)) return;

  uint32_t error = 0;
  std::unique_ptr<File> file =
      platform_.files.Open(fullPath, platform::Access::kRead,
                           IgnoreExclusive ? platform::Share::kReadWrite : platform::Share::kRead,
                           platform::Disposition::kOpenExisting, &error);
  if (!file) {
    Text message =
        u"Cannot open file \"" + fullPath + u"\". " + platform_.system.ErrorMessage(error);
    if (OnFileSkip) OnFileSkip(*this, fullPath, u"EFOpenError", message);
    return;
  }
  // The archive being written, or the one it replaces, reached through
  // another spelling of its path (a link, a short name) is still itself.
  platform::FileIdentity id;
  if (!excludedIds_.empty() && file->Identity(&id))
    for (const platform::FileIdentity& skipId : excludedIds_)
      if (id == skipId) return;
  auto skip = [&](const char16_t* type, const Text& message) {
    if (OnFileSkip) OnFileSkip(*this, fullPath, type, message);
  };
  uint64_t size = 0;
  try {
    size = file->Size();
  } catch (const platform::StreamError& e) {
    skip(u"EReadError", u"Cannot read file \"" + fullPath + u"\". " + platform_.system.ErrorMessage(e.code()));
    return;
  }
  if (size == 0) return;
  if (size > 0xFFFFFFFFu) {
    skip(u"ETooLarge", u"File too large for the archive: \"" + fullPath + u"\" holds more than 4 GB");
    return;
  }

  Stream& dest = out.stream;
  uint64_t entryStart = dest.Position();
  std::string dir = StorePaths ? AnsiField(relative) : std::string();
  std::string stored = AnsiField(name);
  std::vector<uint8_t> head;
  head.push_back(static_cast<uint8_t>(dir.size()));
  head.insert(head.end(), dir.begin(), dir.end());
  head.push_back(static_cast<uint8_t>(stored.size()));
  head.insert(head.end(), stored.begin(), stored.end());
  uint8_t sizes[8];
  PutLe32(sizes, static_cast<uint32_t>(size));
  PutLe32(sizes + 4, 0);  // CompressedSize, patched once the stream is finished
  head.insert(head.end(), sizes, sizes + 8);

  Scratch& scratch = Buffers();
  Deflater deflater(scratch, CompressionLevel, dest, compressedSizeLimit_, fullPath);
  if (OnCompressingFile) OnCompressingFile(*this, fullPath);
  dest.Write(head.data(), head.size());
  uint64_t sizeField = dest.Position() - 4;

  // The entry holds exactly the bytes its head announces: a file that grows
  // while it is read is stored up to the size it had, one that shrinks with
  // what was there, and either is reported.
  ChunkReader reader(*file, scratch.fileBlock);
  uint64_t position = 0;
  size_t count = 0;
  bool grew = false;
  try {
    do {
      size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, size - position));
      const uint8_t* chunk = want ? reader.Next(want, &count) : nullptr;
      if (!want) count = 0;
      position += count;
      if (count > 0) deflater.Feed(chunk, count);
      DoProgress(Low32(position), Low32(size));
      while (CompressionPaused && !FTerminateCompress) platform_.system.SleepMs(1);
    } while (count != 0 && !FTerminateCompress);
    if (position == size && !FTerminateCompress) {
      size_t more = 0;
      reader.Next(1, &more);
      grew = more > 0;
    }
  } catch (const platform::StreamError& e) {
    out.truncate(entryStart);
    skip(u"EReadError", u"Cannot read file \"" + fullPath + u"\". " + platform_.system.ErrorMessage(e.code()));
    return;
  }

  if (FTerminateCompress && position < size) {
    // Stopped part-way: an entry holding part of a file would restore as a
    // silently shortened copy, so the file is left out altogether.
    out.truncate(entryStart);
    return;
  }
  if (position == 0) {  // emptied while it was packed: an empty file has no entry
    out.truncate(entryStart);
    skip(u"EFileChanged", u"File changed while it was packed: \"" + fullPath + u"\" is now empty");
    return;
  }
  deflater.Finish();
  if (OnCompressedFile) OnCompressedFile(*this, fullPath);

  uint64_t end = dest.Position();
  PutLe32(sizes, static_cast<uint32_t>(position));
  PutLe32(sizes + 4, static_cast<uint32_t>(deflater.written()));
  dest.Seek(sizeField - 4);
  dest.Write(sizes, 8);
  dest.Seek(end);
  auto bytes = [](uint64_t n) { return platform::ToText(static_cast<long long>(n)); };
  if (grew)
    skip(u"EFileChanged", u"File changed while it was packed: \"" + fullPath +
                              u"\" grew; its first " + bytes(size) + u" bytes are stored");
  else if (position != size)
    skip(u"EFileChanged", u"File changed while it was packed: \"" + fullPath + u"\" shrank from " +
                              bytes(size) + u" to " + bytes(position) + u" bytes");
}

void TZlibMultiple::DecompressFile(const Text& FileName, const Text& Directory, bool Overwrite,
                                   bool RelativePaths) {
  uint32_t error = 0;
  std::unique_ptr<File> file =
      platform_.files.Open(FileName, platform::Access::kRead, platform::Share::kRead,
                           platform::Disposition::kOpenExisting, &error);
  if (!file) RaiseFileError("Cannot open file", FileName, error, platform_.system);
  file->Seek(0);
  try {
    DecompressStream(*file, Directory, Overwrite, RelativePaths);
  } catch (const platform::StreamError& e) {
    RaiseStreamError("Cannot read file", FileName, e, platform_.system);
  }
  file.reset();
  if (OnCompletedAction) OnCompletedAction(*this);
}

void TZlibMultiple::DecompressStream(Stream& Stream, const Text& Directory, bool Overwrite,
                                     bool RelativePaths) {
  Text root = Directory.empty() ? Directory : platform::IncludeTrailingBackslash(Directory);
  madeFolder_.clear();
  renamed_.clear();
  validPaths_.reset();
  extracting_ = &Stream;
  extractStart_ = Stream.Position();
  Reader reader(Stream, Buffers().archive);
  while (reader.Remaining() > 0 && !FTerminateDecompress)
    ExtractEntry(reader, root, Overwrite, RelativePaths);
  reader.Sync();
  extracting_ = nullptr;
}

namespace {

struct EntryHead {
  Text dir;
  Text name;
  uint32_t fileSize = 0;
  uint64_t compressedSize = 0;
};

Text FieldText(std::string_view bytes, platform::System& system) {
  if (!bytes.empty() && bytes[0] == kUtf8Marker) return platform::FromUtf8(bytes.substr(1));
  return system.FromAnsi(bytes);
}

EntryHead ReadHead(TZlibMultiple::Reader& in, platform::System& system) {
  EntryHead head;
  uint8_t length;
  char text[kMaxField];
  in.ReadExact(&length, 1);
  in.ReadExact(text, length);
  head.dir = FieldText(std::string_view(text, length), system);
  in.ReadExact(&length, 1);
  in.ReadExact(text, length);
  head.name = FieldText(std::string_view(text, length), system);
  uint8_t sizes[8];
  in.ReadExact(sizes, 8);
  head.fileSize = GetLe32(sizes);
  int32_t compressed = static_cast<int32_t>(GetLe32(sizes + 4));
  // A Data field that reaches past the end of the archive cannot be read.
  if (compressed < 0 || in.Remaining() < static_cast<uint64_t>(compressed)) ReadError();
  head.compressedSize = static_cast<uint64_t>(compressed);
  if (!head.dir.empty()) head.dir = platform::IncludeTrailingBackslash(head.dir);
  return head;
}

}  // namespace

// A renamed entry takes neither a name an earlier rename of this run took
// nor one that a valid entry of the archive holds, before it or after it.
bool TZlibMultiple::PathTaken(const Text& path) {
  const Text upper = platform::UpperCase(path);
  if (renamed_.count(upper)) return true;
  if (!validPaths_) {
    validPaths_.emplace();
    if (extracting_) {
      Stream& stream = *extracting_;
      const uint64_t resume = stream.Position();
      std::vector<uint8_t> buffer(64 * 1024);
      try {
        stream.Seek(extractStart_);
        Reader scan(stream, buffer);
        while (scan.Remaining() > 0) {
          EntryHead head = ReadHead(scan, platform_.system);
          const Text stored = head.dir + head.name;
          if (WindowsSafePath(stored) == stored) validPaths_->insert(platform::UpperCase(stored));
          scan.Skip(head.compressedSize);
        }
      } catch (...) {
        // A damaged tail is for the extraction to report when it gets there.
      }
      stream.Seek(resume);
    }
  }
  return validPaths_->count(upper) > 0;
}

void TZlibMultiple::ExtractEntry(Reader& in, const Text& root, bool Overwrite, bool RelativePaths) {
  auto& files = platform_.files;
  EntryHead head = ReadHead(in, platform_.system);
  current_.path = head.dir + head.name;
  current_.FileSize = head.fileSize;
  current_.CompressedSize = static_cast<uint32_t>(head.compressedSize);
  // Nothing of an entry that would land outside the target folder is created.
  if (!IsSafeRelativePath(head.dir + head.name))
    throw ArchiveError("Unsafe path in archive: " + platform::ToUtf8(head.dir + head.name));

  // A name Windows would refuse is restored under a valid one, distinct from
  // the other renamed entries of this run, and reported.
  Text stored = head.dir + head.name;
  Text safe = WindowsSafePath(stored);
  if (safe != stored) {
    Text unique = safe;
    for (int n = 2; PathTaken(unique); ++n) {
      size_t slash = safe.find_last_of(u'\\');
      size_t dot = safe.find_last_of(u'.');
      if (dot == Text::npos || (slash != Text::npos && dot < slash) || dot == slash + 1) dot = safe.size();
      unique = safe.substr(0, dot) + u" (" + platform::ToText(n) + u")" + safe.substr(dot);
    }
    renamed_.insert(platform::UpperCase(unique));
    size_t slash = unique.find_last_of(u'\\');
    head.dir = slash == Text::npos ? Text() : unique.substr(0, slash + 1);
    head.name = slash == Text::npos ? unique : unique.substr(slash + 1);
    if (OnFileRenamed) OnFileRenamed(*this, stored, root + (RelativePaths ? head.dir : Text()) + head.name);
  }

  // Entries of one folder come together; its folder is made once for them.
  Text folder = root + head.dir;
  if (ForceDirectoriesFlag && !folder.empty() && folder != madeFolder_ &&
      files.ForceDirectories(folder))
    madeFolder_ = folder;
  Text target = root + (RelativePaths ? head.dir : Text()) + head.name;

  Scratch& scratch = Buffers();
  Inflater inflater(scratch, in, head.compressedSize);
  if (!Overwrite && files.FileExists(target)) {
    inflater.SkipRest();
    return;
  }

  bool WriteFile = true;
  if (OnDecompressingFile) OnDecompressingFile(*this, target, WriteFile);
  // The file is written beside its target and takes its place only when
  // complete, so an interrupted restore leaves each file either as it was
  // (or absent) or restored, never torn.
  std::unique_ptr<File> file;
  const Text partial = target + kPartialSuffix;
  if (WriteFile) {
    uint32_t error = 0;
    file = files.Open(partial, platform::Access::kWrite, platform::Share::kExclusive,
                      platform::Disposition::kCreateAlways, &error);
    if (!file) RaiseFileError("Cannot create file", partial, error, platform_.system);
  }

  // A file that cannot be completed goes; its target stays untouched.
  auto discard = [&] {
    if (!file) return;
    file.reset();
    files.Remove(partial);
  };
  uint32_t total = 0;
  try {
    inflater.WriteTo(file.get(), &target, &platform_.system);
    uint64_t position = 0;
    size_t count;
    do {
      inflater.Next(kChunk, &count);
      if (file) {
        position += count;
        DoProgress(Low32(position), static_cast<int32_t>(head.fileSize));
        while (DecompressionPaused && !FTerminateDecompress) platform_.system.SleepMs(1);
      }
      total += static_cast<uint32_t>(count);
    } while (count != 0 && !FTerminateDecompress);
  } catch (...) {
    discard();
    throw;
  }
  if (!inflater.ended()) {  // stopped part-way
    discard();
    return;
  }
  inflater.SkipRest();
  if (file) {
    file.reset();
    if (!files.Move(partial, target, true)) {
      uint32_t error = files.LastError();
      files.Remove(partial);
      RaiseFileError("Cannot create file", target, error, platform_.system);
    }
  }
  if (OnDecompressedFile) OnDecompressedFile(*this, target, total);
}

void TZlibMultiple::ListStoredFiles(const Text& FileName, std::vector<Text>& FileList) {
  ForEachStoredEntry(FileName, [&](const StoredEntry& entry) { FileList.push_back(entry.path); });
}

void TZlibMultiple::ListStoredFiles(Stream& Stream, std::vector<Text>& FileList) {
  ForEachStoredEntry(Stream, [&](const StoredEntry& entry) { FileList.push_back(entry.path); });
}

std::vector<TZlibMultiple::StoredEntry> TZlibMultiple::ListStoredEntries(const Text& FileName) {
  std::vector<StoredEntry> entries;
  ForEachStoredEntry(FileName, [&](const StoredEntry& entry) { entries.push_back(entry); });
  return entries;
}

void TZlibMultiple::ForEachStoredEntry(const Text& FileName,
                                       const std::function<void(const StoredEntry&)>& visit) {
  uint32_t error = 0;
  std::unique_ptr<File> file =
      platform_.files.Open(FileName, platform::Access::kRead, platform::Share::kRead,
                           platform::Disposition::kOpenExisting, &error);
  if (!file) RaiseFileError("Cannot open file", FileName, error, platform_.system);
  file->Seek(0);
  try {
    ForEachStoredEntry(*file, visit);
  } catch (const platform::StreamError& e) {
    RaiseStreamError("Cannot read file", FileName, e, platform_.system);
  }
}

void TZlibMultiple::ForEachStoredEntry(Stream& Stream,
                                       const std::function<void(const StoredEntry&)>& visit) {
  Reader reader(Stream, Buffers().archive);
  StoredEntry entry;
  while (reader.Remaining() > 0) {
    EntryHead head = ReadHead(reader, platform_.system);
    entry.path = head.dir + head.name;
    entry.FileSize = head.fileSize;
    entry.CompressedSize = static_cast<uint32_t>(head.compressedSize);
    reader.Skip(head.compressedSize);
    visit(entry);
  }
  reader.Sync();
}

}  // namespace brantle
