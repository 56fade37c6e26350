#include "backup/backupnaming.h"

#include "shell/environment.h"

#include <QRegularExpression>

namespace {

// Characters from..to (1-based, inclusive), as far as the text reaches.
QString range(const QString& text, int from, int to) {
  if (from > text.size()) return {};
  return text.mid(from - 1, to - from + 1);
}

bool fitsFileName(const QString& stamp) {
  for (const QChar c : stamp)
    if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) return false;
  return true;
}

}  // namespace

RegionalFormats RegionalFormats::fromSystem() { return fromLocale(QLocale::system()); }

RegionalFormats RegionalFormats::fromLocale(const QLocale& locale) {
  RegionalFormats formats;
  formats.locale = locale;
  formats.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
  const QString time = locale.timeFormat(QLocale::LongFormat);
  const qsizetype hour = time.indexOf(QRegularExpression("[hH]"));
  formats.hourLeadingZero = time.contains("hh") || time.contains("HH");
  const qsizetype minute = time.indexOf('m');
  if (hour >= 0 && minute > hour) {
    qsizetype from = hour;
    while (from < minute && (time[from] == 'h' || time[from] == 'H')) ++from;
    formats.timeSeparator = time.mid(from, minute - from);
  }
  const qsizetype marker = time.indexOf(QRegularExpression("[aA][pP]?"));
  formats.twelveHour = marker >= 0;
  formats.designatorFirst = formats.twelveHour && hour >= 0 && marker < hour;
  formats.amDesignator = locale.amText();
  formats.pmDesignator = locale.pmText();
  return formats;
}

QString dateText(const RegionalFormats& formats, const QDate& date) {
  return formats.locale.toString(date, formats.shortDateFormat);
}

QString timeText(const RegionalFormats& formats, const QTime& time) {
  int hour = time.hour();
  const bool showDesignator = formats.twelveHour;
  const QString designator = hour < 12 ? formats.amDesignator : formats.pmDesignator;
  if (showDesignator && !formats.designatorFirst) hour = hour % 12 == 0 ? 12 : hour % 12;
  const QString sep = formats.timeSeparator;
  QString text = (formats.hourLeadingZero ? QStringLiteral("%1").arg(hour, 2, 10, QChar('0')) : QString::number(hour)) +
                 sep + QStringLiteral("%1").arg(time.minute(), 2, 10, QChar('0')) + sep +
                 QStringLiteral("%1").arg(time.second(), 2, 10, QChar('0'));
  if (showDesignator) text = formats.designatorFirst ? designator + ' ' + text : text + ' ' + designator;
  return text;
}

QString regionalBackupStamp(const RegionalFormats& formats, const QDateTime& now) {
  return dateText(formats, now.date()).remove('.') + '_' + timeText(formats, now.time()).remove(':');
}

QString MakeBackupStamp(const RegionalFormats& formats, const QDateTime& now) {
  const QString stamp = regionalBackupStamp(formats, now);
  if (fitsFileName(stamp) && RestoreDateToStamp(StampToRestoreDate(stamp)) == stamp) return stamp;
  return now.toString(QStringLiteral("ddMMyyyy_HHmmss"));
}

QString BackupFileName(const QString& folder, const QString& database, const QString& stamp) {
  const QString prefix = database.left(database.indexOf('.'));
  return folder + separator() + prefix + '_' + stamp + ".FBK";
}

QString StampToRestoreDate(const QString& stamp) {
  return range(stamp, 5, 8) + '.' + range(stamp, 3, 4) + '.' + range(stamp, 1, 2) + ' ' + range(stamp, 10, 11) + ':' +
         range(stamp, 12, 13) + ':' + range(stamp, 14, 15);
}

QString RestoreDateToStamp(const QString& date) {
  return range(date, 9, 10) + range(date, 6, 7) + range(date, 1, 4) + '_' + range(date, 12, 13) + range(date, 15, 16) +
         range(date, 18, 19);
}
