#include "solid_files.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "number_text.h"
#include "output_file.h"

namespace rotary::solids {

std::string withPartName(const std::string& path, const std::string& part) {
  std::string name = part;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return path + "-" + name;
  }
  return path.substr(0, dot) + "-" + name + path.substr(dot);
}

std::vector<SolidFilePath> solidFilePaths(const std::optional<std::string>& step, bool stepParts,
                                          const std::optional<std::string>& stl) {
  std::vector<SolidFilePath> paths;
  if (step && !stepParts) paths.push_back({true, "", *step});
  if (step && stepParts) {
    for (const char* part : kPartNames) paths.push_back({true, part, withPartName(*step, part)});
  }
  if (stl) {
    for (const char* part : kPartNames) paths.push_back({false, part, withPartName(*stl, part)});
  }
  return paths;
}

SolidsRequest requestFor(const std::optional<std::string>& step, bool stepParts,
                         const std::optional<std::string>& stl, const std::string& unit) {
  SolidsRequest request;
  request.step = step && !stepParts;
  request.stepParts = step && stepParts;
  request.stl = stl.has_value();
  request.unit = unit;
  return request;
}

const std::string& contentOf(const SolidsResult& made, const std::vector<SolidFilePath>& paths,
                             std::size_t n) {
  std::size_t before = 0;
  for (std::size_t k = 0; k < n; ++k) before += paths[k].step == paths[n].step ? 1 : 0;
  return (paths[n].step ? made.step : made.stl).at(before).content;
}

bool writeSolidFiles(const std::vector<SolidFilePath>& paths, const SolidsResult& made,
                     std::string& error) {
  std::vector<std::unique_ptr<formats::OutputFile>> files;
  const auto failed = [&](const std::string& path, const std::string& why) {
    error = quoteForMessage(path) + ": " + why;
    for (const auto& file : files) file->discard();
    return false;
  };
  for (std::size_t n = 0; n < paths.size(); ++n) {
    files.push_back(std::make_unique<formats::OutputFile>(paths[n].path));
    if (!files.back()->ok()) return failed(paths[n].path, files.back()->error());
  }
  for (std::size_t n = 0; n < paths.size(); ++n) {
    if (!files[n]->stage(contentOf(made, paths, n))) {
      return failed(paths[n].path, files[n]->error());
    }
  }
  // A device takes its content first; then the files take their names.
  for (std::size_t n = 0; n < paths.size(); ++n) {
    if (!files[n]->writeThrough()) return failed(paths[n].path, files[n]->error());
  }
  for (std::size_t n = 0; n < paths.size(); ++n) {
    if (!files[n]->putInPlace()) return failed(paths[n].path, files[n]->error());
  }
  return true;
}

}  // namespace rotary::solids
