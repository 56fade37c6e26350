#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class TForm1;
class TempMachine;

/// Helpers around the real local server, driven through its own tools.
namespace fb {

/// The Basekeep3 window on machine, its services pointed at the real client library.
std::unique_ptr<TForm1> openWindow(const TempMachine& machine);

/// A temporary folder that the server (user firebird) may write.
QString serverFolder(QTemporaryDir& dir, const QString& relative = {});
/// Creates a database with table T of rows rows, named after tag.
void createDatabase(const QString& path, int rows, const QString& tag);
/// Runs SQL against a database; returns isql's output.
QString sql(const QString& path, const QString& statements);
/// Rows of table T, or -1 when the database cannot be read.
int rows(const QString& path);
/// SHA-256 of a file's bytes.
QByteArray checksum(const QString& path);
/// Runs a command; returns its exit code.
int run(const QString& program, const QStringList& arguments, QString* output = nullptr);

}  // namespace fb
