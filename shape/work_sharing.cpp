#include "work_sharing.h"

#include <exception>

namespace rotary {

struct WorkSharing::Job {
  const std::function<void(std::size_t)>* work = nullptr;
  std::size_t count = 0;
  std::size_t taken = 0, finished = 0;  // under the lock
  std::exception_ptr failure;           // the first, under the lock
};

WorkSharing::WorkSharing(unsigned threads) {
  for (unsigned n = 1; n < threads; ++n) helpers_.emplace_back([this] { helperLoop(); });
}

WorkSharing::~WorkSharing() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
}

bool WorkSharing::takePiece(std::shared_ptr<Job>& job, std::size_t& piece) {
  if (waiting_.empty()) return false;
  job = waiting_.front();
  piece = job->taken++;
  if (job->taken == job->count) waiting_.erase(waiting_.begin());
  return true;
}

void WorkSharing::run(Job& job, std::size_t piece) {
  std::exception_ptr failure;
  try {
    (*job.work)(piece);
  } catch (...) {
    failure = std::current_exception();
  }
  bool last;
  {
    std::lock_guard lock(mutex_);
    if (failure && !job.failure) job.failure = failure;
    last = ++job.finished == job.count;
  }
  if (last) changed_.notify_all();
}

void WorkSharing::helperLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    std::shared_ptr<Job> job;
    std::size_t piece;
    if (!takePiece(job, piece)) return;  // stopping, with nothing left
    lock.unlock();
    run(*job, piece);
    lock.lock();
  }
}

void WorkSharing::each(std::size_t count, const std::function<void(std::size_t)>& work) {
  if (count == 0) return;
  const auto mine = std::make_shared<Job>();
  mine->work = &work;
  mine->count = count;
  std::unique_lock lock(mutex_);
  // Its pieces first in line: the work that asks is the work most waited for.
  waiting_.insert(waiting_.begin(), mine);
  if (!helpers_.empty()) changed_.notify_all();
  while (mine->finished < count) {
    std::shared_ptr<Job> job;
    std::size_t piece;
    if (!takePiece(job, piece)) {
      changed_.wait(lock, [&] { return mine->finished == count || !waiting_.empty(); });
      continue;
    }
    lock.unlock();
    run(*job, piece);
    lock.lock();
  }
  if (mine->failure) std::rethrow_exception(mine->failure);
}

}  // namespace rotary
