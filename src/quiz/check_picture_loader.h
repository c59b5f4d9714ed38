// The pictures of a question check read on worker threads, so the check's window answers
// while they are read, however many and however large they are.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "quiz/question_check.h"

namespace zel {

class FileAccess;

class CheckPictureLoader {
 public:
  struct Done {
    size_t row;
    CheckedPicture picture;
  };

  // Starts reading the picture of every row of check that still has one to read, in the
  // order of the rows. wake runs on a worker thread when read pictures wait to be taken:
  // it must do no more than ask the window's thread to Take them. files is read from the
  // workers, so its reads must be safe on any thread.
  CheckPictureLoader(FileAccess& files, const QuestionCheck& check, std::function<void()> wake,
                     int threads = 2);
  // Stops: each worker finishes the picture in hand and ends. Neither files nor wake is
  // used after this returns.
  ~CheckPictureLoader();
  CheckPictureLoader(const CheckPictureLoader&) = delete;
  CheckPictureLoader& operator=(const CheckPictureLoader&) = delete;

  // Asks the workers to end after the picture in hand, without waiting for them.
  void Stop() { stop_ = true; }
  // The pictures read since the last call, for SettlePicture. Where there are no threads (a
  // page), nothing is read before: each call reads the next picture itself, so the window
  // shows one at a time and can be closed between them, and wake runs (on the caller's
  // thread) whenever another is left.
  std::vector<Done> Take();
  size_t Count() const { return jobs_.size(); }

 private:
  void Work();
  // Reads the next picture into done_; false when none is left or the loader is stopping.
  bool ReadNext();

  FileAccess& files_;
  std::function<void()> wake_;
  std::vector<std::pair<size_t, PictureToLoad>> jobs_;
  std::atomic<size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Done> done_;
  std::vector<std::thread> workers_;
  bool readsOnTake_ = false;
};

}  // namespace zel
