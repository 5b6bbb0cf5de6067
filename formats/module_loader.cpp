#include "module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace rotary::formats {
namespace {

// The program's own folder: the module's place is known relative to it, wherever the package
// or the build put both.
bool programFolder(std::string& folder, std::string& error) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) {
    error = std::string("the program's own path cannot be read: ") + std::strerror(errno);
    return false;
  }
  folder.assign(path, static_cast<size_t>(length));
  folder.erase(folder.rfind('/') + 1);
  return true;
}

// The folder of the library that holds `address`.
bool libraryFolder(const void* address, std::string& folder, std::string& error) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || !info.dli_fname) {
    error = "the library's own path cannot be found";
    return false;
  }
  folder = info.dli_fname;
  folder.erase(folder.rfind('/') + 1);
  return true;
}

}  // namespace

void* moduleEntry(const std::string& relativePath, const char* symbol, const std::string& what,
                  std::string& path, std::string& error, const void* anchor) {
  std::string folder;
  if (!(anchor ? libraryFolder(anchor, folder, error) : programFolder(folder, error))) {
    return nullptr;
  }
  path = folder + relativePath;
  // Kept until the program ends: the objects its libraries make live as long as the process.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    error = "the " + what + " cannot be loaded: " + dlerror();
    return nullptr;
  }
  void* entry = dlsym(module, symbol);
  if (!entry) error = "the " + what + " " + path + " is not this program's";
  return entry;
}

}  // namespace rotary::formats
