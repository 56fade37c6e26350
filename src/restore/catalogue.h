#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

/// The backup files of one folder: the names of its regular, visible files
/// that match *.FBK in any letter case, exactly as stored.
class FolderListing {
 public:
  /// The listing starts on folder, unread.
  explicit FolderListing(QString folder);

  const QString& folder() const { return folder_; }
  const QStringList& names() const { return names_; }
  bool isRead() const { return read_; }

  /// Points the listing at path. The listing is read, and changed runs, the
  /// first time and whenever path names another folder (letter case aside).
  /// Throws Error when path cannot be entered; the listing then stays as it was.
  void setFolder(const QString& path, const std::function<void()>& changed);

 private:
  void read();

  QString folder_;
  QStringList names_;
  bool read_ = false;
};

/// True when names holds "GBASE_" + rest exactly.
bool GBaseBackupExists(const QSet<QString>& names, const QString& rest);

/// The restore dates of the complete backup sets among names, ascending,
/// duplicates kept.
QStringList catalogueDates(const QStringList& names);
