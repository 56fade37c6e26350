#include "backup/backupnaming.h"
#include "restore/saferestore.h"
#include "shell/environment.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"
#include "shell/settings.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

void TForm1::AdvGlowButton4Click() {
  const QString backups = Edit3->text();
  const QString destination = Edit4->text();
  if (backups.isEmpty()) return checkFailed(QStringLiteral("Укажите путь к резервным копиям."));
  if (destination.isEmpty()) return checkFailed(QStringLiteral("Укажите путь для восстановления баз данных."));
  if (ListBox1->count() == 0)
    return checkFailed(QStringLiteral("Резервные копии баз данных по указанному пути не найдены."));
  if (ListBox1->currentRow() < 0 || ListBox1->selectedItems().isEmpty())
    return checkFailed(QStringLiteral("Укажите дату для восстановления."));
  bool errors = false;
  lastRunErrors_.clear();
  const QString stamp = RestoreDateToStamp(ListBox1->currentItem()->text());
  WriteSetting(QStringLiteral("main"), QStringLiteral("backup_path"), backups);
  WriteSetting(QStringLiteral("main"), QStringLiteral("db_path"), destination);
  mRestore->clear();
  AdvGlowButton4->setEnabled(false);

  FbRestoreService& service = pFIBRestoreService1;
  service.Verbose = true;
  service.LoginPrompt = false;
  service.PageBuffers = 0;
  service.Options = isc_spb_res_create;
  // The first database's log lines have always been written with a Cyrillic
  // "С"; its error message with a Latin "C".
  const QString cyrillicCbase = QStringLiteral("СBASE.FDB");
  for (const QString& database : {cbaseName, gbaseName}) {
    const QString backupFile = BackupFileName(backups, database, stamp);
    const QString target = destination + separator() + database;
    service.PageSize = 4096;
    service.Params = QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=tinsewort")};
    const QString logged = database == cbaseName ? cyrillicCbase : database;
    DatabaseStep step;
    step.startText = QStringLiteral("] Начинаем восстановление базы %1.").arg(logged);
    step.endText = QStringLiteral("] Восстановление базы %1 закончено.").arg(logged);
    step.failureText = QStringLiteral("Ошибка при восстановление базы данных %1").arg(database);
    step.cursorBeforeAttach = true;
    step.body = [&service, backupFile, target](StepSink& sink) { SafeRestore(service).run(backupFile, target, sink); };
    if (!runDatabaseStep(mRestore, step)) errors = true;
    if (database == cbaseName) mRestore->appendPlainText(QString());
  }
  if (errors)
    dialogs().messageBox(this, QStringLiteral("Выполнено"), QStringLiteral("Восстановление завершено с ошибками."),
                         MessageIcon::Error);
  else
    dialogs().messageBox(this, QStringLiteral("Выполнено"), QStringLiteral("Восстановление успешно завершено."),
                         MessageIcon::Information);
  AdvGlowButton4->setEnabled(true);
}
