#include "backup/backupnaming.h"
#include "backup/servicestep.h"
#include "shell/environment.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"
#include "shell/settings.h"
#include "shell/startup.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString password = QStringLiteral("tinsewort");

}  // namespace

void TForm1::Button1Click() {
  bool errors = false;
  lastRunErrors_.clear();
  AdvGlowButton2->setEnabled(false);
  const QString databases = Edit1->text();
  const QString backups = Edit2->text();
  const QString sep = separator();
  const auto check = [&](bool failed, const QString& text) {
    if (!failed) return false;
    checkFailed(text);
    AdvGlowButton2->setEnabled(true);
    return true;
  };
  if (check(databases.isEmpty(), QStringLiteral("Укажите путь к файлам баз данных.")) ||
      check(backups.isEmpty(), QStringLiteral("Укажите путь для размещения резервных копий.")) ||
      check(!fileExists(databases + sep + cbaseName),
            QStringLiteral("Файл базы данных CBASE.FDB не найден.\rУкажите правильный путь к файлам баз данных.")) ||
      check(!fileExists(databases + sep + gbaseName),
            QStringLiteral("Файл базы данных GBASE.FDB не найден.\rУкажите правильный путь к файлам баз данных.")))
    return;
  try {
    WriteSetting(QStringLiteral("main"), QStringLiteral("db_path"), databases);
    WriteSetting(QStringLiteral("main"), QStringLiteral("backup_path"), backups);
  } catch (...) {
    // The error is still reported, but the tool stays usable.
    AdvGlowButton2->setEnabled(true);
    throw;
  }
  mBackup->clear();
  const QString stamp = MakeBackupStamp(formats_, clock_());

  FbBackupService& service = pFIBBackupService1;
  for (const QString& database : {cbaseName, gbaseName}) {
    service.DatabaseName = databases + sep + database;
    service.BackupFile = QStringList{BackupFileName(backups, database, stamp)};
    service.Verbose = true;
    service.LoginPrompt = false;
    service.Params = QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + password,
                                 QStringLiteral("sql_role_name=")};
    DatabaseStep step;
    step.startText = QStringLiteral("] Начинаем копирование базы %1.").arg(database);
    step.endText = QStringLiteral("] Резервное копирование базы %1 закончено.").arg(database);
    step.failureText = QStringLiteral("Ошибка при резервном копировании базы данных %1").arg(database);
    step.body = [&service](StepSink& sink) {
      try {
        service.setActive(true);
        sink.attached();
        service.ServiceStart();
        sink.started();
        while (!service.OutputFinished()) sink.line(service.NextOutputLine());
        sink.finished();
        service.setActive(false);
      } catch (...) {
        // Every step begins detached, whatever ended the last one.
        service.detachQuietly();
        throw;
      }
    };
    if (!runDatabaseStep(mBackup, step)) errors = true;
    if (database == cbaseName) mBackup->appendPlainText(QString());
  }
  if (errors)
    dialogs().messageBox(this, QStringLiteral("Выполнено"),
                         QStringLiteral("Резервное копирование завершено с ошибками."), MessageIcon::Error);
  else
    dialogs().messageBox(this, QStringLiteral("Выполнено"), QStringLiteral("Резервное копирование успешно завершено."),
                         MessageIcon::Information);
  AdvGlowButton2->setEnabled(true);
}
