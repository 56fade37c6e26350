// Writes a screenshot of each tab of the real window to the folder given as
// the first argument, with a little data in the fields and logs.
#include "shell/errorreporting.h"
#include "shell/mainwindow.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>

#include <cstdio>

int main(int argc, char** argv) {
  BasekeepApplication app(argc, argv, Edition::basekeep());
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  TForm1 form(Edition::basekeep());
  form.Edit1->setText("/var/lib/basekeep-demo/db");
  form.Edit2->setText("/var/lib/basekeep-demo/backup");
  form.Edit3->setText("/var/lib/basekeep-demo/backup");
  form.Edit4->setText("/var/lib/basekeep-demo/db");
  form.mBackup->setPlainText(
      "[21:05:07] Начинаем копирование базы CBASE.FDB.\ngbak:readied database CBASE.FDB for backup \n"
      "gbak:creating file /var/lib/basekeep-demo/backup/CBASE_19062015_210507.FBK \n"
      "gbak:starting transaction \ngbak:database CBASE.FDB has a page size of 4096 bytes. \n"
      "gbak:writing domains \ngbak:writing tables \n");
  form.ListBox1->addItems({"2015.06.18 20:00:01", "2015.06.19 21:05:07"});
  form.ListBox1->setCurrentRow(1);
  form.show();
  for (int tab : {0, 1}) {
    form.tabBar->setCurrentIndex(tab);
    QCoreApplication::processEvents();
    const QString file = out + (tab == 0 ? "/backup-tab.png" : "/restore-tab.png");
    if (!form.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  }
  return 0;
}
