#include "shell/errorreporting.h"
#include "shell/mainwindow.h"

int main(int argc, char** argv) {
  const Edition edition = Edition::basekeep3();
  BasekeepApplication app(argc, argv, edition);
  TForm1 form(edition);
  form.show();
  return app.exec();
}
