#include "fbtools.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace fb {

QString serverFolder(const QString& path) {
  QDir().mkpath(path);
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                  QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                  QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
  return path;
}

QString serverFolder(QTemporaryDir& dir, const QString& relative) {
  const QString path = serverFolder(relative.isEmpty() ? dir.path() : dir.path() + '/' + relative);
  QFile::setPermissions(dir.path(), QFile::permissions(path));
  return path;
}

int run(const QString& program, const QStringList& arguments, QString* output) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  process.waitForFinished(120000);
  if (output != nullptr) *output = QString::fromUtf8(process.readAll());
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString isql(const QString& script, const QStringList& arguments, int timeoutMs) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start("isql-fb", QStringList{"-q", "-bail", "-user", "SYSDBA", "-password", "tinsewort"} + arguments);
  process.write(script.toUtf8());
  process.closeWriteChannel();
  process.waitForFinished(timeoutMs);
  return QString::fromUtf8(process.readAll());
}

void createDatabase(const QString& path, int rows, const QString& tag) {
  isql(QStringLiteral("CREATE DATABASE 'localhost:%1' PAGE_SIZE 8192;\n"
                      "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(40));\n"
                      "SET TERM ^;\n"
                      "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %2) DO BEGIN "
                      "INSERT INTO T VALUES (:I, '%3 ' || :I); I = I + 1; END END^\n"
                      "SET TERM ;^\nCOMMIT;\n")
           .arg(path)
           .arg(rows)
           .arg(tag));
}

QString sql(const QString& path, const QString& statements) {
  return isql(statements + "\nCOMMIT;\n", {"localhost:" + path});
}

QString value(const QString& path, const QString& query) {
  const QString out = sql(path, "SELECT 'VALUE=' || (" + query + ") FROM RDB$DATABASE;");
  const qsizetype at = out.indexOf("VALUE=");
  if (at < 0) return {};
  return out.mid(at + 6).section(QRegularExpression("\\s"), 0, 0);
}

int rows(const QString& path) {
  const QString count = value(path, "SELECT COUNT(*) FROM T");
  return count.isEmpty() ? -1 : count.toInt();
}

QByteArray checksum(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&file);
  return hash.result().toHex();
}

}  // namespace fb
