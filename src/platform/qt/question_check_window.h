// The window of the question-file check: what the quiz will do with each line of mondai.txt.
// Its rows show at once; the pictures are read on worker threads and fill in one by one,
// the summary counting them, and closing the window stops the reading.
#pragma once

#include <QDialog>
#include <memory>

#include "quiz/question_check.h"

class QLabel;
class QTableWidget;

namespace zel {

class CheckPictureLoader;
class FileAccess;

class QuestionCheckWindow : public QDialog {
 public:
  // Reads the pictures of check through files, which must be safe to read from any thread.
  QuestionCheckWindow(QWidget* parent, const QuestionCheck& check, FileAccess& files);
  ~QuestionCheckWindow() override;
  // Closed, it reads no further picture.
  void done(int result) override;

 private:
  void TakePictures();
  void ShowRow(int row);

  QuestionCheck check_;
  QLabel* summary_ = nullptr;
  QTableWidget* list_ = nullptr;
  bool rowsToMeasure_ = false;
  std::unique_ptr<CheckPictureLoader> loader_;
};

}  // namespace zel
