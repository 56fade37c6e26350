#include "shell/startup.h"

#include "shell/environment.h"

#include <QDir>
#include <QFileInfo>

Edition Edition::basekeep() { return {QStringLiteral("Работа с базами данных"), 0, true, Reporting::CrashReporter}; }

Edition Edition::basekeep3() {
  return {QStringLiteral("Работа с базами данных - версия 3"), 1, false, Reporting::MessageBox};
}

bool fileExists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

QString GetSpecialFolder() { return environment().programFilesFolder; }

QString GetFirebirdRoot() {
  const QString root = environment().firebirdRoot();
  if (root.isEmpty() || !environment().setCurrentDirectory(root)) return {};
  return root;
}

LibraryLookup locateClientLibrary(const Edition& edition, const QString& firebirdRoot) {
  const Environment& env = environment();
  const QString beside = executableFolder() + env.clientLibraryFileName;
  if (fileExists(beside)) return {beside};
  if (edition.searchFirebirdRoot && !firebirdRoot.isEmpty()) {
    // The test joins the root directly, the path handed on adds a separator:
    // both name the same file for a root that ends with one.
    const QString tail = env.clientLibraryFolder + separator() + env.clientLibraryFileName;
    if (fileExists(firebirdRoot + tail)) return {firebirdRoot + separator() + tail};
  }
  return {};
}

QString missingLibraryMessage() {
  return QStringLiteral("Библиотека %1 не найдена. Приложение будет закрыто!").arg(environment().clientLibraryFileName);
}

QString defaultDatabaseFolder() {
  const QString sep = separator();
  const QString programFiles = GetSpecialFolder();
  const QString folder = programFiles + sep + "Koru" + sep + "Server" + sep + "DB";
  // An install may write the marker in either case, so look for it the way
  // a case-insensitive file system would.
  const QDir dir(folder);
  if (dir.exists()) {
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : files)
      if (name.compare(QStringLiteral("cbase.fdb"), Qt::CaseInsensitive) == 0) return folder;
  }
  return {};
}
