// The archive reader on arbitrary bytes: listing and full extraction of a
// ".dat" held in memory, with nothing written to disk.
#include <cstddef>
#include <cstdint>

#include "brantle/archive/zlib_multiple.h"
#include "platform/sim/sim_windows.h"

namespace {

// One machine and one codec for every input: the codec's buffers are made
// once, as they are for the many entries of one archive.
brantle::TZlibMultiple& Codec() {
  static platform::sim::TempSimWindows sim;
  static brantle::TZlibMultiple codec(sim.Get());
  return codec;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  brantle::TZlibMultiple& codec = Codec();
  platform::MemoryStream archive;
  archive.Data().assign(data, data + size);

  // Damaged input may raise the codec's errors; anything else (or a crash,
  // a leak, undefined behaviour) is a finding.
  auto guarded = [](auto&& run) {
    try {
      run();
    } catch (const brantle::ZlibError&) {
    } catch (const brantle::ArchiveError&) {
    } catch (const platform::StreamError&) {
    }
  };

  guarded([&] {
    std::vector<platform::Text> files;
    archive.Seek(0);
    codec.ListStoredFiles(archive, files);
  });

  guarded([&] {
    codec.ForceDirectoriesFlag = false;
    codec.OnDecompressingFile = [](brantle::TZlibMultiple&, const platform::Text&, bool& write) {
      write = false;
    };
    archive.Seek(0);
    codec.DecompressStream(archive, u"C:\\out", true, true);
  });
  return 0;
}
