// The help window: the help document, an HTML file beside the program's other files, with
// its table of contents and a search line.
#pragma once

#include <QWidget>

class QLineEdit;
class QTextBrowser;

namespace zel {

class HelpWindow : public QWidget {
 public:
  explicit HelpWindow(QWidget* parent);

  // Shows the document at path from its start, or says that it cannot be found.
  void ShowDocument(const QString& path);

  QTextBrowser* browser() const { return browser_; }

 private:
  void FindNext();

  QTextBrowser* browser_ = nullptr;
  QLineEdit* search_ = nullptr;
};

}  // namespace zel
