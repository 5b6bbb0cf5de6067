#include "file_name.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace rotary::formats {

std::string lowerExtension(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return "";
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

bool imageFormatOf(const std::string& path, std::initializer_list<ImageFormat> allowed,
                   ImageFormat& format) {
  const std::string extension = lowerExtension(path);
  const std::pair<const char*, ImageFormat> known[] = {
      {"svg", ImageFormat::kSvg}, {"pdf", ImageFormat::kPdf}, {"png", ImageFormat::kPng}};
  for (const auto& [name, kind] : known) {
    if (extension == name && std::find(allowed.begin(), allowed.end(), kind) != allowed.end()) {
      format = kind;
      return true;
    }
  }
  return false;
}

}  // namespace rotary::formats
