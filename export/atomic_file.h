// A file that appears whole or not at all: everything is written to a temporary file in the
// same folder, which takes the file's name only once it is complete. A run that fails leaves
// nothing behind.
#pragma once

#include <string>

namespace rotary::exporting {

class AtomicFile {
 public:
  // Creates the temporary file at once, so that a folder that does not exist or cannot be
  // written is known before any work is done.
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return error_.empty(); }
  // Why the file cannot be written, in the system's words.
  const std::string& error() const { return error_; }
  // Where the writers write.
  const std::string& temporaryPath() const { return temporary_; }

  // Gives the complete file its name; false (and error() set) when that fails.
  bool commit();

 private:
  std::string path_;
  std::string temporary_;
  std::string error_;
  bool committed_ = false;
};

}  // namespace rotary::exporting
