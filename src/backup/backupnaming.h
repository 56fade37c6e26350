#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

/// The regional date and time settings that backup stamps and log lines use.
struct RegionalFormats {
  QLocale locale = QLocale::c();  ///< for month and day names in the date format
  QString shortDateFormat = "dd.MM.yyyy";
  bool hourLeadingZero = true;
  QString timeSeparator = ":";
  bool twelveHour = false;
  QString amDesignator = "AM";
  QString pmDesignator = "PM";
  bool designatorFirst = false;

  /// The formats of the user's regional settings.
  static RegionalFormats fromSystem();
  /// The formats read from one locale's data.
  static RegionalFormats fromLocale(const QLocale& locale);
};

/// The date text: the date in the regional short date format.
QString dateText(const RegionalFormats& formats, const QDate& date);

/// The time text: the time in the long time format built from the regional values.
QString timeText(const RegionalFormats& formats, const QTime& time);

/// The stamp of a backup run started at the given moment. A regional stamp
/// that would not convert back, or could not stand in a file name, gives way
/// to the normal form DDMMYYYY_hhmmss.
QString MakeBackupStamp(const RegionalFormats& formats, const QDateTime& now);

/// The stamp exactly as the regional formats write it, without any check.
QString regionalBackupStamp(const RegionalFormats& formats, const QDateTime& now);

/// Database file names the tool knows.
inline const QString cbaseName = QStringLiteral("CBASE.FDB");
inline const QString gbaseName = QStringLiteral("GBASE.FDB");

/// folder + separator + "CBASE_" (or "GBASE_") + stamp + ".FBK".
QString BackupFileName(const QString& folder, const QString& database, const QString& stamp);

/// Display text of a stamp: YYYY.MM.DD hh:mm:ss, taken by position.
QString StampToRestoreDate(const QString& stamp);

/// The stamp of a restore date, taken by position.
QString RestoreDateToStamp(const QString& restoreDate);
