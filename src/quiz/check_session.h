// The question check as its window shows it: the check's rows in words, and its pictures
// read on worker threads and settled into the rows as the window takes them.
#pragma once

#include <memory>

#include "host/check_window.h"
#include "quiz/check_picture_loader.h"
#include "quiz/question_check.h"

namespace zel {

class FileAccess;

class CheckSession final : public CheckWindowContent {
 public:
  // files is read from the workers, so its reads must be safe on any thread.
  CheckSession(QuestionCheck check, FileAccess& files, int threads = 2);
  ~CheckSession() override;

  size_t RowCount() const override { return check_.lines.size(); }
  CheckRow Row(size_t row) const override;
  std::string Summary() const override { return check_.summary; }
  void StartReading(std::function<void()> wake) override;
  std::vector<RowPicture> TakePictures() override;
  size_t PicturesLeft() const override { return left_; }
  void StopReading() override;
  void EndReading() override;

  const QuestionCheck& Check() const { return check_; }

 private:
  QuestionCheck check_;
  FileAccess& files_;
  int threads_;
  size_t left_ = 0;
  std::unique_ptr<CheckPictureLoader> loader_;
};

}  // namespace zel
