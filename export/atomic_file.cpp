#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace rotary::exporting {

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  const auto slash = path_.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  if (name.empty()) {
    error_ = "names a folder, not a file";
    return;
  }
  std::string pattern = (slash == std::string::npos ? "" : folder) + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) {
    error_ = std::strerror(errno);
    return;
  }
  // mkstemp makes the file private; the finished file gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  temporary_ = buffer.data();
}

AtomicFile::~AtomicFile() {
  if (!temporary_.empty() && !committed_) std::remove(temporary_.c_str());
}

bool AtomicFile::commit() {
  if (!ok()) return false;
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    error_ = std::strerror(errno);
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace rotary::exporting
