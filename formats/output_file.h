// The one way the companion writes a file the user names. A regular file appears whole or not at
// all: the content goes to a temporary file beside it, made as soon as the file is named, is
// flushed to the disk and takes the file's name only once complete; the file keeps its
// permissions, and a read-only file is refused. A symbolic link is followed and its target
// replaced, so the link stays a link. A device or a pipe is written through, in place. A
// writable file in a folder that cannot be written is overwritten in place once the content is
// complete. Every write, the flush and the close are checked, and a failure says why in the
// system's words ("No space left on device").
//
// Several outputs of one run are written as one: each is staged (its temporary file written and
// flushed), then the devices and pipes are written through, then each file is put in place; a
// failure before the last step leaves every old file as it was.
#pragma once

#include <string>

namespace rotary::formats {

class OutputFile {
 public:
  // Looks at the target at once and makes the temporary file beside a regular one, so that a
  // path that cannot be written, or a name that cannot be made, is refused before any work.
  explicit OutputFile(std::string path);
  // An output not put in place leaves no temporary file behind.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // The whole content where it waits: in the temporary file, flushed to the disk; for a device,
  // a pipe or a file overwritten in place, kept for the steps below. False with error() set.
  bool stage(const std::string& content);
  // A device or a pipe takes the staged content now; nothing to do for a file.
  bool writeThrough();
  // The file takes the staged content: the temporary file its name, or the old file is
  // overwritten where it stands (with its room reserved first).
  bool putInPlace();
  // The three steps at once, for an output that is written alone.
  bool write(const std::string& content);
  // The temporary file goes; the old file stays as it was.
  void discard();

  // What makes two outputs the same file, links followed: the device and inode of a file that
  // is there, the resolved folder and name of one that is not yet; empty for a device, a pipe or
  // a terminal, which outputs may share.
  const std::string& sameFileKey() const { return key_; }

 private:
  enum class Way { kReplace, kInPlace, kThrough, kDescriptor };

  bool failed(int fd);

  std::string path_;    // as given
  std::string target_;  // with links followed
  Way way_ = Way::kReplace;
  unsigned mode_ = 0;      // of the file replaced, or for a new one
  std::string temporary_;  // the replacing file's, while it waits
  int fd_ = -1;            // open on the temporary file until it is staged
  int descriptor_ = -1;    // the program's own, named by /dev/fd/N, /dev/stderr and the like
  std::string staged_;     // what a device or an in-place file takes
  std::string error_;
  std::string key_;
};

// The same of an open descriptor: standard output redirected to a file.
std::string sameFileKeyOf(int descriptor);

// Whether a path names what is written through rather than replaced: a device, a pipe, a socket,
// or one of the program's open descriptors (/dev/fd/N, /dev/stderr, a shell's process
// substitution). Such a target takes any format: it has no extension to name one.
bool isWrittenThrough(const std::string& path);

// Temporary files that a signal must not leave behind: SIGINT, SIGTERM and SIGHUP remove them,
// then end the program as the signal would have (status 130, 143, 129 in a shell).
void removeTemporaryFilesOnSignals();
void rememberTemporaryFile(const std::string& path);
void forgetTemporaryFile(const std::string& path);
// Whether a line stands on the terminal (standard error) that such a signal clears first: a
// study's progress, which would otherwise stay before the shell's prompt.
void clearLineOnSignal(bool lineShown);

}  // namespace rotary::formats
