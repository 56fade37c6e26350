// Prints the time from creating each edition's window until it is shown and painted.
#include "shell/errorreporting.h"
#include "shell/mainwindow.h"

#include <QElapsedTimer>
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

  return 0;
}
