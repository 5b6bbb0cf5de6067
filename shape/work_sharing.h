// Work shared among a few threads that stay for a whole computation: a side port's timing takes
// a millisecond or more, a designer's engine has several ports, and starting a thread costs as
// much as a tenth of one port. A thread that waits for its own work to finish helps with the
// others' meanwhile, so work may share out more work.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace rotary {

// Every core the machine has, at least one.
inline unsigned allCores() {
  return std::max(1u, std::thread::hardware_concurrency());
}

class WorkSharing {
 public:
  // `threads` counting the caller's own: one shares nothing and starts no thread.
  explicit WorkSharing(unsigned threads);
  ~WorkSharing();
  WorkSharing(const WorkSharing&) = delete;
  WorkSharing& operator=(const WorkSharing&) = delete;

  // Does work(0) to work(count - 1) on the caller's thread and whichever others are free, and
  // returns when all are done; the first failure is then thrown again.
  void each(std::size_t count, const std::function<void(std::size_t)>& work);

 private:
  struct Job;
  // Takes the next piece of any job that has one left, under the lock.
  bool takePiece(std::shared_ptr<Job>& job, std::size_t& piece);
  void run(Job& job, std::size_t piece);
  void helperLoop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::shared_ptr<Job>> waiting_;  // jobs with pieces not yet taken
  bool stopping_ = false;
  std::vector<std::thread> helpers_;
};

}  // namespace rotary
