#pragma once

#include <QString>
#include <QTemporaryDir>

/// Helpers around the real local server, driven through its own tools;
/// shared by the integration tests and the benchmarks.
namespace fb {

/// Makes path a folder that the server (user firebird) may write.
QString serverFolder(const QString& path);
/// A temporary folder that the server may write.
QString serverFolder(QTemporaryDir& dir, const QString& relative = {});
/// Creates a database with table T of rows rows, named after tag.
void createDatabase(const QString& path, int rows, const QString& tag);
/// Runs an isql script with SYSDBA's credentials; returns isql's output.
/// A timeout of -1 waits as long as the script takes.
QString isql(const QString& script, const QStringList& arguments = {}, int timeoutMs = 120000);
/// Runs SQL against a database; returns isql's output.
QString sql(const QString& path, const QString& statements);
/// The value of a one-value query, or empty when the database cannot be read.
QString value(const QString& path, const QString& query);
/// Rows of table T, or -1 when the database cannot be read.
int rows(const QString& path);
/// SHA-256 of a file's bytes.
QByteArray checksum(const QString& path);
/// Runs a command; returns its exit code.
int run(const QString& program, const QStringList& arguments, QString* output = nullptr);

}  // namespace fb
