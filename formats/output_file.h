// The one way the companion writes a file the user names. A regular file appears whole or not at
// all: the content goes to a temporary file beside it, is flushed to the disk and takes the
// file's name only once complete; the file keeps its permissions, and a read-only file is
// refused. A symbolic link is followed and its target replaced, so the link stays a link. A
// device or a pipe is written through, in place. A writable file in a folder that cannot be
// written is overwritten in place once the content is complete. Every write, the flush and the
// close are checked, and a failure says why in the system's words ("No space left on device").
#pragma once

#include <string>

namespace rotary::formats {

class OutputFile {
 public:
  // Looks at the target at once, so that a path that cannot be written is refused before any
  // work is done.
  explicit OutputFile(std::string path);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // Writes the whole content; false with error() set, the old file as it was and no temporary
  // file left.
  bool write(const std::string& content);

  // What makes two outputs the same file, links followed: the device and inode of a file that
  // is there, the resolved folder and name of one that is not yet; empty for a device, a pipe or
  // a terminal, which outputs may share.
  const std::string& sameFileKey() const { return key_; }

 private:
  enum class Way { kReplace, kInPlace, kThrough };

  std::string path_;    // as given
  std::string target_;  // with links followed
  Way way_ = Way::kReplace;
  unsigned mode_ = 0;  // of the file replaced, or for a new one
  std::string error_;
  std::string key_;
};

// The same of an open descriptor: standard output redirected to a file.
std::string sameFileKeyOf(int descriptor);

// Temporary files that a signal must not leave behind: SIGINT, SIGTERM and SIGHUP remove them,
// then end the program as the signal would have (status 130, 143, 129 in a shell).
void removeTemporaryFilesOnSignals();
void rememberTemporaryFile(const std::string& path);
void forgetTemporaryFile(const std::string& path);

}  // namespace rotary::formats
