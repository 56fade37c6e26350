#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::vector<QString> ScriptedDialogs::texts(const QString& kind) const {
  std::vector<QString> out;
  for (const Shown& s : shown)
    if (s.kind == kind) out.push_back(s.text);
  return out;
}

TempMachine::TempMachine() : saved_(environment()) {
  QDir(dir.path()).mkpath("app");
  QDir(dir.path()).mkpath("opt");
  QDir(dir.path()).mkpath("cwd");
  Environment& env = environment();
  env.executablePath = path("app/Basekeep");
  env.programFilesFolder = path("opt");
  env.firebirdRoot = [this] { return root; };
  env.setCurrentDirectory = [this](const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    directories.push_back(folder);
    return true;
  };
  env.currentDirectory = [this] { return path("cwd"); };
}

TempMachine::~TempMachine() { environment() = saved_; }

QString TempMachine::write(const QString& relative, const QByteArray& content) const {
  const QString file = path(relative);
  QDir().mkpath(QFileInfo(file).path());
  QFile out(file);
  if (out.open(QIODevice::WriteOnly)) out.write(content);
  return file;
}

QByteArray TempMachine::read(const QString& relative) const {
  QFile in(path(relative));
  return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QStringList logLines(const QString& text) { return text.split('\n'); }
