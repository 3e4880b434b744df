// Simulated volumes as JSON files, for zentura-defrag on Linux and its tests:
//   {"cluster_size": 4096, "total_clusters": N, "used": [[lcn, count], ...],
//    "files": [{"path": "C:\\Games\\X\\a.pak", "size": BYTES,
//               "extents": [[lcn, count], ...], "resident": false}, ...],
//    "fail_moves": [{"path": ..., "nth": K}], "reparse_points": ["C:\\..."],
//    "pending": false}
// Extents are in VCN order; an lcn of -1 is a virtual run.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/sim/sim_volume.h"

namespace zentura::cli {

class VolumeFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raises VolumeFileError with a reason the user can act on.
std::unique_ptr<platform::sim::SimVolume> LoadVolume(const std::string& json);
std::string SaveVolume(const platform::sim::SimVolume& volume);

}  // namespace zentura::cli
