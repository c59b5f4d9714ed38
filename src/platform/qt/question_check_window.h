// The window of the question-file check: what the quiz will do with each line of mondai.txt.
#pragma once

#include <QDialog>

namespace zel {

struct QuestionCheck;

class QuestionCheckWindow : public QDialog {
 public:
  QuestionCheckWindow(QWidget* parent, const QuestionCheck& check);
};

}  // namespace zel
