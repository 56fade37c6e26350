// Prints the time from creating each edition's window until it is shown and painted,
// and the time to append 200,000 lines into a log in the run's batches.
#include "shell/errorreporting.h"
#include "shell/mainwindow.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QWindow>

#include <cstdio>

namespace {

double firstWindowMs(const Edition& edition) {
  QElapsedTimer timer;
  timer.start();
  TForm1 form(edition);
  form.show();
  while (form.windowHandle() == nullptr || !form.windowHandle()->isExposed())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  form.repaint();
  return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  BasekeepApplication app(argc, argv, Edition::basekeep3());
  for (const auto& [name, edition] : {std::pair{"Basekeep", Edition::basekeep()}, {"Basekeep3", Edition::basekeep3()}})
    std::printf("%-10s window created to first paint: %.1f ms (first), %.1f ms (again)\n", name, firstWindowMs(edition),
                firstWindowMs(edition));

  QPlainTextEdit log;
  log.resize(491, 292);
  log.show();
  QElapsedTimer timer;
  timer.start();
  QStringList batch;
  for (int i = 0; i < 200000; ++i) {
    batch.append(QStringLiteral("gbak:    %1 records written ").arg(i));
    if (batch.size() == 5000) {
      log.appendPlainText(batch.join('\n'));
      batch.clear();
      QCoreApplication::processEvents();
    }
  }
  std::printf("append 200,000 lines to the log in batches: %.2f s (goal <= 2 s)\n", double(timer.elapsed()) / 1000);
  return 0;
}
