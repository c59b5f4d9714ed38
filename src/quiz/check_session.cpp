#include "quiz/check_session.h"

#include <utility>

namespace zel {

CheckSession::CheckSession(QuestionCheck check, FileAccess& files, int threads)
    : check_(std::move(check)), files_(files), threads_(threads) {
  for (const CheckedLine& line : check_.lines)
    if (line.picture) ++left_;
}

CheckSession::~CheckSession() { EndReading(); }

CheckRow CheckSession::Row(size_t row) const {
  const CheckedLine& line = check_.lines[row];
  return {RowLabel(line), line.text, line.message, line.lastNumber == line.number};
}

void CheckSession::StartReading(std::function<void()> wake) {
  if (!loader_) loader_ = std::make_unique<CheckPictureLoader>(files_, check_, std::move(wake), threads_);
}

std::vector<RowPicture> CheckSession::TakePictures() {
  std::vector<RowPicture> taken;
  if (!loader_) return taken;
  for (CheckPictureLoader::Done& done : loader_->Take()) {
    SettlePicture(check_, done.row, done.picture);
    taken.push_back({done.row, std::move(done.picture.thumbnail)});
    --left_;
  }
  return taken;
}

void CheckSession::StopReading() {
  if (loader_) loader_->Stop();
}

// The loader joins its workers as it goes; what they read and no one took goes with it.
void CheckSession::EndReading() { loader_.reset(); }

}  // namespace zel
