#include "platform/qt/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialog_templates.h"
#include "files/file_names.h"

namespace zel {
namespace {

constexpr size_t kMaxHelpFileBytes = size_t{16} << 20;

// The help document comes from the question folder, which anyone may have filled: it opens
// no links outside itself and takes pictures and pages only from its own folder.
class HelpBrowser : public QTextBrowser {
 public:
  explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenExternalLinks(false);
    setOpenLinks(true);
  }
  void SetFolder(const QString& folder) { folder_ = folder; }

  QVariant loadResource(int, const QUrl& name) override {
    const QString path = Inside(name);
    if (path.isEmpty()) return {};
    const auto bytes = ReadRegularFile(QFile::encodeName(path).toStdString(), kMaxHelpFileBytes);
    if (!bytes) return {};
    // Bytes, so a page's own charset declaration decides how it reads.
    return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
  }

 protected:
  void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override {
    // A jump within the page, or another page of the folder; nothing else.
    if (name.isRelative() && name.path().isEmpty()) {
      QTextBrowser::doSetSource(name, type);
      return;
    }
    const QUrl url = source().isValid() ? source().resolved(name) : name;
    if (Inside(url).isEmpty()) return;
    QTextBrowser::doSetSource(url, type);
  }

 private:
  // The file a URL names when it lies within the document's folder, else "".
  QString Inside(const QUrl& name) const {
    if (folder_.isEmpty()) return {};
    const QUrl url = source().isValid() ? source().resolved(name) : name;
    if (!url.isLocalFile()) return {};
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (path.isEmpty() || !path.startsWith(folder_ + "/")) return {};
    return path;
  }

  QString folder_;
};

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle("もじもり！ ヘルプ");
  resize(720, 600);
  auto* layout = new QVBoxLayout(this);

  auto* bar = new QHBoxLayout;
  auto* contents = new QPushButton("もくじ", this);
  auto* back = new QPushButton("もどる", this);
  search_ = new QLineEdit(this);
  search_->setObjectName("search");
  search_->setPlaceholderText("ことばを いれて Enter で さがします");
  auto* searchLabel = new QLabel("さがす(&S):", this);
  searchLabel->setBuddy(search_);
  bar->addWidget(contents);
  bar->addWidget(back);
  bar->addStretch();
  bar->addWidget(searchLabel);
  bar->addWidget(search_, 1);
  layout->addLayout(bar);

  browser_ = new HelpBrowser(this);
  layout->addWidget(browser_);

  connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(search_, &QLineEdit::returnPressed, this, [this] { FindNext(); });
  back->setEnabled(false);
}

void HelpWindow::ShowDocument(const QString& path) {
  const QString found = QString::fromStdString(ResolveIgnoringCase(path.toStdString()));
  // Only a regular file: a FIFO in its place would hang the window.
  if (path.isEmpty() || !ReadRegularFile(found.toStdString(), 0)) {
    browser_->clearHistory();
    const auto utf8 = [](std::string_view text) {
      return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    };
    browser_->setHtml(QStringLiteral("<h2>%1</h2><p>%2</p><p>%3</p>")
                          .arg(utf8(help_missing_texts::kTitle), utf8(help_missing_texts::kMessage),
                               path.toHtmlEscaped()));
    return;
  }
  // Through setSource, so the links of the table of contents and "もくじ" work; the same
  // document again is read again, as it may have been edited meanwhile.
  static_cast<HelpBrowser*>(browser_)->SetFolder(QFileInfo(found).canonicalPath());
  const QUrl url = QUrl::fromLocalFile(QFileInfo(found).canonicalFilePath());
  if (browser_->source() == url) browser_->reload();
  else browser_->setSource(url, QTextDocument::HtmlResource);
  browser_->clearHistory();
}

void HelpWindow::FindNext() {
  const QString word = search_->text();
  if (word.isEmpty()) return;
  // From where the last match ended; at the end, round again from the top.
  if (!browser_->find(word)) {
    browser_->moveCursor(QTextCursor::Start);
    browser_->find(word);
  }
}

}  // namespace zel
