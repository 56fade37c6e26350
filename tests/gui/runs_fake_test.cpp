#include "shell/errorreporting.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"
#include "shell/settings.h"
#include "testsupport.h"

#include <QLibrary>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Runs against the stand-in client library, scripted per test.
class FakeRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    installErrorReporting(Edition::basekeep3());
    ASSERT_TRUE(fake.load()) << fake.errorString().toStdString();
    script = reinterpret_cast<void (*)(const char*)>(fake.resolve("fake_script"));
    starts = reinterpret_cast<const char* (*)()>(fake.resolve("fake_starts"));
    attached = reinterpret_cast<int (*)()>(fake.resolve("fake_attached"));
    machine.write("app/libfbclient.so.2");
    form = std::make_unique<TForm1>(Edition::basekeep3());
    form->pFIBBackupService1.LibraryName = FAKE_FBCLIENT;
    form->pFIBRestoreService1.LibraryName = FAKE_FBCLIENT;
    form->setClock([] { return QDateTime(QDate(2015, 6, 19), QTime(21, 5, 7)); });
    form->setRegionalFormats(RegionalFormats{});
    machine.write("db/CBASE.FDB");
    machine.write("db/GBASE.FDB");
    form->Edit1->setText(machine.path("db"));
    form->Edit2->setText(machine.path("bk"));
  }

  QStringList backupLog() const { return form->mBackup->toPlainText().split('\n'); }

  TempMachine machine;
  ScriptedDialogs dialogs;
  QLibrary fake{FAKE_FBCLIENT};
  void (*script)(const char*) = nullptr;
  const char* (*starts)() = nullptr;
  int (*attached)() = nullptr;
  std::unique_ptr<TForm1> form;
};

TEST_F(FakeRuns, BackupChecksStopBeforeAnythingIsWritten) {
  form->mBackup->setPlainText("previous");
  struct Case {
    QString edit1, edit2, message;
  };
  const QString db = machine.path("db");
  machine.write("half/CBASE.FDB");
  QDir().mkpath(machine.path("folders/CBASE.FDB"));
  const std::vector<Case> cases = {
      {"", "", "Укажите путь к файлам баз данных."},
      {db, "", "Укажите путь для размещения резервных копий."},
      {machine.path("folders"), "/b",
       "Файл базы данных CBASE.FDB не найден.\rУкажите правильный путь к файлам баз данных."},
      {machine.path("half"), "/b",
       "Файл базы данных GBASE.FDB не найден.\rУкажите правильный путь к файлам баз данных."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    dialogs.shown.clear();
    form->Edit1->setText(c.edit1);
    form->Edit2->setText(c.edit2);
    form->AdvGlowButton2->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Ошибка");
    EXPECT_EQ(dialogs.shown[0].text, c.message);
    EXPECT_TRUE(form->AdvGlowButton2->isEnabled());
  }
  EXPECT_EQ(form->mBackup->toPlainText(), "previous");
  EXPECT_FALSE(QFile::exists(machine.path("app/backup.ini")));
}

TEST_F(FakeRuns, ErrorInTheMiddleKeepsLinesAndGoesOn) {
  script("line gbak: one \nline gbak: two \nquery-error 335544344 I/O error during read\n---\nline gbak: g \n");
  form->AdvGlowButton2->click();
  const QStringList log = backupLog();
  ASSERT_EQ(log.size(), 8) << form->mBackup->toPlainText().toStdString();
  EXPECT_TRUE(log[0].endsWith("] Начинаем копирование базы CBASE.FDB."));
  EXPECT_EQ(log[1], "gbak: one ");
  EXPECT_EQ(log[2], "gbak: two ");
  EXPECT_EQ(log[3], "");
  EXPECT_TRUE(log[4].endsWith("] Начинаем копирование базы GBASE.FDB."));
  EXPECT_EQ(log[5], "gbak: g ");
  EXPECT_EQ(log[6], "");
  EXPECT_TRUE(log[7].endsWith("] Резервное копирование базы GBASE.FDB закончено."));
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].kind, "error");
  EXPECT_EQ(dialogs.shown[0].text, "Ошибка при резервном копировании базы данных CBASE.FDB");
  EXPECT_EQ(dialogs.shown[1].title, "Выполнено");
  EXPECT_EQ(dialogs.shown[1].text, "Резервное копирование завершено с ошибками.");
  EXPECT_EQ(form->lastRunErrors(), QStringList{"I/O error during read"});
  EXPECT_EQ(attached(), 0);
  EXPECT_TRUE(form->AdvGlowButton2->isEnabled());
}

TEST_F(FakeRuns, UnexpectedReplyFailsTheStepAndDetaches) {
  script("line ok \nraw 3e0900abc01\n---\nline fine \n");
  form->AdvGlowButton2->click();
  ASSERT_EQ(dialogs.texts("error").size(), 1u);
  EXPECT_TRUE(form->lastRunErrors().value(0).contains("unexpected form"));
  EXPECT_EQ(attached(), 0);
  EXPECT_TRUE(form->mBackup->toPlainText().contains("Резервное копирование базы GBASE.FDB закончено."));
}

TEST_F(FakeRuns, UnreachableServerGivesTwoDialogsAndOneEmptyLine) {
  script("attach-error 335544721 Unable to complete network request\n---\nattach-error 335544721 x\n");
  form->AdvGlowButton2->click();
  EXPECT_EQ(form->mBackup->toPlainText(), "");
  EXPECT_EQ(form->mBackup->document()->blockCount(), 1);
  EXPECT_EQ(dialogs.texts("error"), (std::vector<QString>{"Ошибка при резервном копировании базы данных CBASE.FDB",
                                                          "Ошибка при резервном копировании базы данных GBASE.FDB"}));
  EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Error);
  EXPECT_EQ(ReadSetting("main", "db_path", ""), machine.path("db"));
  EXPECT_EQ(ReadSetting("main", "backup_path", ""), machine.path("bk"));
}

TEST_F(FakeRuns, BackupRequestIsExact) {
  script("---\n");
  form->AdvGlowButton2->click();
  const QStringList requests = QString::fromLatin1(starts()).split(';');
  ASSERT_EQ(requests.size(), 2);
  const QByteArray db = (machine.path("db") + "/CBASE.FDB").toUtf8();
  const QByteArray file = (machine.path("bk") + "/CBASE_19062015_210507.FBK").toUtf8();
  QByteArray expected;
  expected += char(isc_action_svc_backup);
  expected += char(isc_spb_dbname) + QByteArray(1, char(db.size() & 0xff)) + QByteArray(1, char(db.size() >> 8)) + db;
  expected += QByteArray("\x6c\x00\x00\x00\x00", 5);
  expected += char(isc_spb_verbose);
  expected +=
      char(isc_spb_bkp_file) + QByteArray(1, char(file.size() & 0xff)) + QByteArray(1, char(file.size() >> 8)) + file;
  EXPECT_EQ(requests[0].toLatin1(), expected.toHex());
  EXPECT_EQ(dialogs.shown.back().text, "Резервное копирование успешно завершено.");
  EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Information);
}

TEST_F(FakeRuns, UnwritableSettingsAreReportedAndTheButtonComesBack) {
  environment().executablePath = machine.path("missing/Basekeep");
  QTest::mouseClick(form->AdvGlowButton2, Qt::LeftButton);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "Basekeep");
  EXPECT_TRUE(dialogs.shown[0].text.startsWith("Unable to write to " + machine.path("missing//backup.ini")));
  EXPECT_TRUE(form->AdvGlowButton2->isEnabled());
}

TEST_F(FakeRuns, RestoreChecksInOrder) {
  struct Case {
    QString edit3, edit4;
    QStringList dates;
    int selected;
    QString message;
  };
  const std::vector<Case> cases = {
      {"", "", {}, -1, "Укажите путь к резервным копиям."},
      {"/b", "", {}, -1, "Укажите путь для восстановления баз данных."},
      {"/b", "/d", {}, -1, "Резервные копии баз данных по указанному пути не найдены."},
      {"/b", "/d", {"2023.02.01 10:10:10"}, -1, "Укажите дату для восстановления."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    dialogs.shown.clear();
    form->Edit3->setText(c.edit3);
    form->Edit4->setText(c.edit4);
    form->ListBox1->clear();
    form->ListBox1->addItems(c.dates);
    form->ListBox1->setCurrentRow(c.selected);
    form->AdvGlowButton4->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Ошибка");
    EXPECT_EQ(dialogs.shown[0].text, c.message);
    EXPECT_TRUE(form->AdvGlowButton4->isEnabled());
  }
  EXPECT_FALSE(QFile::exists(machine.path("app/backup.ini")));
}

}  // namespace
