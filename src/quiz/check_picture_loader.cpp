#include "quiz/check_picture_loader.h"

#include <system_error>

namespace zel {

CheckPictureLoader::CheckPictureLoader(FileAccess& files, const QuestionCheck& check,
                                       std::function<void()> wake, int threads)
    : files_(files), wake_(std::move(wake)) {
  for (size_t i = 0; i < check.lines.size(); ++i)
    if (check.lines[i].picture) jobs_.emplace_back(i, *check.lines[i].picture);
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  // Each Take reads the next picture: while one is left, it waits to be taken.
  readsOnTake_ = true;
  if (!jobs_.empty()) wake_();
  return;
#endif
  const size_t wanted = std::min(jobs_.size(), static_cast<size_t>(std::max(1, threads)));
  try {
    while (workers_.size() < wanted) workers_.emplace_back(&CheckPictureLoader::Work, this);
  } catch (const std::system_error&) {
    // Without a thread of its own the reading is done here and now: slow, but whole.
    if (workers_.empty()) Work();
  }
}

CheckPictureLoader::~CheckPictureLoader() {
  Stop();
  for (std::thread& worker : workers_) worker.join();
}

std::vector<CheckPictureLoader::Done> CheckPictureLoader::Take() {
  if (readsOnTake_ && ReadNext() && next_ < jobs_.size()) wake_();
  std::lock_guard lock(mutex_);
  return std::exchange(done_, {});
}

void CheckPictureLoader::Work() {
  while (ReadNext()) {
  }
}

bool CheckPictureLoader::ReadNext() {
  if (stop_) return false;
  const size_t job = next_++;
  if (job >= jobs_.size()) return false;
  CheckedPicture picture = LoadCheckedPicture(files_, jobs_[job].second);
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    if (stop_) return false;
    first = done_.empty();
    done_.push_back({jobs_[job].first, std::move(picture)});
  }
  // One call while pictures wait: the window takes all that are there when it comes.
  if (first && !readsOnTake_) wake_();
  return true;
}

}  // namespace zel
