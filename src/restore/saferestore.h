#pragma once

#include "backup/fbservice.h"
#include "backup/servicestep.h"

#include <QString>

/// Restores a backup file over a database so that a failure of any kind
/// leaves the database as it was: the server restores into a new file beside
/// the target, the result is checked, the original is taken out of use
/// through the server, and only then do the files change places.
class SafeRestore {
 public:
  /// service carries the library, the credentials and the restore options.
  explicit SafeRestore(FbRestoreService& service) : service_(service) {}

  /// Runs the restore, reporting the server's lines to sink. Throws on failure.
  void run(const QString& backupFile, const QString& target, StepSink& sink);

  /// Names of the files the restore works with beside the target.
  static QString newFileName(const QString& target) { return target + QStringLiteral(".restoring"); }
  static QString oldFileName(const QString& target) { return target + QStringLiteral(".replaced"); }

  /// True when the verbose output holds the lines a complete restore ends with.
  static bool outputComplete(const QStringList& lines);
  /// True when a header page listing shows a database that is shut down.
  static bool headerShowsShutdown(const QStringList& lines);

 private:
  void restoreAndSwap(const QString& backupFile, const QString& target, StepSink& sink);
  QStringList runAction(const QByteArray& request);
  void bringOnline(const QString& database);

  FbRestoreService& service_;
};
