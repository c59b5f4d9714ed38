// The window of the question-file check: what the quiz will do with each line of mondai.txt.
// Its rows show at once; the pictures are read on worker threads and fill in one by one,
// the summary counting them, and closing the window stops the reading.
#pragma once

#include <QDialog>

#include "host/check_window.h"

class QLabel;
class QTableWidget;

namespace zel {

class QuestionCheckWindow : public QDialog {
 public:
  // Starts the reading of content's pictures, and ends it when it goes.
  QuestionCheckWindow(QWidget* parent, CheckWindowContent& content);
  ~QuestionCheckWindow() override;
  // Closed, it reads no further picture.
  void done(int result) override;

 private:
  void TakePictures();
  void ShowRow(int row);

  CheckWindowContent& content_;
  QLabel* summary_ = nullptr;
  QTableWidget* list_ = nullptr;
  bool rowsToMeasure_ = false;
};

}  // namespace zel
