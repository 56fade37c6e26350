#include "restore/saferestore.h"
#include "serverwindow.h"
#include "shell/errorreporting.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"
#include "testsupport.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

ino_t inode(const QString& path) {
  struct stat info {};
  return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_ino : 0;
}

class Restore : public ::testing::Test {
 protected:
  void SetUp() override {
    form = fb::openWindow(machine);
    db = fb::serverFolder(server, "db");
    bk = fb::serverFolder(server, "bk");
    fb::createDatabase(db + "/CBASE.FDB", 40, "c");
    fb::createDatabase(db + "/GBASE.FDB", 41, "g");
  }

  /// Writes a set with gbak under the naming convention.
  void gbakSet(const QString& stamp) {
    for (const char* name : {"CBASE", "GBASE"})
      ASSERT_EQ(fb::run("gbak", {"-b", "-user", "SYSDBA", "-password", "tinsewort",
                                 QStringLiteral("localhost:%1/%2.FDB").arg(db, name),
                                 QStringLiteral("%1/%2_%3.FBK").arg(bk, name, stamp)}),
                0);
  }

  void restoreSelected(const QString& date) {
    dialogs.folderAnswers = {QUrl::fromLocalFile(bk)};
    form->AdvGlowButton5Click();
    const auto items = form->ListBox1->findItems(date, Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty());
    form->ListBox1->setCurrentItem(items.first());
    form->Edit4->setText(db);
    form->AdvGlowButton4->click();
  }

  TempMachine machine;
  ScriptedDialogs dialogs;
  QTemporaryDir server;
  QString db, bk;
  std::unique_ptr<TForm1> form;
};

TEST_F(Restore, RoundTripBringsBackTheRowsOfTheBackup) {
  form->Edit1->setText(db);
  form->Edit2->setText(bk);
  form->AdvGlowButton2->click();
  ASSERT_EQ(dialogs.shown.back().text, "Резервное копирование успешно завершено.");
  fb::sql(db + "/CBASE.FDB", "DELETE FROM T WHERE ID < 10;");
  fb::sql(db + "/GBASE.FDB", "INSERT INTO T VALUES (1000, 'new');");
  ASSERT_EQ(fb::rows(db + "/CBASE.FDB"), 30);

  dialogs.shown.clear();
  const QString stamp = QDir(bk).entryList({"CBASE_*.FBK"}).first().mid(6, 15);
  restoreSelected(StampToRestoreDate(stamp));
  EXPECT_TRUE(dialogs.texts("error").empty()) << form->lastRunErrors().join("|").toStdString();
  EXPECT_EQ(dialogs.texts("message"), std::vector<QString>{"Восстановление успешно завершено."});
  EXPECT_EQ(fb::rows(db + "/CBASE.FDB"), 40);
  EXPECT_EQ(fb::rows(db + "/GBASE.FDB"), 41);
  EXPECT_EQ(QDir(db).entryList(QDir::Files | QDir::Hidden), (QStringList{"CBASE.FDB", "GBASE.FDB"}));
  QString header;
  fb::run("fbstat", {"-h", "-user", "SYSDBA", "-password", "tinsewort", db + "/CBASE.FDB"}, &header);
  EXPECT_TRUE(header.contains(QRegularExpression("Page size\\s+4096"))) << header.toStdString();
  EXPECT_FALSE(header.contains("shutdown"));

  const QStringList log = form->mRestore->toPlainText().split('\n');
  EXPECT_TRUE(log.first().endsWith("] Начинаем восстановление базы СBASE.FDB."));
  EXPECT_TRUE(log.contains(QRegularExpression("\\[.*\\] Восстановление базы СBASE\\.FDB закончено\\.")));
  EXPECT_TRUE(log.last().endsWith("] Восстановление базы GBASE.FDB закончено."));
  EXPECT_TRUE(form->AdvGlowButton4->isEnabled());
  EXPECT_EQ(form->ListBox1->currentItem()->text(), StampToRestoreDate(stamp));
}

TEST_F(Restore, GbakSetInACyrillicFolder) {
  bk = fb::serverFolder(server, "архив");
  gbakSet("01022023_101010");
  fb::sql(db + "/CBASE.FDB", "DELETE FROM T;");
  restoreSelected("2023.02.01 10:10:10");
  EXPECT_EQ(dialogs.shown.back().text, "Восстановление успешно завершено.");
  EXPECT_EQ(fb::rows(db + "/CBASE.FDB"), 40);
}

// Every failure leaves the original database byte for byte as it was.
TEST_F(Restore, OriginalSurvivesEveryBadBackupFile) {
  gbakSet("01022023_101010");
  const QString good = bk + "/CBASE_01022023_101010.FBK";
  QFile in(good);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  const QByteArray bytes = in.readAll();
  in.close();
  QByteArray corrupt = bytes;
  for (qsizetype i = corrupt.size() / 3; i < corrupt.size() / 3 + 4096 && i < corrupt.size(); ++i) corrupt[i] = 'Z';
  struct Case {
    const char* name;
    QByteArray content;
    bool present;
  };
  const std::vector<Case> cases = {
      {"missing", {}, false},
      {"empty", QByteArray(), true},
      {"random", QByteArray(20000, '\x5a'), true},
      {"corrupt", corrupt, true},
      {"truncated", bytes.left(bytes.size() * 2 / 3), true},
  };
  const QString target = db + "/CBASE.FDB";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QByteArray before = fb::checksum(target);
    QFile::remove(good);
    if (c.present) {
      QFile out(good);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly));
      out.write(c.content);
    }
    dialogs.shown.clear();
    form->ListBox1->clear();
    form->ListBox1->addItem("2023.02.01 10:10:10");
    form->ListBox1->setCurrentRow(0);
    form->Edit3->setText(bk);
    form->Edit4->setText(db);
    form->AdvGlowButton4->click();
    EXPECT_EQ(dialogs.texts("error"), std::vector<QString>{"Ошибка при восстановление базы данных CBASE.FDB"})
        << form->mRestore->toPlainText().toStdString();
    EXPECT_EQ(dialogs.shown.back().text, "Восстановление завершено с ошибками.");
    EXPECT_EQ(fb::checksum(target), before);
    EXPECT_EQ(fb::rows(target), 40);
    EXPECT_EQ(QDir(db).entryList(QDir::Files | QDir::Hidden), (QStringList{"CBASE.FDB", "GBASE.FDB"}));
  }
}

TEST_F(Restore, DatabaseInUseIsNotReplaced) {
  gbakSet("01022023_101010");
  const QString target = db + "/CBASE.FDB";
  const ino_t before = inode(target);
  // Another connection holds the database open while the restore runs.
  QProcess holder;
  holder.start("isql-fb", {"-q", "-user", "SYSDBA", "-password", "tinsewort", "localhost:" + target});
  ASSERT_TRUE(holder.waitForStarted());
  holder.write("SELECT COUNT(*) FROM T;\n");
  QThread::msleep(700);
  restoreSelected("2023.02.01 10:10:10");
  holder.write("QUIT;\n");
  holder.closeWriteChannel();
  holder.waitForFinished();
  EXPECT_EQ(dialogs.texts("error"), std::vector<QString>{"Ошибка при восстановление базы данных CBASE.FDB"});
  EXPECT_EQ(inode(target), before);  // the very file, never replaced
  EXPECT_EQ(fb::rows(target), 40);
  EXPECT_EQ(fb::rows(db + "/GBASE.FDB"), 41);
}

TEST_F(Restore, DestinationTheServerMayNotWrite) {
  gbakSet("01022023_101010");
  const QString closed = QDir::tempPath() + "/basekeep-closed-dest";
  QDir(closed).removeRecursively();
  QDir().mkpath(closed);
  QFile::copy(db + "/CBASE.FDB", closed + "/CBASE.FDB");
  const QByteArray before = fb::checksum(closed + "/CBASE.FDB");
  QFile::setPermissions(closed, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadOther | QFileDevice::ExeOther);
  dialogs.folderAnswers = {QUrl::fromLocalFile(bk)};
  form->AdvGlowButton5Click();
  form->ListBox1->setCurrentRow(0);
  form->Edit4->setText(closed);
  form->AdvGlowButton4->click();
  EXPECT_EQ(dialogs.texts("error").size(), 2u);
  EXPECT_EQ(fb::checksum(closed + "/CBASE.FDB"), before);
  EXPECT_EQ(QDir(closed).entryList(QDir::Files | QDir::Hidden), QStringList{"CBASE.FDB"});
  QDir(closed).removeRecursively();
}

class KillServerOnFirstLine : public StepSink {
 public:
  void attached() override {}
  void started() override {}
  void line(const QString&) override {
    if (killed) return;
    killed = true;
    QProcess::execute("pkill", {"-KILL", "-x", "firebird"});
  }
  void finished() override {}
  bool killed = false;
};

TEST_F(Restore, ServerKilledInTheMiddle) {
  gbakSet("01022023_101010");
  const QString target = db + "/CBASE.FDB";
  const QByteArray before = fb::checksum(target);
  FbRestoreService service;
  service.LibraryName = FBCLIENT_PATH;
  service.Params = QStringList{"user_name=SYSDBA", "password=tinsewort"};
  service.Verbose = true;
  service.PageSize = 4096;
  service.Options = isc_spb_res_create;
  KillServerOnFirstLine sink;
  EXPECT_THROW(SafeRestore(service).run(bk + "/CBASE_01022023_101010.FBK", target, sink), Error);
  EXPECT_TRUE(sink.killed);
  EXPECT_EQ(fb::checksum(target), before);
  // The guard restarts the server; the original opens as before.
  int found = -1;
  for (int i = 0; i < 50 && found < 0; ++i) {
    QThread::msleep(200);
    found = fb::rows(target);
  }
  EXPECT_EQ(found, 40);
  EXPECT_FALSE(QFile::exists(SafeRestore::newFileName(target)));
}

}  // namespace
