#include "serverwindow.h"

#include "shell/errorreporting.h"
#include "shell/mainwindow.h"
#include "testsupport.h"

namespace fb {

std::unique_ptr<TForm1> openWindow(const TempMachine& machine) {
  installErrorReporting(Edition::basekeep3());
  machine.write("app/libfbclient.so.2");
  auto form = std::make_unique<TForm1>(Edition::basekeep3());
  form->pFIBBackupService1.LibraryName = FBCLIENT_PATH;
  form->pFIBRestoreService1.LibraryName = FBCLIENT_PATH;
  form->setRegionalFormats(RegionalFormats{});
  return form;
}

}  // namespace fb
