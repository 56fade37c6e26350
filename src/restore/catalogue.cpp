#include "restore/catalogue.h"

#include "backup/backupnaming.h"
#include "shell/errors.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

FolderListing::FolderListing(QString folder) : folder_(std::move(folder)) {}

void FolderListing::read() {
  const QDir dir(folder_);
  names_ = dir.entryList({QStringLiteral("*.FBK")}, QDir::Files, QDir::Name);
  read_ = true;
}

void FolderListing::setFolder(const QString& path, const std::function<void()>& changed) {
  if (!read_) {
    read();
    changed();
  }
  const QFileInfo info(path);
  if (!info.isDir() || !info.isExecutable() || !info.isReadable()) {
    const QString why = !info.exists()  ? QStringLiteral("it does not exist")
                        : !info.isDir() ? QStringLiteral("it is not a folder")
                                        : QStringLiteral("access is denied");
    throw Error(QStringLiteral("Cannot open the folder %1: %2.").arg(path, why));
  }
  const QString target = info.absoluteFilePath();
  if (QDir::cleanPath(target).compare(QDir::cleanPath(QFileInfo(folder_).absoluteFilePath()), Qt::CaseInsensitive) == 0)
    return;
  folder_ = target;
  read();
  changed();
}

bool GBaseBackupExists(const QSet<QString>& names, const QString& rest) {
  return names.contains(QStringLiteral("GBASE_") + rest);
}

QStringList catalogueDates(const QStringList& names) {
  const QSet<QString> all(names.begin(), names.end());
  QStringList dates;
  for (const QString& name : names) {
    if (!name.startsWith(QStringLiteral("CBASE_"), Qt::CaseSensitive)) continue;
    QString rest = name;
    rest.remove(QStringLiteral("CBASE_"), Qt::CaseInsensitive);
    if (!GBaseBackupExists(all, rest)) continue;
    rest.remove(QStringLiteral(".FBK"), Qt::CaseInsensitive);
    dates.append(StampToRestoreDate(rest));
  }
  std::sort(dates.begin(), dates.end());
  return dates;
}
