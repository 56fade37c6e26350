#pragma once

#include "backup/backupnaming.h"
#include "backup/fbservice.h"
#include "backup/servicestep.h"
#include "shell/dialogs.h"
#include "shell/edition.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class FolderListing;
class GlowButton;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QStackedWidget;
class QTabBar;

/// The tool's one window: a backup tab and a restore tab.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm1(const Edition& edition, QWidget* parent = nullptr);
  ~TForm1() override;

  const Edition& edition() const { return edition_; }

  /// Where the run's clock comes from; tests fix it.
  void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
  /// The regional formats of stamps and log lines.
  void setRegionalFormats(const RegionalFormats& formats) { formats_ = formats; }
  /// The server's status texts of the failed steps of the last run.
  const QStringList& lastRunErrors() const { return lastRunErrors_; }
  /// True when the client library was missing at start-up and the program ends.
  bool closing() const { return closing_; }

  FbBackupService pFIBBackupService1;
  FbRestoreService pFIBRestoreService1;

  // Handlers, named after their component and event.
  void FormCreate();
  void AdvGlowButton1Click();
  void AdvGlowButton3Click();
  void AdvGlowButton5Click();
  void AdvGlowButton6Click();
  void Button1Click();
  void AdvGlowButton4Click();
  void FileListBox1Change();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct FolderDialog {
    FolderDialogStyle style;
    QString lastChosen;
  };

  /// One database of a run: its texts and the work done on the worker thread.
  struct DatabaseStep {
    QString startText;
    QString endText;
    QString failureText;
    bool cursorBeforeAttach = false;
    StepWorker::Body body;
  };

  void buildBackupTab(QWidget* page);
  void buildRestoreTab(QWidget* page);
  bool browse(FolderDialog& dialog, QLineEdit* field);
  void pointListing(const QString& folder);
  void checkFailed(const QString& text);
  /// Runs one database step; false when it failed (its dialog was shown).
  bool runDatabaseStep(QPlainTextEdit* log, const DatabaseStep& step);
  void setBusyCursor(bool busy);
  QString nowText() const;

  Edition edition_;
  std::function<QDateTime()> clock_;
  RegionalFormats formats_;
  QStringList lastRunErrors_;
  bool closing_ = false;
  bool busyCursor_ = false;
  bool centred_ = false;
  std::unique_ptr<FolderListing> FileListBox1;
  FolderDialog FolderDialog1, FolderDialog2, FolderDialog3, FolderDialog4;

 public:
  // Widgets, named as the window's components.
  QWidget* AdvOfficePager1 = nullptr;
  QTabBar* tabBar = nullptr;
  QStackedWidget* pages = nullptr;
  QWidget* AdvOfficePager11 = nullptr;
  QWidget* AdvOfficePager12 = nullptr;
  QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
  GlowButton *AdvGlowButton1 = nullptr, *AdvGlowButton2 = nullptr, *AdvGlowButton3 = nullptr;
  GlowButton *AdvGlowButton4 = nullptr, *AdvGlowButton5 = nullptr, *AdvGlowButton6 = nullptr;
  QPlainTextEdit *mBackup = nullptr, *mRestore = nullptr;
  QListWidget* ListBox1 = nullptr;
};
