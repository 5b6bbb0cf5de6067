// Preloaded into the companion to make the system fail where it seldom does: fsync or close of
// the hidden temporary file beside a target (".name.XXXXXX") returns EIO when FAIL_FSYNC or
// FAIL_CLOSE is set, as a full or failing disk behind a network file system may.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

bool isTemporaryBesideATarget(int fd) {
  char link[4096];
  const std::string proc = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = readlink(proc.c_str(), link, sizeof link - 1);
  if (length <= 0) return false;
  const std::string path(link, static_cast<std::size_t>(length));
  const auto slash = path.rfind('/');
  return slash != std::string::npos && path.compare(slash, 2, "/.") == 0;
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  static const auto real = next<int (*)(int)>("fsync");
  if (std::getenv("FAIL_FSYNC") && isTemporaryBesideATarget(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

extern "C" int close(int fd) {
  static const auto real = next<int (*)(int)>("close");
  if (std::getenv("FAIL_CLOSE") && isTemporaryBesideATarget(fd)) {
    real(fd);
    errno = EIO;
    return -1;
  }
  return real(fd);
}
