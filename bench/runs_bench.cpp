// Times the tool's backup and restore runs through the real window against
// the local server, next to gbak and the plain services requests that do the
// same work, and the restore catalogue's rebuild over large folders.
//
//   runs_bench [--work DIR] [--repeat N (5)] [backup] [restore] [catalogue] [log]
//
// With no part named, every part runs. The databases are made once in the
// work folder and reused by later runs.
#include "backup/backupnaming.h"
#include "fbtools.h"
#include "restore/saferestore.h"
#include "shell/dialogs.h"
#include "shell/environment.h"
#include "shell/errorreporting.h"
#include "shell/glowbutton.h"
#include "shell/mainwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString user = QStringLiteral("SYSDBA");
const QString password = QStringLiteral("tinsewort");

/// Answers every dialog at once and keeps the last message.
class BenchDialogs : public Dialogs {
 public:
  BenchDialogs() { setDialogs(this); }
  ~BenchDialogs() override { setDialogs(nullptr); }
  void messageBox(QWidget*, const QString&, const QString& text, MessageIcon) override { last = text; }
  void errorDialog(QWidget*, const QString&) override {}
  QUrl chooseFolder(QWidget*, const FolderDialogStyle&, const QString&) override { return folder; }

  QString last;
  QUrl folder;
};

[[noreturn]] void fail(const QString& what) { throw std::runtime_error(what.toStdString()); }

/// CPU time this process has used, all threads.
double processCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double seconds(const std::function<void()>& work) {
  // Written-back pages of the last run must not slow this one down.
  ::sync();
  QElapsedTimer timer;
  timer.start();
  work();
  return double(timer.nsecsElapsed()) / 1e9;
}

void emptyFolder(const QString& path) {
  QDir dir(path);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) dir.remove(name);
}

/// Runs a server tool whose output is thrown away; fails on a non-zero exit.
void tool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(program, arguments);
  if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    fail(program + " " + arguments.join(' ') + " failed");
}

QStringList credentials() { return {"-user", user, "-password", password}; }
QStringList serviceCredentials() { return {"localhost:service_mgr", "user", user, "password", password}; }

/// Wide tables give the bulk (random text, which the server cannot pack),
/// many small tables give the verbose lines.
QString databaseScript(const QString& path, int bigTables, int bigRows, int smallTables) {
  QString script = QStringLiteral("CREATE DATABASE 'localhost:%1' PAGE_SIZE 8192;\n").arg(path);
  for (int t = 1; t <= bigTables; ++t)
    script += QStringLiteral(
                  "CREATE TABLE BIG%1 (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(100), AMOUNT NUMERIC(18,2), "
                  "CREATED TIMESTAMP, NOTE VARCHAR(40));\n")
                  .arg(t);
  for (int t = 1; t <= smallTables; ++t)
    script += QStringLiteral("CREATE TABLE SMALL%1 (ID INTEGER NOT NULL PRIMARY KEY, CODE VARCHAR(20), QTY INTEGER);\n")
                  .arg(t);
  script += "COMMIT;\nSET TERM ^;\n";
  for (int t = 1; t <= bigTables; ++t)
    script += QStringLiteral(
                  "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %2) DO BEGIN "
                  "INSERT INTO BIG%1 VALUES (:I, 'customer ' || :I || ' ' || UUID_TO_CHAR(GEN_UUID()), :I * 1.25, "
                  "DATEADD(:I SECOND TO TIMESTAMP '2020-01-01 00:00:00'), UUID_TO_CHAR(GEN_UUID())); "
                  "I = I + 1; END END^\n"
                  "COMMIT^\n")
                  .arg(t)
                  .arg(bigRows);
  for (int t = 1; t <= smallTables; ++t)
    script += QStringLiteral(
                  "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 20) DO BEGIN "
                  "INSERT INTO SMALL%1 VALUES (:I, 'code ' || :I, :I); I = I + 1; END END^\n")
                  .arg(t);
  return script + "COMMIT^\nSET TERM ;^\n";
}

/// Makes the database unless one of at least minimumBytes is there from an earlier run.
void makeDatabase(const QString& path, int bigTables, int bigRows, int smallTables, qint64 minimumBytes = 0) {
  if (QFileInfo::exists(path) && QFileInfo(path).size() >= minimumBytes) return;
  QFile::remove(path);
  std::printf("making %s (%d x %d rows, %d small tables)...\n", qPrintable(path), bigTables, bigRows, smallTables);
  const double took = seconds([&] {
    const QString out = fb::isql(databaseScript(path, bigTables, bigRows, smallTables), {}, -1);
    if (!out.trimmed().isEmpty()) fail("isql: " + out);
  });
  std::printf("  made in %.1f s, %.0f MB\n", took, double(QFileInfo(path).size()) / 1e6);
}

/// The work folder: databases, backup sets, restore targets and the tool's own folder.
struct Work {
  explicit Work(const QString& root)
      : root(root),
        db(fb::serverFolder(root + "/db")),
        bk(fb::serverFolder(root + "/bk")),
        gbakBk(fb::serverFolder(root + "/gbak-bk")),
        floorBk(fb::serverFolder(root + "/floor-bk")),
        toolDest(fb::serverFolder(root + "/tool-dest")),
        gbakDest(fb::serverFolder(root + "/gbak-dest")),
        floorDest(fb::serverFolder(root + "/floor-dest")),
        app(root + "/app") {
    QDir().mkpath(app);
    // The program's folder, with the client library beside it as shipped.
    QFile::remove(app + "/libfbclient.so.2");
    QFile::link(FBCLIENT_REAL, app + "/libfbclient.so.2");
    environment().executablePath = app + "/Basekeep3";
  }

  QString root, db, bk, gbakBk, floorBk, toolDest, gbakDest, floorDest, app;
};

std::unique_ptr<TForm1> openWindow() {
  auto form = std::make_unique<TForm1>(Edition::basekeep3());
  form->setRegionalFormats(RegionalFormats{});
  form->show();
  QCoreApplication::processEvents();
  return form;
}

struct Contender {
  QString name;
  std::function<double()> run;  ///< one timed run
};

/// Runs the contenders in interleaved rounds after one untimed round that
/// warms the page cache, turning the order round by round so that none always
/// follows the same one. Prints each one's median and the tool's (the first
/// one's) ratios: of the medians, and the median of the ratios within a round.
void compare(const std::vector<Contender>& contenders, int repeat) {
  for (const Contender& contender : contenders) contender.run();
  const size_t n = contenders.size();
  std::vector<std::vector<double>> times(n);
  for (int round = 0; round < repeat; ++round)
    for (size_t k = 0; k < n; ++k) {
      const size_t which = (k + static_cast<size_t>(round)) % n;
      times[which].push_back(contenders[which].run());
    }
  for (size_t k = 0; k < n; ++k) {
    QStringList each;
    for (double v : times[k]) each.append(QString::number(v, 'f', 2));
    std::printf("  %-50s median %6.2f s  [%s]\n", qPrintable(contenders[k].name), median(times[k]),
                qPrintable(each.join(", ")));
  }
  for (size_t k = 1; k < n; ++k) {
    std::vector<double> paired;
    for (int round = 0; round < repeat; ++round) paired.push_back(times[0][round] / times[k][round]);
    std::printf("  tool / %-43s %.3f (median of round ratios %.3f)\n", qPrintable(contenders[k].name),
                median(times[0]) / median(times[k]), median(paired));
  }
}

/// Clicks a run's start button; returns the run's time and adds the CPU time
/// this process spent in it to cpu. Fails unless the run reports success.
double timedClick(const TForm1& form, GlowButton* button, BenchDialogs& dialogs, const QString& success,
                  std::vector<double>& cpu) {
  dialogs.last.clear();
  const double cpu0 = processCpuSeconds();
  const double took = seconds([&] { button->click(); });
  cpu.push_back(processCpuSeconds() - cpu0);
  if (dialogs.last != success) fail("the tool's run failed: " + form.lastRunErrors().join("; "));
  return took;
}

void backupPart(const Work& work, TForm1& form, BenchDialogs& dialogs, int repeat) {
  std::printf("\n== backup of CBASE.FDB (%.0f MB) and GBASE.FDB (%.0f MB)\n",
              double(QFileInfo(work.db + "/CBASE.FDB").size()) / 1e6,
              double(QFileInfo(work.db + "/GBASE.FDB").size()) / 1e6);
  std::vector<double> toolCpu;
  const auto toolRun = [&] {
    emptyFolder(work.bk);
    form.Edit1->setText(work.db);
    form.Edit2->setText(work.bk);
    return timedClick(form, form.AdvGlowButton2, dialogs, QStringLiteral("Резервное копирование успешно завершено."),
                      toolCpu);
  };
  const auto gbakRun = [&] {
    emptyFolder(work.gbakBk);
    return seconds([&] {
      for (const char* name : {"CBASE", "GBASE"})
        tool("gbak", QStringList{"-b", "-v", "-se", "localhost:service_mgr"} + credentials() +
                         QStringList{QStringLiteral("%1/%2.FDB").arg(work.db, name),
                                     QStringLiteral("%1/%2.FBK").arg(work.gbakBk, name)});
    });
  };
  const auto floorRun = [&] {
    emptyFolder(work.floorBk);
    return seconds([&] {
      for (const char* name : {"CBASE", "GBASE"})
        tool("fbsvcmgr", serviceCredentials() + QStringList{"action_backup", "dbname",
                                                            QStringLiteral("%1/%2.FDB").arg(work.db, name), "bkp_file",
                                                            QStringLiteral("%1/%2.FBK").arg(work.floorBk, name)});
    });
  };
  compare({{"tool: backup run through the window", toolRun},
           {"gbak -b -v -se localhost:service_mgr", gbakRun},
           {"services backup, not verbose (floor)", floorRun}},
          repeat);
  std::printf("  CPU time of the tool's process in its run: median %.2f s\n", median(toolCpu));
  const QStringList log = form.mBackup->toPlainText().split('\n');
  std::printf("  the tool's log: %lld lines (%lld server lines of CBASE.FDB)\n", static_cast<long long>(log.size()),
              static_cast<long long>(log.indexOf(QString()) - 2));
  emptyFolder(work.gbakBk);
  emptyFolder(work.floorBk);
}

/// The date of the one set in the backup folder, making it with the tool if there is none.
QString backupSet(const Work& work, TForm1& form) {
  QStringList names = QDir(work.bk).entryList({"CBASE_*.FBK"}, QDir::Files);
  if (names.isEmpty()) {
    form.Edit1->setText(work.db);
    form.Edit2->setText(work.bk);
    form.AdvGlowButton2->click();
    names = QDir(work.bk).entryList({"CBASE_*.FBK"}, QDir::Files);
    if (names.isEmpty()) fail("no backup set could be made");
  }
  return StampToRestoreDate(names.first().mid(6, names.first().size() - 10));
}

void restorePart(const Work& work, TForm1& form, BenchDialogs& dialogs, int repeat) {
  const QString date = backupSet(work, form);
  const QString stamp = RestoreDateToStamp(date);
  std::printf("\n== restore of the set of %s (CBASE %.0f MB, GBASE %.0f MB of backup)\n", qPrintable(date),
              double(QFileInfo(BackupFileName(work.bk, cbaseName, stamp)).size()) / 1e6,
              double(QFileInfo(BackupFileName(work.bk, gbaseName, stamp)).size()) / 1e6);
  const QString elsewhere = fb::serverFolder(work.root + "/catalogue-empty");
  std::vector<double> toolCpu;
  const auto toolRun = [&] {
    // The listing is read again only when it is pointed at another folder.
    dialogs.folder = QUrl::fromLocalFile(elsewhere);
    form.AdvGlowButton5Click();
    dialogs.folder = QUrl::fromLocalFile(work.bk);
    form.AdvGlowButton5Click();
    const auto items = form.ListBox1->findItems(date, Qt::MatchExactly);
    if (items.isEmpty()) fail("the catalogue does not list " + date);
    form.ListBox1->setCurrentItem(items.first());
    form.Edit4->setText(work.toolDest);
    return timedClick(form, form.AdvGlowButton4, dialogs, QStringLiteral("Восстановление успешно завершено."), toolCpu);
  };
  const auto gbakRun = [&] {
    return seconds([&] {
      for (const QString& name : {cbaseName, gbaseName})
        tool("gbak", QStringList{"-rep", "-v", "-p", "4096", "-se", "localhost:service_mgr"} + credentials() +
                         QStringList{BackupFileName(work.bk, name, stamp), work.gbakDest + '/' + name});
    });
  };
  const auto floorRun = [&] {
    return seconds([&] {
      for (const QString& name : {cbaseName, gbaseName})
        tool("fbsvcmgr", serviceCredentials() +
                             QStringList{"action_restore", "bkp_file", BackupFileName(work.bk, name, stamp), "dbname",
                                         work.floorDest + '/' + name, "res_replace", "res_page_size", "4096"});
    });
  };
  // Where the tool's time goes: the same service client on this thread with
  // no window, with and without the safe mechanism.
  struct Quiet : StepSink {
    void attached() override {}
    void started() override {}
    void line(const QString&) override {}
    void finished() override {}
  } quiet;
  FbRestoreService service;
  service.LibraryName = FBCLIENT_REAL;
  service.Params = QStringList{"user_name=" + user, "password=" + password};
  service.LoginPrompt = false;
  service.Verbose = true;
  service.PageSize = 4096;
  service.Options = isc_spb_res_create;
  const auto coreRun = [&](const QString& folder, bool safe) {
    return [&, folder, safe] {
      for (const QString& name : {cbaseName, gbaseName}) QFile::remove(folder + '/' + name + ".plain");
      return seconds([&] {
        for (const QString& name : {cbaseName, gbaseName}) {
          if (safe) {
            SafeRestore(service).run(BackupFileName(work.bk, name, stamp), folder + '/' + name, quiet);
            continue;
          }
          service.BackupFile = QStringList{BackupFileName(work.bk, name, stamp)};
          service.DatabaseName = QStringList{folder + '/' + name + ".plain"};
          service.setActive(true);
          service.ServiceStart();
          while (!service.OutputFinished()) service.NextOutputLine();
          service.setActive(false);
        }
      });
    };
  };
  const QString coreDest = fb::serverFolder(work.root + "/core-dest");
  // The untimed round also puts a database in each destination, so that every
  // timed run replaces one.
  compare({{"tool: safe restore run through the window", toolRun},
           {"gbak -rep -v -p 4096 -se localhost:service_mgr", gbakRun},
           {"services restore, replace, not verbose", floorRun},
           {"service client, safe restore, no window", coreRun(coreDest, true)},
           {"service client, restore into a new file, no window", coreRun(coreDest, false)}},
          repeat);
  for (const QString& name : {cbaseName, gbaseName}) QFile::remove(coreDest + '/' + name + ".plain");
  std::printf("  CPU time of the tool's process in its run: median %.2f s\n", median(toolCpu));

  const QString count = "SELECT COUNT(*) FROM BIG4";
  const QString original = fb::value(work.db + "/CBASE.FDB", count);
  const QString restored = fb::value(work.toolDest + "/CBASE.FDB", count);
  std::printf("  check: BIG4 rows original %s, restored by the tool %s; page size %s; files left: %s\n",
              qPrintable(original), qPrintable(restored),
              qPrintable(fb::value(work.toolDest + "/CBASE.FDB", "SELECT MON$PAGE_SIZE FROM MON$DATABASE")),
              qPrintable(QDir(work.toolDest).entryList(QDir::Files).join(' ')));
  if (original.isEmpty() || original != restored) fail("the restored database differs");
}

void cataloguePart(const Work& work, TForm1& form, BenchDialogs& dialogs, int repeat) {
  std::printf("\n== catalogue rebuild (half of the names in complete pairs)\n");
  const QString empty = fb::serverFolder(work.root + "/catalogue-empty");  // pointing there forces a new read
  for (const int count : {10000, 50000, 100000}) {
    const QString folder = work.root + QStringLiteral("/catalogue-%1").arg(count);
    if (QDir(folder).entryList(QDir::Files).size() != count) {
      QDir(folder).removeRecursively();
      QDir().mkpath(folder);
      const QDateTime start(QDate(2001, 1, 1), QTime(0, 0));
      for (int i = 0; i < count; ++i) {
        // Names 4k and 4k+1 make a set; 4k+2 lacks its GBASE file, 4k+3 its CBASE file.
        const int minute = i % 4 == 1 ? i - 1 : i;
        const QString stamp = MakeBackupStamp(RegionalFormats{}, start.addSecs(60 * minute));
        const QString prefix = i % 4 == 1 || i % 4 == 3 ? "GBASE_" : "CBASE_";
        QFile file(folder + '/' + prefix + stamp + ".FBK");
        if (!file.open(QIODevice::WriteOnly)) fail("cannot write " + file.fileName());
      }
    }
    std::vector<double> pointed, rebuilt;
    for (int i = 0; i < repeat; ++i) {
      dialogs.folder = QUrl::fromLocalFile(empty);
      form.AdvGlowButton5Click();
      dialogs.folder = QUrl::fromLocalFile(folder);
      pointed.push_back(seconds([&] { form.AdvGlowButton5Click(); }));
      rebuilt.push_back(seconds([&] { form.FileListBox1Change(); }));
    }
    const double rebuild = median(rebuilt);
    std::printf("  %6d names: %5d sets listed; read folder + rebuild %.3f s, rebuild alone %.3f s (%.2f us a name)\n",
                count, form.ListBox1->count(), median(pointed), rebuild, rebuild * 1e6 / count);
  }
}

void logPart(const Work& work, BenchDialogs& dialogs) {
  std::printf("\n== 200,000 server lines into mBackup through a backup run (stand-in client library)\n");
  QLibrary fake(FAKE_FBCLIENT);
  const auto script = reinterpret_cast<void (*)(const char*)>(fake.resolve("fake_script"));
  if (script == nullptr) fail("cannot load the stand-in library: " + fake.errorString());
  QByteArray lines;
  for (int i = 0; i < 200000; ++i) lines += "line gbak:    " + QByteArray::number(i) + " records written\n";
  script(lines + "---\nline gbak: closing file, committing, and finishing.\n");
  const QString folder = work.root + "/fake-db";
  QDir().mkpath(folder);
  for (const QString& name : {cbaseName, gbaseName}) QFile(folder + '/' + name).open(QIODevice::WriteOnly);
  auto form = openWindow();
  form->pFIBBackupService1.LibraryName = FAKE_FBCLIENT;
  form->Edit1->setText(folder);
  form->Edit2->setText(folder);
  const double took = seconds([&] { form->AdvGlowButton2->click(); });
  std::printf("  %lld log lines in %.2f s (goal <= 2 s); last message: %s\n",
              static_cast<long long>(form->mBackup->document()->blockCount()), took, qPrintable(dialogs.last));
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  BasekeepApplication app(argc, argv, Edition::basekeep3());
  QString root = QStringLiteral("/var/lib/basekeep-bench");
  int repeat = 5;
  QStringList parts;
  const QStringList args = app.arguments().mid(1);
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == "--work" && i + 1 < args.size())
      root = args[++i];
    else if (args[i] == "--repeat" && i + 1 < args.size())
      repeat = std::max(1, args[++i].toInt());
    else
      parts.append(args[i]);
  }
  if (parts.isEmpty()) parts = QStringList{"backup", "restore", "catalogue", "log"};
  try {
    Work work(fb::serverFolder(root));
    BenchDialogs dialogs;
    auto form = openWindow();
    if (parts.contains("backup") || parts.contains("restore")) {
      makeDatabase(work.db + "/CBASE.FDB", 4, 500000, 300, 300'000'000);
      makeDatabase(work.db + "/GBASE.FDB", 1, 100000, 50);
    }
    if (parts.contains("backup")) backupPart(work, *form, dialogs, repeat);
    if (parts.contains("restore")) restorePart(work, *form, dialogs, repeat);
    if (parts.contains("catalogue")) cataloguePart(work, *form, dialogs, repeat);
    if (parts.contains("log")) logPart(work, dialogs);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "runs_bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
