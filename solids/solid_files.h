// Where the solids go: the STEP assembly in its file, or a STEP file a part, and an STL file a
// part, each part's name added to the file's name; and writing them all or none.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "solids.h"

namespace rotary::solids {

// The parts in the order their files are made.
inline const char* const kPartNames[] = {"ROTOR_HOUSING", "SIDE_HOUSING_FRONT", "SIDE_HOUSING_REAR",
                                         "ROTOR"};

struct SolidFilePath {
  bool step = false;  // else an STL
  std::string part;   // empty for the whole assembly
  std::string path;
};

// "engine.stl" with the part ROTOR_HOUSING is "engine-rotor_housing.stl".
std::string withPartName(const std::string& path, const std::string& part);

// The files a request makes, in the order SolidsResult holds their contents.
std::vector<SolidFilePath> solidFilePaths(const std::optional<std::string>& step, bool stepParts,
                                          const std::optional<std::string>& stl);

// The request those files need.
SolidsRequest requestFor(const std::optional<std::string>& step, bool stepParts,
                         const std::optional<std::string>& stl, const std::string& unit);

// Each file's content from `made`, in the order of `paths`.
const std::string& contentOf(const SolidsResult& made, const std::vector<SolidFilePath>& paths,
                             std::size_t n);

// Every file written, or none: each waits beside its place until all have their content; false
// with the file and why in `error`.
bool writeSolidFiles(const std::vector<SolidFilePath>& paths, const SolidsResult& made,
                     std::string& error);

}  // namespace rotary::solids
