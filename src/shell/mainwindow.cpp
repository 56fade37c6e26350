#include "shell/mainwindow.h"

#include "backup/servicestep.h"
#include "restore/catalogue.h"
#include "shell/environment.h"
#include "shell/errorreporting.h"
#include "shell/glowbutton.h"
#include "shell/settings.h"
#include "shell/sqlcursor.h"
#include "shell/startup.h"

#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>

namespace {

const QColor pageColour(243, 245, 249);

QFont windowFont() {
  // Tahoma where the system has it; otherwise the closest sans font.
  QFont font(QStringLiteral("Tahoma"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

QWidget* panel(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* widget = new QWidget(parent);
  widget->setObjectName(name);
  widget->setGeometry(geometry);
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, pageColour);
  widget->setPalette(palette);
  return widget;
}

template <typename W, typename... Args>
W* control(QWidget* parent, const QString& name, const QRect& geometry, Args&&... args) {
  auto* widget = new W(std::forward<Args>(args)..., parent);
  widget->setObjectName(name);
  widget->setGeometry(geometry);
  return widget;
}

QLabel* label(QWidget* parent, const QString& name, QPoint at, const QString& text) {
  auto* widget = new QLabel(text, parent);
  widget->setObjectName(name);
  widget->move(at);
  widget->adjustSize();
  return widget;
}

QLineEdit* folderField(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* edit = control<QLineEdit>(parent, name, geometry);
  edit->setReadOnly(true);
  edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid rgb(171, 183, 200); background: white; }"));
  return edit;
}

QPlainTextEdit* logMemo(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* memo = control<QPlainTextEdit>(parent, name, geometry);
  memo->setReadOnly(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo->setFocusPolicy(Qt::ClickFocus);  // skipped by Tab
  memo->setUndoRedoEnabled(false);
  return memo;
}

QLabel* picture(QWidget* parent, const QString& name, const QString& resource) {
  auto* image = control<QLabel>(parent, name, QRect(0, 8, 76, 75));
  image->setPixmap(QIcon(resource).pixmap(QSize(76, 75)));
  return image;
}

/// Swallows the operator's input to one window while a run works, so that
/// the window keeps painting but cannot be used or closed.
class InputBlocker : public QObject {
 public:
  explicit InputBlocker(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  ~InputBlocker() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != window_ && !window_->isAncestorOf(widget))) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
        return true;
      case QEvent::Close:
        event->ignore();
        return true;
      default:
        return false;
    }
  }

 private:
  QWidget* window_;
};

}  // namespace

TForm1::TForm1(const Edition& edition, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      edition_(edition),
      clock_([] { return QDateTime::currentDateTime(); }),
      formats_(RegionalFormats::fromSystem()),
      FileListBox1(std::make_unique<FolderListing>(environment().currentDirectory())) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(edition.caption);
  setWindowIcon(QIcon(QStringLiteral(":/icons/basekeep.svg")));
  setFont(windowFont());
  setFixedSize(497, 499);
  setAutoFillBackground(true);

  FolderDialog1 = {{false, true}, environment().currentDirectory()};
  FolderDialog2 = {{true, true}, FolderDialog1.lastChosen};
  FolderDialog3 = {{false, false}, FolderDialog1.lastChosen};
  FolderDialog4 = {{false, false}, FolderDialog1.lastChosen};

  AdvOfficePager1 = control<QWidget>(this, QStringLiteral("AdvOfficePager1"), QRect(0, 0, 497, 499));
  AdvOfficePager1->setAutoFillBackground(true);
  QPalette strip = AdvOfficePager1->palette();
  strip.setColor(QPalette::Window, QColor(226, 235, 250));
  AdvOfficePager1->setPalette(strip);
  tabBar = control<QTabBar>(AdvOfficePager1, QStringLiteral("AdvOfficePager1Tabs"), QRect(1, 2, 495, 24));
  tabBar->setMovable(false);
  tabBar->setDrawBase(false);
  tabBar->setExpanding(false);
  tabBar->setFocusPolicy(Qt::NoFocus);
  tabBar->setStyleSheet(QStringLiteral(
      "QTabBar::tab { color: rgb(76, 83, 92); background: rgb(226, 235, 250); border: 1px solid rgb(190, 203, 224);"
      " border-bottom: none; padding: 4px 10px; margin-right: 2px; }"
      "QTabBar::tab:selected { background: rgb(243, 245, 249); }"
      "QTabBar::tab:hover:!selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
      " stop:0 rgb(255, 246, 204), stop:1 rgb(255, 221, 120)); }"));
  pages = control<QStackedWidget>(AdvOfficePager1, QStringLiteral("AdvOfficePager1Pages"), QRect(1, 26, 495, 471));

  AdvOfficePager11 = panel(nullptr, QStringLiteral("AdvOfficePager11"), QRect(0, 0, 495, 471));
  AdvOfficePager12 = panel(nullptr, QStringLiteral("AdvOfficePager12"), QRect(0, 0, 495, 471));
  pages->addWidget(AdvOfficePager11);
  pages->addWidget(AdvOfficePager12);
  tabBar->addTab(QStringLiteral("Резервирование баз данных"));
  tabBar->addTab(QStringLiteral("Восстанавление баз данных"));
  connect(tabBar, &QTabBar::currentChanged, pages, &QStackedWidget::setCurrentIndex);
  buildBackupTab(AdvOfficePager11);
  buildRestoreTab(AdvOfficePager12);
  tabBar->setCurrentIndex(edition.firstTab);
  pages->setCurrentIndex(edition.firstTab);

  QWidget::setTabOrder(Edit1, AdvGlowButton1);
  QWidget::setTabOrder(AdvGlowButton1, Edit2);
  QWidget::setTabOrder(Edit2, AdvGlowButton3);
  QWidget::setTabOrder(AdvGlowButton3, AdvGlowButton2);
  QWidget::setTabOrder(Edit3, AdvGlowButton5);
  QWidget::setTabOrder(AdvGlowButton5, Edit4);
  QWidget::setTabOrder(Edit4, AdvGlowButton6);
  QWidget::setTabOrder(AdvGlowButton6, AdvGlowButton4);
  QWidget::setTabOrder(AdvGlowButton4, ListBox1);

  try {
    FormCreate();
  } catch (...) {
    reportUnhandledError(std::current_exception());
  }
}

TForm1::~TForm1() = default;

void TForm1::buildBackupTab(QWidget* page) {
  QWidget* Panel1 = panel(page, QStringLiteral("Panel1"), QRect(0, 0, 495, 175));
  QWidget* Panel3 = panel(Panel1, QStringLiteral("Panel3"), QRect(415, 0, 80, 175));
  picture(Panel3, QStringLiteral("Image1"), QStringLiteral(":/pictures/backup.svg"));
  label(Panel1, QStringLiteral("Label1"), {16, 16}, QStringLiteral("Укажите путь к файлам баз данных:"));
  Edit1 = folderField(Panel1, QStringLiteral("Edit1"), QRect(16, 32, 289, 19));
  AdvGlowButton1 =
      control<GlowButton>(Panel1, QStringLiteral("AdvGlowButton1"), QRect(308, 31, 77, 21), QStringLiteral("Обзор..."));
  label(Panel1, QStringLiteral("Label2"), {16, 72}, QStringLiteral("Укажите путь для размещения резервных копий:"));
  Edit2 = folderField(Panel1, QStringLiteral("Edit2"), QRect(16, 88, 289, 19));
  AdvGlowButton3 =
      control<GlowButton>(Panel1, QStringLiteral("AdvGlowButton3"), QRect(308, 87, 77, 21), QStringLiteral("Обзор..."));
  AdvGlowButton2 = control<GlowButton>(Panel1, QStringLiteral("AdvGlowButton2"), QRect(16, 129, 233, 24),
                                       QStringLiteral("Начать процедуру резервирования"));
  AdvGlowButton2->setPicture(QIcon(QStringLiteral(":/pictures/button-backup.svg")).pixmap(QSize(20, 16)));
  mBackup = logMemo(page, QStringLiteral("mBackup"), QRect(2, 177, 491, 292));

  connect(AdvGlowButton1, &QPushButton::clicked, this, &TForm1::AdvGlowButton1Click);
  connect(AdvGlowButton3, &QPushButton::clicked, this, &TForm1::AdvGlowButton3Click);
  connect(AdvGlowButton2, &QPushButton::clicked, this, &TForm1::Button1Click);
}

void TForm1::buildRestoreTab(QWidget* page) {
  QWidget* Panel2 = panel(page, QStringLiteral("Panel2"), QRect(0, 0, 495, 279));
  QWidget* Panel4 = panel(Panel2, QStringLiteral("Panel4"), QRect(415, 0, 80, 279));
  picture(Panel4, QStringLiteral("Image2"), QStringLiteral(":/pictures/restore.svg"));
  label(Panel2, QStringLiteral("Label3"), {16, 16}, QStringLiteral("Укажите путь к резервным копиям:"));
  Edit3 = folderField(Panel2, QStringLiteral("Edit3"), QRect(16, 32, 289, 19));
  AdvGlowButton5 =
      control<GlowButton>(Panel2, QStringLiteral("AdvGlowButton5"), QRect(308, 31, 77, 21), QStringLiteral("Обзор..."));
  label(Panel2, QStringLiteral("Label5"), {16, 72}, QStringLiteral("Доступные даты для восстановления:"));
  ListBox1 = control<QListWidget>(Panel2, QStringLiteral("ListBox1"), QRect(16, 88, 289, 65));
  ListBox1->setUniformItemSizes(true);
  ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; padding: 0px; }"));
  label(Panel2, QStringLiteral("Label4"), {16, 176}, QStringLiteral("Укажите путь для восстановления баз данных:"));
  Edit4 = folderField(Panel2, QStringLiteral("Edit4"), QRect(16, 192, 289, 19));
  AdvGlowButton6 = control<GlowButton>(Panel2, QStringLiteral("AdvGlowButton6"), QRect(308, 191, 77, 21),
                                       QStringLiteral("Обзор..."));
  AdvGlowButton4 = control<GlowButton>(Panel2, QStringLiteral("AdvGlowButton4"), QRect(16, 233, 233, 24),
                                       QStringLiteral("Начать процедуру восстановления"));
  AdvGlowButton4->setPicture(QIcon(QStringLiteral(":/pictures/button-restore.svg")).pixmap(QSize(20, 16)));
  mRestore = logMemo(page, QStringLiteral("mRestore"), QRect(2, 281, 491, 188));

  connect(AdvGlowButton5, &QPushButton::clicked, this, &TForm1::AdvGlowButton5Click);
  connect(AdvGlowButton6, &QPushButton::clicked, this, &TForm1::AdvGlowButton6Click);
  connect(AdvGlowButton4, &QPushButton::clicked, this, &TForm1::AdvGlowButton4Click);
}

void TForm1::FormCreate() {
  QString root;
  if (edition_.searchFirebirdRoot) root = GetFirebirdRoot();
  const LibraryLookup library = locateClientLibrary(edition_, root);
  if (library.found()) {
    pFIBBackupService1.LibraryName = library.path;
    pFIBRestoreService1.LibraryName = library.path;
  } else {
    dialogs().messageBox(nullptr, QStringLiteral("Ошибка"), missingLibraryMessage(), MessageIcon::Error);
    // Like a posted quit: start-up goes on, the window is shown, and the
    // event loop ends as soon as it starts.
    closing_ = true;
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  }
  Edit1->setText(ReadSetting(QStringLiteral("main"), QStringLiteral("db_path"), QString()));
  if (Edit1->text().isEmpty()) Edit1->setText(defaultDatabaseFolder());
  Edit4->setText(Edit1->text());
  Edit2->setText(ReadSetting(QStringLiteral("main"), QStringLiteral("backup_path"), QString()));
  Edit3->setText(Edit2->text());
  if (!Edit3->text().isEmpty()) {
    pointListing(Edit3->text());
    FileListBox1Change();
  }
}

void TForm1::pointListing(const QString& folder) {
  FileListBox1->setFolder(folder, [this] { FileListBox1Change(); });
}

void TForm1::FileListBox1Change() {
  const QStringList dates = catalogueDates(FileListBox1->names());
  ListBox1->setUpdatesEnabled(false);
  ListBox1->clear();
  ListBox1->addItems(dates);
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();
  ListBox1->setUpdatesEnabled(true);
}

bool TForm1::browse(FolderDialog& dialog, QLineEdit* field) {
  QString start = dialog.lastChosen;
  if (!QFileInfo(start).isDir()) start = environment().currentDirectory();
  const QUrl chosen = dialogs().chooseFolder(this, dialog.style, start);
  // An item without a file-system path counts as a cancel.
  if (chosen.isEmpty() || !chosen.isLocalFile()) return false;
  QString path = QDir::cleanPath(chosen.toLocalFile());
  if (path.isEmpty()) return false;
  path = QDir::toNativeSeparators(path);
  dialog.lastChosen = path;
  field->setText(path);
  return true;
}

void TForm1::AdvGlowButton1Click() { browse(FolderDialog1, Edit1); }

void TForm1::AdvGlowButton3Click() { browse(FolderDialog2, Edit2); }

void TForm1::AdvGlowButton5Click() {
  if (browse(FolderDialog4, Edit3)) pointListing(Edit3->text());
}

void TForm1::AdvGlowButton6Click() { browse(FolderDialog3, Edit4); }

void TForm1::checkFailed(const QString& text) {
  dialogs().messageBox(this, QStringLiteral("Ошибка"), text, MessageIcon::Error);
}

void TForm1::setBusyCursor(bool busy) {
  if (busy == busyCursor_) return;
  busyCursor_ = busy;
  if (busy)
    QGuiApplication::setOverrideCursor(sqlWaitCursor());
  else
    QGuiApplication::restoreOverrideCursor();
}

QString TForm1::nowText() const { return timeText(formats_, clock_().time()); }

bool TForm1::runDatabaseStep(QPlainTextEdit* log, const DatabaseStep& step) {
  if (step.cursorBeforeAttach) setBusyCursor(true);
  InputBlocker blocker(this);
  QEventLoop loop;
  QTimer timer;
  bool done = false;
  bool failed = false;
  QString failure;
  std::vector<StepEvent> events;
  QStringList batch;
  StepWorker* workerPointer = nullptr;
  const auto tick = [&] {
    if (done || workerPointer == nullptr) return;
    events.clear();
    const bool ended = workerPointer->take(events);
    for (const StepEvent& event : events) {
      switch (event.kind) {
        case StepEvent::Kind::Attached:
          setBusyCursor(true);
          break;
        case StepEvent::Kind::Started:
          batch.append('[' + timeText(formats_, event.time) + step.startText);
          break;
        case StepEvent::Kind::Line:
          batch.append(event.text);
          break;
        case StepEvent::Kind::Finished:
          batch.append('[' + timeText(formats_, event.time) + step.endText);
          break;
        case StepEvent::Kind::Failed:
          failed = true;
          failure = event.text;
          break;
      }
    }
    // One append per batch: a widget call per line would cost far more
    // than reading the line did.
    if (!batch.isEmpty()) {
      log->appendPlainText(batch.join('\n'));
      batch.clear();
    }
    if (ended) {
      done = true;
      loop.quit();
    }
  };
  connect(&timer, &QTimer::timeout, &loop, tick);
  StepWorker worker([&loop, tick] { QMetaObject::invokeMethod(&loop, tick, Qt::QueuedConnection); });
  workerPointer = &worker;
  worker.start(step.body);
  // Ten times a second still reads as live, and leaves the server's own
  // work more of the machine than a faster beat did.
  timer.start(100);
  if (!done) loop.exec();
  worker.wait();
  timer.stop();
  if (!failed) {
    setBusyCursor(false);
    return true;
  }
  lastRunErrors_.append(failure);
  dialogs().errorDialog(this, step.failureText);
  setBusyCursor(false);
  return false;
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) formats_ = RegionalFormats::fromSystem();
  QWidget::changeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
  if (!centred_) {
    centred_ = true;
    if (const QScreen* screen = this->screen())
      move(screen->availableGeometry().center() - frameGeometry().center() + pos());
  }
  QWidget::showEvent(event);
}
