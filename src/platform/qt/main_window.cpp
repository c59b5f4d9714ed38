#include "platform/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>

#include "app/accelerators.h"
#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "app/window_layout.h"
#include "app/panel_input.h"
#include "app/routing.h"
#include "app/texts.h"
#include "app/window_template.h"
#include "platform/qt/font_dialog.h"
#include "platform/qt/help_window.h"
#include "platform/qt/panel_widget.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/question_check_window.h"
#include "platform/qt/small_dialogs.h"
#include "platform/qt/print_dialog.h"
#include "platform/qt/qt_drawing.h"
#include "files/file_names.h"
#include "files/safe_replace.h"
#include "platform/sdl/sdl_device.h"
#include "platform/sound/sound_service.h"
#include "encoding/sjis.h"
#include "platform/qt/sheet_renderer.h"

namespace zel {
namespace {

QString FromSjis(std::string_view text) { return QString::fromStdString(SjisToUtf8(text)); }
QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The line text breaks its lines with LF CR; a label wants plain line feeds.
QString LineTextOf(std::string_view sjis) {
  QString text = FromSjis(sjis);
  text.remove(QChar('\r'));
  return text;
}

// The Windows virtual-key code of a key press, 0 when the table has no use for it.
int VirtualKeyOf(const QKeyEvent& key) {
  const int k = key.key();
  // The keypad's digits and operators are keys of their own (VK_NUMPAD0.., VK_ADD..); only
  // what they type can match. With NumLock off its keys are the cursor keys they stand for.
  if ((key.modifiers() & Qt::KeypadModifier) && k != Qt::Key_Enter && k != Qt::Key_Left &&
      k != Qt::Key_Right && k != Qt::Key_Delete)
    return 0;
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
  if (k >= Qt::Key_F1 && k <= Qt::Key_F10) return kVkF1 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kVkReturn;
    case Qt::Key_Space: return kVkSpace;
    case Qt::Key_Left: return kVkLeft;
    case Qt::Key_Right: return kVkRight;
    case Qt::Key_Backspace: return kVkBack;
    case Qt::Key_Delete: return kVkDelete;
    default: break;
  }
  // Shift with a digit reports the symbol it types; the key is still the digit. X11 key
  // codes 10..19 are the digit row 1..9, 0.
  const quint32 scan = key.nativeScanCode();
  if (scan >= 10 && scan <= 19) return scan == 19 ? '0' : static_cast<int>('1' + (scan - 10));
  return 0;
}

QByteArray BuiltInSoundBytes(int id) {
  QFile file(id < 0 ? QString(":/sounds/default.wav") : QString(":/sounds/%1.wav").arg(id));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::span<const uint8_t> BytesOf(const QByteArray& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

}  // namespace

MainWindow::MainWindow(std::string settingsPath)
    : sound_(std::make_unique<SoundService>(BytesOf(BuiltInSoundBytes(-1)), OpenSdlDevice)),
      settings_(std::move(settingsPath)) {
  setWindowTitle(FromUtf8(kMainWindowTitle));
  client_ = new QWidget(this);
  setCentralWidget(client_);
  client_->installEventFilter(this);
  BuildControls();
  BuildMenu();
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { OnTimer(); });
  qApp->installEventFilter(this);
  StartUp(app_);
  started_ = true;
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  quiet_ = true;  // no message box from a window going away
  WriteHeldSettings();
}

void MainWindow::BuildControls() {
  for (const ControlDef& def : MainControls()) {
    QWidget* widget = nullptr;
    switch (def.kind) {
      case ControlKind::PushButton: {
        auto* button = new QPushButton(FromSjis(def.caption), client_);
        button->setAutoDefault(false);
        const int id = def.id;
        connect(button, &QPushButton::clicked, this, [this, id] { Route(id, kFromClick); });
        widget = button;
        break;
      }
      case ControlKind::LineText: {
        auto* label = new QLabel(client_);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(false);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
      }
      case ControlKind::PanelFrame: {
        auto* frame = new QFrame(client_);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        widget = frame;
        break;
      }
      case ControlKind::DisplayPanel:
        panel_ = new PanelWidget(app_, client_);
        widget = panel_;
        break;
    }
    controls_[def.id] = widget;
  }
  // The mode buttons keep the window's own font; the layout gives the others the key font.
  QFont dialogFont(FromUtf8(texts::kDefaultFontName));
  dialogFont.setPointSize(12);
  for (int id = kCmdModeButtonFirst; id < kCmdModeButtonFirst + kScriptModeCount; ++id)
    if (QWidget* widget = control(id)) widget->setFont(dialogFont);
}

void MainWindow::BuildMenu() {
  for (const MenuDef& menuDef : MainMenu()) {
    QMenu* menu = menuBar()->addMenu(FromUtf8(menuDef.title));
    for (const MenuItemDef& item : menuDef.items) {
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* act = menu->addAction(FromUtf8(item.text));
      const int id = item.id;
      act->setCheckable(item.checkable);
      act->setChecked(item.checked);
      checks_[id] = item.checked;
      connect(act, &QAction::triggered, this, [this, act, id] {
        if (act->isCheckable()) act->setChecked(checks_[id]);  // only the program moves them
        Route(id, kFromClick);
      });
      actions_[id] = act;
    }
  }
}

QWidget* MainWindow::control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QAction* MainWindow::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::NoteWaitingRelease() {
  if (repeatFilter_.TakeWaitingRelease()) NoteKeyReleased(app_);
}

void MainWindow::Route(int commandId, int notification) {
  // A key's press has already settled the release before it; a click or a menu pick comes
  // after any release the user made.
  if (notification != kFromAccelerator) NoteWaitingRelease();
  SubmitCommand(app_, commandId, notification);
}

void MainWindow::OnTimer() {
  NoteWaitingRelease();
  SubmitTick(app_);
}

void MainWindow::LayOut() {
  if (isMinimized()) {
    RunLayout(app_, 0, 0);  // as the size message of a minimised window reports it
    return;
  }
  RunLayout(app_, client_->width(), client_->height());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!firstFrameDrawn_ && watched == this && event->type() == QEvent::Paint) {
    firstFrameDrawn_ = true;
    QTimer::singleShot(0, this, [this] { WriteHeldSettings(); });
  }
  if (watched == client_ && event->type() == QEvent::Resize) {
    LayOut();
    return false;
  }
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
      event->type() == QEvent::ShortcutOverride)
    return HandleKey(watched, event);
  return false;
}

bool MainWindow::HandleKey(QObject* watched, QEvent* event) {
  // Only keys meant for this window: not those of a dialog or an open menu.
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || target->window() != this || QApplication::activeModalWidget() ||
      QApplication::activePopupWidget())
    return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = key->modifiers();
  if (event->type() == QEvent::KeyRelease) {
    // A key released with Alt down (Ctrl up), Alt released on its own and F10 are system
    // key-ups: they do not end a held key's repeat.
    const bool alt = (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
    const bool systemKey = key->key() == Qt::Key_Alt ? altAlone_ : alt || key->key() == Qt::Key_F10;
    if (!systemKey)
      repeatFilter_.OnRelease(key->nativeScanCode(), key->timestamp(), key->isAutoRepeat());
    return false;
  }
  if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
    altAlone_ = key->key() == Qt::Key_Alt;
  // A press travels up through the parents; the filter answers true only once.
  if (event->type() == QEvent::KeyPress &&
      repeatFilter_.OnPress(key->nativeScanCode(), key->timestamp()))
    NoteKeyReleased(app_);
  if (key->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
    // The dialog keyboard handling makes Escape a click on "cancel", repeats and all.
    if (event->type() == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    Route(kCmdCancel, kFromClick);
    return true;
  }
  KeyStroke stroke;
  stroke.virtualKey = VirtualKeyOf(*key);
  stroke.shift = mods & Qt::ShiftModifier;
  stroke.ctrl = mods & Qt::ControlModifier;
  stroke.alt = mods & Qt::AltModifier;
  stroke.keypad = mods & Qt::KeypadModifier;
  const QString text = key->text();
  if (text.size() >= 1) stroke.character = text.toUcs4().value(0);
  const int command = KeyCommand(stroke, app_.chars.ScriptMode);
  if (command == 0) return false;
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();  // keep the key from menu shortcuts: it is ours
    return true;
  }
  Route(command, kFromAccelerator);
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    CloseMainWindow(app_);
    WriteHeldSettings();  // a window closed before its first frame has nothing to wait for
  }
  event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) panel_->EndStroke();
  if (event->type() == QEvent::WindowStateChange) LayOut();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  TakeSavedRectangleAgain();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  TakeSavedRectangleAgain();
}

void MainWindow::TakeSavedRectangleAgain() {
  // The window manager's frame is known only once it has framed the window: the saved
  // outer rectangle is taken again then, so the window does not grow from run to run.
  if (!pendingOuter_ || frameGeometry().size() == geometry().size()) return;
  const WindowRect outer = *pendingOuter_;
  pendingOuter_.reset();
  MoveWindow(outer);
}

// ---- Host

void MainWindow::SetControlText(int controlId, std::string_view text) {
  QWidget* widget = control(controlId);
  if (auto* button = qobject_cast<QPushButton*>(widget)) button->setText(FromSjis(text));
  else if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(LineTextOf(text));
}

void MainWindow::ShowControl(int controlId, bool visible) {
  if (QWidget* widget = control(controlId)) widget->setVisible(visible);
}

void MainWindow::MoveControl(int controlId, int x, int y, int width, int height) {
  if (QWidget* widget = control(controlId))
    widget->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
}

void MainWindow::SetKeyFont(const FontSpec& spec) {
  const QFont font = MakeQFont(spec);
  // Giving 79 controls a font re-polishes each: skipped when the key size is unchanged.
  if (font != keyFont_) {
    keyFont_ = font;
    for (int id = kCmdFirstKey; id <= kCmdQuit; ++id)
      if (QWidget* widget = control(id)) widget->setFont(font);
  }
  client_->update();
}

void MainWindow::CheckMenuItem(int commandId, bool checked) {
  checks_[commandId] = checked;
  if (QAction* act = action(commandId)) act->setChecked(checked);
}

void MainWindow::InsertMenuItemBefore(int beforeId, int commandId, std::string_view text) {
  QAction* before = action(beforeId);
  if (!before) return;
  auto* menu = qobject_cast<QMenu*>(before->parent());
  if (!menu) return;
  auto* act = new QAction(FromSjis(text), menu);
  const int id = commandId;
  connect(act, &QAction::triggered, this, [this, id] { Route(id, kFromClick); });
  menu->insertAction(before, act);
  actions_[commandId] = act;
}

void MainWindow::InsertMenuSeparatorBefore(int beforeId) {
  QAction* before = action(beforeId);
  if (auto* menu = before ? qobject_cast<QMenu*>(before->parent()) : nullptr)
    menu->insertSeparator(before);
}

void MainWindow::InvalidatePanel() { panel_->Invalidate(); }

void MainWindow::FillPanelWhite() { panel_->FillWhite(); }

void MainWindow::DrawStripFrame(int stripId, int frame) { panel_->DrawStripFrame(stripId, frame); }

void MainWindow::DrawKanaFrame(int kana, const std::vector<double>& reached) {
  panel_->DrawKanaFrame(kana, reached);
}

void MainWindow::RedrawPanel() { panel_->update(); }

void MainWindow::StartHintTimer() { panel_->StartHintTimer(); }

// The release may have gone to another window, or been lost with a grab.
bool MainWindow::StrokePointerDown() { return QGuiApplication::mouseButtons() & Qt::LeftButton; }

WindowRect MainWindow::GetWindowRect() {
  const QRect outer = frameGeometry();
  return {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
}

void MainWindow::MoveWindow(const WindowRect& outer) {
  // The window manager's frame is known only once it has framed the window: the outer
  // rectangle is taken again then (TakeSavedRectangleAgain).
  const QSize frameExtra = frameGeometry().size() - geometry().size();
  if (frameExtra.isNull()) pendingOuter_ = outer;
  std::vector<ScreenArea> screens;
  auto areaOf = [](const QRect& r) {
    return WindowRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  };
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) screens.push_back({areaOf(primary->geometry()), areaOf(primary->availableGeometry())});
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != primary)
      screens.push_back({areaOf(screen->geometry()), areaOf(screen->availableGeometry())});
  if (layout()) layout()->activate();  // its smallest size, from the menu bar and the client
  const QSize least = minimumSize() + frameExtra;
  const WindowRect placed = PlaceWindowOnScreen(outer, screens, {least.width(), least.height()});
  if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) setWindowState(Qt::WindowNoState);
  resize(placed.right - placed.left - frameExtra.width(), placed.bottom - placed.top - frameExtra.height());
  // Before the window is made, move() places its frame (see ShowMessage).
  move(placed.left, placed.top);
}

void MainWindow::RelayoutWindow() { LayOut(); }

void MainWindow::PostQuit() { QCoreApplication::exit(0); }

void MainWindow::SendCommand(int commandId) { RouteCommand(app_, commandId, kFromClick); }

bool MainWindow::StartTimer(unsigned periodMs) {
  // Between a floor of 10 ms and the longest period Qt's timer takes, like the timer the
  // program was made for: a huge or negative speed waits long instead of rattling.
  timer_.start(static_cast<int>(std::clamp<unsigned>(periodMs, 10, INT_MAX)));
  return timer_.isActive();
}

void MainWindow::StopTimer() { timer_.stop(); }

MessageAnswer MainWindow::ShowMessage(std::string_view text, std::string_view caption,
                                      MessageKind kind) {
  // Over a window not on the screen yet (a message during start-up), a box would have Qt
  // make that window early, as the box's parent: it would then take a move as the place of
  // its inside, not of its frame, and open with its title bar above the screen's top.
  QMessageBox box(isVisible() ? this : nullptr);
  box.setWindowTitle(FromSjis(caption));
  box.setText(FromSjis(text));
  switch (kind) {
    case MessageKind::Warning:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
      return MessageAnswer::Ok;
    case MessageKind::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      return box.exec() == QMessageBox::No ? MessageAnswer::No : MessageAnswer::Yes;
    case MessageKind::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      return box.exec() == QMessageBox::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
  }
  return MessageAnswer::Ok;
}

void MainWindow::PlayBuiltInSound(int soundId, SoundWait wait) {
  if (onBuiltInSound) onBuiltInSound(soundId);
  // A missing sound gives empty bytes, which the service answers with the default alert.
  sound_->PlayBytes(BytesOf(BuiltInSoundBytes(soundId)), wait);
}

void MainWindow::PlaySoundFile(const std::string& path, SoundWait wait) {
  sound_->PlayFile(ResolveIgnoringCase(path), wait);
}

std::string MainWindow::ReadProfileString(std::string_view section, std::string_view key,
                                          std::string_view defaultValue, size_t bufferSize) {
  WriteHeldSettings();
  return settings_.ReadString(section, key, defaultValue, bufferSize);
}

int MainWindow::ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) {
  WriteHeldSettings();
  return settings_.ReadInt(section, key, defaultValue);
}

void MainWindow::WriteProfileString(std::string_view section, std::string_view key,
                                    std::string_view value) {
  // A write waits for the disk to take it: before the first frame, writes are held until
  // the window is on screen (a read first writes them, so nothing reads stale values).
  if (!firstFrameDrawn_) {
    heldSettings_.push_back({std::string(section), std::string(key), std::string(value)});
    return;
  }
  // Held writes go first, even when the first frame's flush has not run yet: the file
  // then holds the writes in the order they were made.
  WriteHeldSettings();
  StoreSetting(section, key, value);
}

void MainWindow::StoreSetting(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (settings_.WriteString(section, key, value) || quiet_) return;
  auto tell = [this] { TellSettingsNotSaved(app_, settings_.path()); };
  // During start-up the window is not on screen yet: the message follows it.
  if (started_) tell();
  else QTimer::singleShot(0, this, tell);
}

void MainWindow::CloseQuietly() {
  quiet_ = true;
  close();
}

void MainWindow::WriteHeldSettings() {
  for (const HeldSetting& held : std::exchange(heldSettings_, {}))
    StoreSetting(held.section, held.key, held.value);
}

std::string MainWindow::CurrentDirectory() {
  const QString dir = QDir::currentPath();
  return dir.isEmpty() ? std::string() : QFile::encodeName(dir).toStdString();
}

bool MainWindow::FileExists(const std::string& path) { return CanOpenIgnoringCase(path); }
std::vector<bool> MainWindow::FilesExist(std::span<const std::string> paths) {
  return CanOpenIgnoringCase(paths);
}

namespace {
QString NativeName(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
}  // namespace

std::optional<std::string> MainWindow::ReadFile(const std::string& path, size_t maxBytes) {
  if (path.rfind(":/", 0) == 0) return std::nullopt;  // Qt's resources are not the user's files
  return ReadRegularFile(ResolveIgnoringCase(path), maxBytes);
}

bool MainWindow::ReplaceFile(const std::string& path, std::string_view bytes) {
  RemoveStaleTemporaries(path);
  return ReplaceFileSafely(path, bytes) == ReplaceOutcome::kReplaced;
}

std::optional<std::string> MainWindow::ChooseTextFile(FileDialogKind kind, std::string_view title,
                                                      const std::string& initialPath) {
  QFileDialog dialog(this, FromSjis(title), NativeName(initialPath));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks in its own words
  QStringList names;
  for (const FileFilter& filter : kTextFileFilters) names << FromUtf8(filter.name);
  const QString allFiles = names.back();
  dialog.setNameFilters(names);
  // Names match as on the system the filters come from: without regard to case, and "*.*"
  // takes every file, a name without a dot too. The dialog sets its patterns on the model
  // before it tells of the choice, so they are set again after it here.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  if (auto* model = dialog.findChild<QFileSystemModel*>()) {
    const QString textFiles = FromUtf8(kTextFileFilters.front().pattern);
    model->setNameFilters({textFiles});
    connect(&dialog, &QFileDialog::filterSelected, model,
            [model, allFiles, textFiles](const QString& chosen) {
              model->setNameFilters({chosen == allFiles ? "*" : textFiles});
            });
  }
  dialog.setDefaultSuffix("TXT");
  if (kind == FileDialogKind::Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

std::string MainWindow::BuiltInPicture(std::string_view name) {
  QFile file(QString(":/pictures/%1.bmp").arg(FromUtf8(name)));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

bool MainWindow::FaceDrawsKana(std::string_view faceName) {
  FontSpec spec;
  spec.faceName = std::string(faceName);
  const QFontMetrics metrics(MakeQFont(spec));
  if (metrics.inFontUcs4(U'\u3042') && metrics.inFontUcs4(U'\u30A2')) return true;  // あ, ア
  // A face without kana still shows them when Qt falls back on one that has them.
  return !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
}

void MainWindow::ShowQuestionCheck(CheckWindowContent& content) {
  QuestionCheckWindow window(this, content);
  window.exec();
}

DecodedPicture MainWindow::DecodePicture(std::string_view bytes, int maxSide) {
  return DecodePictureBytes(bytes, maxSide);
}

int MainWindow::DisplayDepth() {
  if (forcedDepth_ > 0) return forcedDepth_;
  return screen() ? screen()->depth() : 24;
}

void MainWindow::UpdatePanelNow() { panel_->repaint(); }

long long MainWindow::CurrentTime() { return static_cast<long long>(std::time(nullptr)); }

long long MainWindow::SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// ---- Printing the practice sheet

bool MainWindow::ChoosePrintOptions(int& size, int& style) {
  if (printOptionsStandIn_) return printOptionsStandIn_(size, style);
  return RunPrintOptionsDialog(this, size, style);
}

std::optional<PrintArea> MainWindow::BeginPrintJob() {
  // One printer for the run: the next print offers what was chosen in this one.
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  bool confirmed = false;
  if (systemPrintStandIn_) {
    confirmed = systemPrintStandIn_(*printer_);
  } else {
    QPrintDialog dialog(printer_.get(), this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);  // a sheet is one page
    confirmed = dialog.exec() == QDialog::Accepted;
  }
  if (!confirmed) return std::nullopt;
  sheetPage_ = std::make_unique<SheetPage>();
  return sheetPage_->Begin(*printer_);
}

void MainWindow::PrintEmptyBox(const SheetBox& box) {
  if (sheetPage_) sheetPage_->EmptyBox(box);
}

bool MainWindow::RenderBoxImage(PackedDib& image, const FontSpec& font, int style,
                                const std::vector<BoxText>& pieces) {
  return DrawBoxImage(image, font, style, pieces);
}

void MainWindow::PrintBoxImage(const SheetBox& box, const PackedDib& image) {
  if (sheetPage_) sheetPage_->CharacterBox(box, image);
}

bool MainWindow::EndPrintJob() {
  const bool printed = sheetPage_ && sheetPage_->End();
  sheetPage_.reset();
  return printed;
}

void MainWindow::ReplacePrintDialogs(std::function<bool(int&, int&)> options,
                                     std::function<bool(QPrinter&)> system) {
  printOptionsStandIn_ = std::move(options);
  systemPrintStandIn_ = std::move(system);
}

// ---- The menu's small dialogs, the help window and the sibling program.

void MainWindow::ShowAboutDialog() {
  AboutDialog dialog(this);
  dialog.exec();
}

bool MainWindow::EditSpeeds(std::string& voiceField, std::string& kakijunField) {
  SpeedDialog dialog(this, FromSjis(voiceField), FromSjis(kakijunField));
  if (dialog.exec() != QDialog::Accepted) return false;
  voiceField = Utf8ToSjis(dialog.voiceSpeed().toStdString());
  kakijunField = Utf8ToSjis(dialog.kakijunSpeed().toStdString());
  return true;
}

bool MainWindow::ChooseFont(FontSpec& font, int& colour) {
  return ChooseFontWithDialog(this, font, colour);
}

WindowRect MainWindow::GetControlRect(int controlId) {
  const QWidget* widget = control(controlId);
  if (!widget) return {};
  const QRect r = widget->geometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void MainWindow::ShowHelp(const std::string& path) {
  if (!help_) help_ = new HelpWindow(this);
  help_->ShowDocument(QFile::decodeName(QByteArray::fromStdString(path)));
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void MainWindow::SetCurrentDirectory(const std::string& dir) {
  QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(dir)));
}

bool MainWindow::StartProgram(const std::string& path) {
  const QString program = QFile::decodeName(QByteArray::fromStdString(ResolveIgnoringCase(path)));
  return QProcess::startDetached(program, {}, QDir::currentPath());
}

void MainWindow::CloseWindow() { close(); }

}  // namespace zel
