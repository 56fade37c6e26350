#include "restore/saferestore.h"

#include "shell/errors.h"

#include <QFile>
#include <QFileInfo>

namespace {

QByteArray databaseAction(uint8_t action, const QString& database) {
  SpbBuilder spb;
  spb.byte(action);
  spb.longString(isc_spb_dbname, database.toUtf8(), "database path");
  return spb.bytes();
}

void removeFile(const QString& path) {
  if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) QFile::remove(path);
}

}  // namespace

bool SafeRestore::outputComplete(const QStringList& lines) {
  bool closing = false;
  for (const QString& line : lines)
    if (line.contains(QStringLiteral("finishing, closing, and going home"))) closing = true;
  return closing;
}

bool SafeRestore::headerShowsShutdown(const QStringList& lines) {
  for (const QString& line : lines) {
    if (!line.trimmed().startsWith(QStringLiteral("Attributes"))) continue;
    return line.contains(QStringLiteral("shutdown")) || line.contains(QStringLiteral("maintenance"));
  }
  return false;
}

QStringList SafeRestore::runAction(const QByteArray& request) {
  // The restore's own attachment serves the later actions too: every new
  // attachment costs a full authentication on both sides.
  if (!service_.Active()) service_.setActive(true);
  service_.startRequest(request);
  QStringList lines;
  while (!service_.OutputFinished()) lines.append(service_.NextOutputLine());
  return lines;
}

void SafeRestore::bringOnline(const QString& database) {
  QByteArray request = databaseAction(isc_action_svc_properties, database);
  request.append(static_cast<char>(isc_spb_prp_online_mode));
  request.append(static_cast<char>(isc_spb_prp_sm_normal));
  runAction(request);
}

void SafeRestore::run(const QString& backupFile, const QString& target, StepSink& sink) {
  try {
    restoreAndSwap(backupFile, target, sink);
    service_.setActive(false);
  } catch (...) {
    // Whatever failed, the next step starts detached.
    service_.detachQuietly();
    throw;
  }
}

void SafeRestore::restoreAndSwap(const QString& backupFile, const QString& target, StepSink& sink) {
  const QString fresh = newFileName(target);
  const QString old = oldFileName(target);
  // Files of ours left by a run that was killed; never the target itself.
  removeFile(fresh);
  removeFile(old);
  try {
    service_.BackupFile = QStringList{backupFile};
    service_.DatabaseName = QStringList{fresh};
    service_.setActive(true);
    sink.attached();
    service_.ServiceStart();
    sink.started();
    QStringList output;
    while (!service_.OutputFinished()) {
      output.append(service_.NextOutputLine());
      sink.line(output.back());
    }
    if (!outputComplete(output))
      throw Error(QStringLiteral("The restore of %1 ended early: the backup file is incomplete").arg(backupFile));
    SpbBuilder stats;
    stats.byte(isc_action_svc_db_stats);
    stats.longString(isc_spb_dbname, fresh.toUtf8(), "database path");
    stats.integer(isc_spb_options, isc_spb_sts_hdr_pages);
    if (headerShowsShutdown(runAction(stats.bytes())))
      throw Error(QStringLiteral("The database restored from %1 was left shut down").arg(backupFile));
  } catch (...) {
    // Detached first, so that the server has let go of the new file.
    service_.detachQuietly();
    removeFile(fresh);
    throw;
  }

  if (QFileInfo::exists(target)) {
    // A full shutdown that waits for no one fails while anybody is attached,
    // so a database in use is never replaced.
    QByteArray shutdown = databaseAction(isc_action_svc_properties, target);
    shutdown.append(static_cast<char>(isc_spb_prp_shutdown_mode));
    shutdown.append(static_cast<char>(isc_spb_prp_sm_full));
    SpbBuilder timeout;
    timeout.integer(isc_spb_prp_attachments_shutdown, 0);
    shutdown.append(timeout.bytes());
    try {
      runAction(shutdown);
    } catch (...) {
      service_.detachQuietly();
      removeFile(fresh);
      throw;
    }
    if (!QFile::rename(target, old)) {
      const QString why = QStringLiteral("Cannot move %1 aside to put the restored database in its place").arg(target);
      removeFile(fresh);
      bringOnline(target);
      throw Error(why);
    }
    if (!QFile::rename(fresh, target)) {
      QFile::rename(old, target);
      removeFile(fresh);
      bringOnline(target);
      throw Error(QStringLiteral("Cannot put the restored database in place of %1").arg(target));
    }
    QFile::remove(old);
  } else if (!QFile::rename(fresh, target)) {
    removeFile(fresh);
    throw Error(QStringLiteral("Cannot put the restored database in place of %1").arg(target));
  }
  sink.finished();
}
