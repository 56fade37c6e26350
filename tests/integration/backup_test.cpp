#include "backup/fbservice.h"
#include "serverwindow.h"
#include "shell/errorreporting.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"
#include "shell/settings.h"
#include "testsupport.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

// The tool's backup run against the real local server, through the window.
class Backup : public ::testing::Test {
 protected:
  void SetUp() override { form = fb::openWindow(machine); }

  /// Makes the database pair in folder (relative to the server's folder).
  QString databases(const QString& relative, int rows = 50) {
    const QString folder = fb::serverFolder(server, relative);
    fb::createDatabase(folder + "/CBASE.FDB", rows, "c");
    fb::createDatabase(folder + "/GBASE.FDB", rows + 1, "g");
    return folder;
  }

  void backUp(const QString& dbFolder, const QString& backupFolder) {
    form->Edit1->setText(dbFolder);
    form->Edit2->setText(backupFolder);
    form->AdvGlowButton2->click();
  }

  TempMachine machine;
  ScriptedDialogs dialogs;
  QTemporaryDir server;
  std::unique_ptr<TForm1> form;
};

TEST_F(Backup, WritesOneSetThatGbakRestores) {
  const QString db = databases("db");
  const QString bk = fb::serverFolder(server, "bk");
  backUp(db, bk);
  ASSERT_EQ(dialogs.shown.size(), 1u) << dialogs.shown[0].text.toStdString();
  EXPECT_EQ(dialogs.shown[0].text, "Резервное копирование успешно завершено.");
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Information);
  EXPECT_TRUE(form->AdvGlowButton2->isEnabled());

  const QStringList log = form->mBackup->toPlainText().split('\n');
  const qsizetype gap = log.indexOf(QString());
  ASSERT_GT(gap, 2);
  EXPECT_TRUE(log.first().startsWith('['));
  EXPECT_TRUE(log.first().endsWith("] Начинаем копирование базы CBASE.FDB."));
  EXPECT_TRUE(log[1].startsWith("gbak:"));
  EXPECT_TRUE(log[gap + 1].endsWith("] Резервное копирование базы CBASE.FDB закончено."));
  EXPECT_EQ(log[gap + 2], "");
  EXPECT_TRUE(log[gap + 3].endsWith("] Начинаем копирование базы GBASE.FDB."));
  EXPECT_EQ(log[log.size() - 2], "");
  EXPECT_TRUE(log.last().endsWith("] Резервное копирование базы GBASE.FDB закончено."));

  const QStringList files = QDir(bk).entryList({"*.FBK"}, QDir::Files, QDir::Name);
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0].mid(6), files[1].mid(6));
  EXPECT_TRUE(files[0].startsWith("CBASE_") && files[1].startsWith("GBASE_"));
  const QString copy = fb::serverFolder(server, "copy") + "/C.FDB";
  EXPECT_EQ(
      fb::run("gbak", {"-c", "-user", "SYSDBA", "-password", "tinsewort", bk + '/' + files[0], "localhost:" + copy}),
      0);
  EXPECT_EQ(fb::rows(copy), 50);
  EXPECT_EQ(ReadSetting("main", "db_path", ""), db);
  EXPECT_EQ(ReadSetting("main", "backup_path", ""), bk);
}

TEST_F(Backup, CyrillicFolders) {
  const QString db = databases("базы данных", 5);
  const QString bk = fb::serverFolder(server, "копии");
  backUp(db, bk);
  EXPECT_EQ(dialogs.shown.back().text, "Резервное копирование успешно завершено.");
  EXPECT_EQ(QDir(bk).entryList({"*.FBK"}, QDir::Files).size(), 2);
}

TEST_F(Backup, EachDatabaseFailsOnItsOwn) {
  const QString db = databases("db", 5);
  QFile garbage(db + "/GBASE.FDB");
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
  garbage.write(QByteArray(8192, 'x'));
  garbage.close();
  const QString bk = fb::serverFolder(server, "bk");
  backUp(db, bk);
  EXPECT_EQ(dialogs.texts("error"), std::vector<QString>{"Ошибка при резервном копировании базы данных GBASE.FDB"});
  EXPECT_EQ(dialogs.shown.back().text, "Резервное копирование завершено с ошибками.");
  EXPECT_TRUE(form->mBackup->toPlainText().contains("Резервное копирование базы CBASE.FDB закончено."));
  EXPECT_EQ(form->lastRunErrors().size(), 1);

  // A backup folder that is missing, or that the server may not write.
  for (const QString& folder : {server.path() + "/missing", QDir::tempPath() + "/basekeep-root-only"}) {
    SCOPED_TRACE(folder.toStdString());
    QDir().mkpath(QDir::tempPath() + "/basekeep-root-only");
    QFile::setPermissions(QDir::tempPath() + "/basekeep-root-only",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    dialogs.shown.clear();
    backUp(db, folder);
    EXPECT_EQ(dialogs.texts("error").size(), 2u);
    EXPECT_TRUE(form->lastRunErrors().value(0).contains("cannot open backup file"))
        << form->lastRunErrors().join("|").toStdString();
    EXPECT_TRUE(form->AdvGlowButton2->isEnabled());
  }
}

TEST(Service, WrongPasswordCarriesTheServerText) {
  FbBackupService service;
  service.LibraryName = FBCLIENT_PATH;
  service.Params = QStringList{"user_name=SYSDBA", "password=wrong"};
  try {
    service.setActive(true);
    FAIL() << "attached";
  } catch (const FbError& error) {
    EXPECT_EQ(error.code(), 335544472);
    EXPECT_TRUE(error.message().contains("user name and password are not defined"));
  }
  EXPECT_FALSE(service.Active());
}

}  // namespace
