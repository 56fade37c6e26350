#include "shell/environment.h"

#include "platform/platform.h"

#include <QFileInfo>

Environment Environment::fromPlatform() {
  Environment env;
  env.executablePath = fromLocal8Bit(QByteArray::fromStdString(platform::executablePath()));
  env.programFilesFolder = fromLocal8Bit(QByteArray::fromStdString(platform::programFilesFolder()));
  env.firebirdRoot = [] { return fromLocal8Bit(QByteArray::fromStdString(platform::firebirdRoot())); };
  env.setCurrentDirectory = [](const QString& path) {
    return platform::setCurrentDirectory(toLocal8Bit(path).toStdString());
  };
  env.currentDirectory = [] { return fromLocal8Bit(QByteArray::fromStdString(platform::currentDirectory())); };
  env.clientLibraryFileName = QString::fromStdString(platform::clientLibraryFileName());
  env.clientLibraryFolder = QString::fromStdString(platform::clientLibraryFolder());
  return env;
}

Environment& environment() {
  static Environment env = Environment::fromPlatform();
  return env;
}

QString separator() { return QString(QChar::fromLatin1(platform::separator())); }

QString executableFolder() {
  const QString& path = environment().executablePath;
  const qsizetype cut = path.lastIndexOf(separator());
  return cut < 0 ? QString() : path.left(cut + 1);
}

QByteArray toLocal8Bit(const QString& text) {
  return QByteArray::fromStdString(platform::utf8ToLocal8Bit(text.toUtf8().toStdString()));
}

QString fromLocal8Bit(const QByteArray& text) {
  return QString::fromUtf8(QByteArray::fromStdString(platform::local8BitToUtf8(text.toStdString())));
}
