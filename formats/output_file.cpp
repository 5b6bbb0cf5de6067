#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace rotary::formats {
namespace {

std::string reason() {
  return std::strerror(errno);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names once its links are followed; the path itself when it names none yet.
bool followLinks(std::string& path, std::string& error) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::vector<char> buffer(4096);
    const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (length < 0) {
      error = reason();
      return false;
    }
    const std::string link(buffer.data(), static_cast<std::size_t>(length));
    path = link.front() == '/' ? link : folderOf(path) + "/" + link;
  }
  error = std::strerror(ELOOP);
  return false;
}

bool writeAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// What a signal handler may touch: fixed buffers, set and cleared outside it.
constexpr std::size_t kMostTemporaries = 8;
constexpr std::size_t kLongestPath = 4096;
std::array<std::array<char, kLongestPath>, kMostTemporaries> temporaries{};
volatile std::sig_atomic_t temporariesInUse[kMostTemporaries] = {};
volatile std::sig_atomic_t terminalLineShown = 0;

extern "C" void removeTemporariesAndEnd(int signal) {
  if (terminalLineShown) {
    constexpr char kClearLine[] = "\r\033[K";
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, kClearLine, sizeof kClearLine - 1);
  }
  for (std::size_t n = 0; n < kMostTemporaries; ++n) {
    if (temporariesInUse[n]) unlink(temporaries[n].data());
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

std::string keyOf(const struct stat& st) {
  return "file " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

// A new file's key: its folder as the system resolves it (".", "..", links), and its name.
std::string newFileKey(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char* folder = realpath(folderOf(path).c_str(), nullptr);
  if (!folder) return "new " + path;
  std::string key = "new " + std::string(folder) + "/" + name;
  std::free(folder);
  return key;
}

// The program's own descriptor that a path names: /dev/fd/N, /proc/self/fd/N, /dev/stdout,
// /dev/stderr; -1 for any other path. Written to directly, so that it keeps the offset and the
// mode the shell opened it with (a log that stderr appends to is not written over from its
// start), and a pipe's name in /proc ("pipe:[4711]") is never taken for a file's.
int descriptorNamed(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const char* folder : {"/dev/fd/", "/proc/self/fd/"}) {
    const std::string prefix = folder;
    if (path.rfind(prefix, 0) != 0) continue;
    const std::string number = path.substr(prefix.size());
    if (number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789") != std::string::npos) {
      return -1;
    }
    return std::stoi(number);
  }
  return -1;
}

}  // namespace

bool isWrittenThrough(const std::string& path) {
  if (descriptorNamed(path) >= 0) return true;
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

std::string sameFileKeyOf(int descriptor) {
  struct stat st {};
  if (fstat(descriptor, &st) != 0 || !S_ISREG(st.st_mode)) return "";
  return keyOf(st);
}

void removeTemporaryFilesOnSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal ignored from the start (nohup, a background job) stays ignored.
    struct sigaction now {};
    if (sigaction(signal, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) continue;
    std::signal(signal, removeTemporariesAndEnd);
  }
}

void rememberTemporaryFile(const std::string& path) {
  for (std::size_t n = 0; n < kMostTemporaries; ++n) {
    if (temporariesInUse[n] || path.size() >= kLongestPath) continue;
    std::memcpy(temporaries[n].data(), path.c_str(), path.size() + 1);
    temporariesInUse[n] = 1;
    return;
  }
}

void clearLineOnSignal(bool lineShown) {
  terminalLineShown = lineShown ? 1 : 0;
}

void forgetTemporaryFile(const std::string& path) {
  for (std::size_t n = 0; n < kMostTemporaries; ++n) {
    if (temporariesInUse[n] && path == temporaries[n].data()) temporariesInUse[n] = 0;
  }
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)), target_(path_) {
  if (path_.empty() || path_.back() == '/') {
    error_ = "names a folder, not a file";
    return;
  }
  if (const int descriptor = descriptorNamed(path_); descriptor >= 0) {
    struct stat st {};
    if (fstat(descriptor, &st) != 0) {
      error_ = reason();
      return;
    }
    way_ = Way::kDescriptor;
    descriptor_ = descriptor;
    if (S_ISREG(st.st_mode)) key_ = keyOf(st);
    return;
  }
  if (!followLinks(target_, error_)) return;
  const mode_t mask = umask(0);
  umask(mask);
  mode_ = 0666 & ~mask;
  struct stat st {};
  const bool exists = stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error_ = "names a folder, not a file";
    return;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    way_ = Way::kThrough;  // a device, a pipe: written as it is
    return;
  }
  key_ = exists ? keyOf(st) : newFileKey(target_);
  if (exists) {
    mode_ = st.st_mode & 07777;
    // Read-only means read-only, also to the superuser.
    if ((st.st_mode & 0222) == 0 || access(target_.c_str(), W_OK) != 0) {
      error_ = "is read-only";
      return;
    }
  }
  const std::string folder = folderOf(target_);
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    if (exists && errno == EACCES) {
      way_ = Way::kInPlace;  // the file may be written, its folder not
      return;
    }
    error_ = reason();
    return;
  }
  // The temporary file now: a name too long, a folder full of names or a disk without a free
  // inode refuses it before anything is computed.
  const auto slash = target_.rfind('/');
  const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  std::string pattern = folder + "/." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  fd_ = mkstemp(buffer.data());
  if (fd_ < 0) {
    error_ = reason();
    return;
  }
  temporary_ = buffer.data();
  rememberTemporaryFile(temporary_);
}

OutputFile::~OutputFile() {
  discard();
}

void OutputFile::discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    forgetTemporaryFile(temporary_);
    temporary_.clear();
  }
}

bool OutputFile::failed(int fd) {
  error_ = reason();
  if (fd >= 0 && fd != fd_) close(fd);
  discard();
  return false;
}

bool OutputFile::stage(const std::string& content) {
  if (!ok()) return false;
  if (way_ != Way::kReplace) {
    staged_ = content;
    return true;
  }
  if (fd_ < 0) {
    errno = EBADF;
    return failed(-1);
  }
  if (fchmod(fd_, mode_) != 0 || !writeAll(fd_, content) || fsync(fd_) != 0) return failed(-1);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) return failed(-1);
  return true;
}

bool OutputFile::writeThrough() {
  if (!ok()) return false;
  if (way_ == Way::kDescriptor) {
    if (!writeAll(descriptor_, staged_)) return failed(-1);
    return true;
  }
  if (way_ != Way::kThrough) return true;
  const int fd = open(target_.c_str(), O_WRONLY | O_NOCTTY);
  if (fd < 0 || !writeAll(fd, staged_)) return failed(fd);
  if (close(fd) != 0) return failed(-1);
  return true;
}

bool OutputFile::putInPlace() {
  if (!ok()) return false;
  if (way_ == Way::kThrough || way_ == Way::kDescriptor) return true;
  if (way_ == Way::kInPlace) {
    // The old file is overwritten where it stands, so the room for the new one is reserved
    // before its first byte changes: a full disk refuses the reservation and keeps it whole.
    const int fd = open(target_.c_str(), O_WRONLY | O_NOCTTY);
    if (fd < 0) return failed(fd);
    const auto size = static_cast<off_t>(staged_.size());
    if (const int refused = size > 0 ? posix_fallocate(fd, 0, size) : 0; refused != 0) {
      errno = refused;
      return failed(fd);
    }
    if (!writeAll(fd, staged_) || ftruncate(fd, size) != 0 || fsync(fd) != 0) return failed(fd);
    if (close(fd) != 0) return failed(-1);
    return true;
  }
  if (temporary_.empty() || fd_ >= 0) {
    errno = EINVAL;  // not staged
    return failed(-1);
  }
  if (rename(temporary_.c_str(), target_.c_str()) != 0) return failed(-1);
  forgetTemporaryFile(temporary_);
  temporary_.clear();
  return true;
}

bool OutputFile::write(const std::string& content) {
  return stage(content) && writeThrough() && putInPlace();
}

}  // namespace rotary::formats
