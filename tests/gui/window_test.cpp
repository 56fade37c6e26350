#include "shell/errorreporting.h"
#include "shell/errors.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.write("app/libfbclient.so.2");
    installErrorReporting(Edition::basekeep3());
  }
  std::unique_ptr<TForm1> open(const Edition& edition = Edition::basekeep3()) {
    return std::make_unique<TForm1>(edition);
  }

  TempMachine machine;
  ScriptedDialogs dialogs;
};

TEST_F(Window, EditionsDifferInCaptionAndFirstTab) {
  auto one = open(Edition::basekeep());
  EXPECT_EQ(one->windowTitle(), "Работа с базами данных");
  EXPECT_EQ(one->tabBar->currentIndex(), 0);
  auto three = open(Edition::basekeep3());
  EXPECT_EQ(three->windowTitle(), "Работа с базами данных - версия 3");
  EXPECT_EQ(three->tabBar->currentIndex(), 1);
  EXPECT_EQ(three->tabBar->tabText(0), "Резервирование баз данных");
  EXPECT_EQ(three->tabBar->tabText(1), "Восстанавление баз данных");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Window, LayoutMatchesTheForm) {
  auto form = open();
  EXPECT_EQ(form->size(), QSize(497, 499));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  struct Expect {
    const char* name;
    QRect geometry;
  };
  const std::vector<Expect> widgets = {
      {"Edit1", {16, 32, 289, 19}},
      {"AdvGlowButton1", {308, 31, 77, 21}},
      {"Edit2", {16, 88, 289, 19}},
      {"AdvGlowButton3", {308, 87, 77, 21}},
      {"AdvGlowButton2", {16, 129, 233, 24}},
      {"mBackup", {2, 177, 491, 292}},
      {"Edit3", {16, 32, 289, 19}},
      {"AdvGlowButton5", {308, 31, 77, 21}},
      {"ListBox1", {16, 88, 289, 65}},
      {"Edit4", {16, 192, 289, 19}},
      {"AdvGlowButton6", {308, 191, 77, 21}},
      {"AdvGlowButton4", {16, 233, 233, 24}},
      {"mRestore", {2, 281, 491, 188}},
      {"Panel1", {0, 0, 495, 175}},
      {"Panel2", {0, 0, 495, 279}},
      {"Panel3", {415, 0, 80, 175}},
      {"Image1", {0, 8, 76, 75}},
      {"Image2", {0, 8, 76, 75}},
  };
  for (const Expect& w : widgets) {
    SCOPED_TRACE(w.name);
    auto* widget = form->findChild<QWidget*>(w.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), w.geometry);
  }
  EXPECT_EQ(form->findChild<QWidget*>("AdvOfficePager11")->parentWidget()->geometry(), QRect(1, 26, 495, 471));
  EXPECT_EQ(form->findChild<QLabel*>("Label5")->text(), "Доступные даты для восстановления:");
  EXPECT_EQ(form->findChild<QPushButton*>("AdvGlowButton2")->text(), "Начать процедуру резервирования");
  EXPECT_EQ(form->findChild<QPushButton*>("AdvGlowButton4")->text(), "Начать процедуру восстановления");
}

TEST_F(Window, FieldsAreReadOnlyAndLogsAreSkippedByTab) {
  auto form = open();
  for (QLineEdit* edit : {form->Edit1, form->Edit2, form->Edit3, form->Edit4}) {
    EXPECT_TRUE(edit->isReadOnly());
    edit->setText("/keep");
    QTest::keyClicks(edit, "typed");
    EXPECT_EQ(edit->text(), "/keep");
    edit->selectAll();
    EXPECT_EQ(edit->selectedText(), "/keep");
  }
  for (QPlainTextEdit* memo : {form->mBackup, form->mRestore}) {
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_FALSE(memo->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  }
  std::vector<QString> order;
  QWidget* w = form->Edit3;
  for (int i = 0; i < 6; ++i) {
    order.push_back(w->objectName());
    do w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
  }
  EXPECT_EQ(order,
            (std::vector<QString>{"Edit3", "AdvGlowButton5", "Edit4", "AdvGlowButton6", "AdvGlowButton4", "ListBox1"}));
}

TEST_F(Window, StartupFillsFieldsFromSettings) {
  machine.write("app/backup.ini", "[main]\ndb_path=/nowhere/db\nbackup_path=" + machine.path("b").toUtf8() + "\n");
  machine.write("b/CBASE_01022023_101010.FBK");
  machine.write("b/GBASE_01022023_101010.FBK");
  machine.write("opt/Koru/Server/DB/cbase.fdb");
  auto form = open();
  EXPECT_EQ(form->Edit1->text(), "/nowhere/db");
  EXPECT_EQ(form->Edit4->text(), "/nowhere/db");
  EXPECT_EQ(form->Edit2->text(), machine.path("b"));
  EXPECT_EQ(form->Edit3->text(), machine.path("b"));
  ASSERT_EQ(form->ListBox1->count(), 1);
  EXPECT_EQ(form->ListBox1->item(0)->text(), "2023.02.01 10:10:10");
  EXPECT_EQ(form->ListBox1->currentRow(), -1);
  EXPECT_EQ(form->pFIBBackupService1.LibraryName, machine.path("app/libfbclient.so.2"));
  EXPECT_EQ(form->pFIBRestoreService1.LibraryName, machine.path("app/libfbclient.so.2"));
}

TEST_F(Window, StartupDefaultsAndMissingFolders) {
  machine.write("opt/Koru/Server/DB/cbase.fdb");
  auto form = open();
  EXPECT_EQ(form->Edit1->text(), machine.path("opt/Koru/Server/DB"));
  EXPECT_EQ(form->Edit4->text(), machine.path("opt/Koru/Server/DB"));
  EXPECT_EQ(form->Edit2->text(), "");
  EXPECT_EQ(form->ListBox1->count(), 0);

  // A remembered backup folder that is gone: reported, fields still filled.
  machine.write("app/backup.ini", "[main]\nbackup_path=/gone/away\n");
  auto second = open();
  EXPECT_EQ(second->Edit3->text(), "/gone/away");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "Basekeep");
  EXPECT_TRUE(dialogs.shown[0].text.contains("/gone/away"));
}

TEST_F(Window, MissingLibraryClosesAfterTheMessage) {
  QFile::remove(machine.path("app/libfbclient.so.2"));
  machine.root = machine.path("fb/");
  machine.write("fb/lib/libfbclient.so.2");
  machine.write("app/backup.ini", "[main]\ndb_path=/d\n");
  auto three = open(Edition::basekeep3());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "Ошибка");
  EXPECT_EQ(dialogs.shown[0].text, "Библиотека libfbclient.so.2 не найдена. Приложение будет закрыто!");
  EXPECT_TRUE(three->closing());
  EXPECT_EQ(three->Edit1->text(), "/d");
  EXPECT_TRUE(three->pFIBBackupService1.LibraryName.isEmpty());
  QCoreApplication::removePostedEvents(qApp);

  // Basekeep finds it under the Firebird root, which becomes the current directory.
  auto one = open(Edition::basekeep());
  EXPECT_FALSE(one->closing());
  EXPECT_EQ(one->pFIBBackupService1.LibraryName, machine.path("fb//lib/libfbclient.so.2"));
  EXPECT_EQ(machine.directories, std::vector<QString>{machine.path("fb/")});
}

TEST_F(Window, BrowseHandlersSetOnlyTheirField) {
  machine.write("b1/CBASE_01022023_101010.FBK");
  machine.write("b1/GBASE_01022023_101010.FBK");
  auto form = open();
  dialogs.folderAnswers = {QUrl::fromLocalFile(machine.path("x") + "/")};
  QDir().mkpath(machine.path("x"));
  form->AdvGlowButton1->click();
  EXPECT_EQ(form->Edit1->text(), machine.path("x"));
  EXPECT_EQ(form->Edit4->text(), "");
  EXPECT_EQ(dialogs.shown.back().text, machine.path("cwd"));  // first start: the working folder

  form->AdvGlowButton1->click();  // cancel
  EXPECT_EQ(form->Edit1->text(), machine.path("x"));
  EXPECT_EQ(dialogs.shown.back().text, machine.path("x"));  // remembers its own last choice

  dialogs.folderAnswers = {QUrl("trash:/")};  // a virtual folder counts as a cancel
  form->AdvGlowButton6Click();
  EXPECT_EQ(form->Edit4->text(), "");

  dialogs.folderAnswers = {QUrl::fromLocalFile("/")};
  form->AdvGlowButton3Click();
  EXPECT_EQ(form->Edit2->text(), "/");
  EXPECT_TRUE(dialogs.styles.back().newStyle);

  dialogs.folderAnswers = {QUrl::fromLocalFile(machine.path("b1"))};
  form->AdvGlowButton5Click();
  EXPECT_EQ(form->Edit3->text(), machine.path("b1"));
  ASSERT_EQ(form->ListBox1->count(), 1);
  form->ListBox1->setCurrentRow(0);
  form->AdvGlowButton5Click();  // cancelled: list and selection stay
  EXPECT_EQ(form->ListBox1->currentRow(), 0);
  EXPECT_EQ(form->Edit2->text(), "/");
}

TEST_F(Window, UnhandledErrorsAreReportedPerEdition) {
  auto form = open();
  QObject target;
  QObject::connect(form->AdvGlowButton1, &QPushButton::clicked, &target, [] { throw Error("Broken thing"); });
  dialogs.folderAnswers = {};
  QTest::mouseClick(form->AdvGlowButton1, Qt::LeftButton);
  ASSERT_EQ(dialogs.texts("message").size(), 1u);
  EXPECT_EQ(dialogs.shown.back().title, "Basekeep");
  EXPECT_EQ(dialogs.shown.back().text, "Broken thing.");

  QObject::disconnect(form->AdvGlowButton1, &QPushButton::clicked, &target, nullptr);
  QObject::connect(form->AdvGlowButton1, &QPushButton::clicked, &target, [] { throw SilentAbort(); });
  QTest::mouseClick(form->AdvGlowButton1, Qt::LeftButton);
  EXPECT_EQ(dialogs.texts("message").size(), 1u);

  // Basekeep's crash reporter shows the error and writes a report.
  QTemporaryDir reports;
  setCrashReportFolder(reports.path());
  installErrorReporting(Edition::basekeep());
  QObject::disconnect(form->AdvGlowButton1, &QPushButton::clicked, &target, nullptr);
  QObject::connect(form->AdvGlowButton1, &QPushButton::clicked, &target, [] { throw Error("Broken again"); });
  QTest::mouseClick(form->AdvGlowButton1, Qt::LeftButton);
  installErrorReporting(Edition::basekeep3());
  ASSERT_EQ(dialogs.texts("message").size(), 2u);
  EXPECT_TRUE(dialogs.shown.back().text.startsWith("Broken again"));
  const QStringList files = QDir(reports.path()).entryList(QDir::Files);
  ASSERT_EQ(files.size(), 1);
  QFile report(reports.path() + '/' + files[0]);
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  const QByteArray text = report.readAll();
  EXPECT_TRUE(text.contains("Error: Unhandled error: Broken again"));
  EXPECT_TRUE(text.contains("Time: "));
  EXPECT_TRUE(text.contains("#"));  // stack frames
}

TEST(MessageText, AppendsADotAfterLettersOnly) {
  EXPECT_EQ(messageBoxText("Done"), "Done.");
  EXPECT_EQ(messageBoxText("Done."), "Done.");
  EXPECT_EQ(messageBoxText("Done!"), "Done!");
  EXPECT_EQ(messageBoxText("a/"), "a/.");
  EXPECT_EQ(messageBoxText(""), "");
}

}  // namespace
