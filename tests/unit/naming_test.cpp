#include "backup/backupnaming.h"

#include <gtest/gtest.h>

#include "../support/printers.h"

namespace {

const QDateTime evening(QDate(2015, 6, 19), QTime(21, 5, 7));
const QDateTime morning(QDate(2015, 6, 19), QTime(9, 5, 7));
const QDateTime midnight(QDate(2015, 6, 20), QTime(0, 0, 0));

RegionalFormats twelveHour() {
  RegionalFormats f;
  f.twelveHour = true;
  return f;
}

RegionalFormats noLeadingZero() {
  RegionalFormats f;
  f.hourLeadingZero = false;
  return f;
}

struct StampCase {
  const char* name;
  RegionalFormats formats;
  QDateTime when;
  QString regional;  // the stamp as the regional formats write it
  QString stamp;     // the stamp the run writes
};

TEST(BackupStamp, FromRegionalFormats) {
  const std::vector<StampCase> cases = {
      {"normal form", RegionalFormats{}, evening, "19062015_210507", "19062015_210507"},
      {"midnight", RegionalFormats{}, midnight, "20062015_000000", "20062015_000000"},
      {"ru_RU", RegionalFormats::fromLocale(QLocale("ru_RU")), evening, "19062015_210507", "19062015_210507"},
      {"de_DE", RegionalFormats::fromLocale(QLocale("de_DE")), evening, "190615_210507", "19062015_210507"},
      {"en_US has slashes", RegionalFormats::fromLocale(QLocale("en_US")), evening, "6/19/15_90507 PM",
       "19062015_210507"},
      {"12-hour clock", twelveHour(), evening, "19062015_090507 PM", "19062015_210507"},
      {"hour without zero, morning", noLeadingZero(), morning, "19062015_90507", "19062015_90507"},
      {"hour without zero, evening", noLeadingZero(), evening, "19062015_210507", "19062015_210507"},
  };
  for (const StampCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(regionalBackupStamp(c.formats, c.when), c.regional);
    const QString stamp = MakeBackupStamp(c.formats, c.when);
    EXPECT_EQ(stamp, c.stamp);
    EXPECT_EQ(RestoreDateToStamp(StampToRestoreDate(stamp)), stamp);
  }
}

TEST(BackupStamp, TimeTextFollowsRegionalValues) {
  RegionalFormats f;
  EXPECT_EQ(timeText(f, QTime(21, 5, 7)), "21:05:07");
  f.timeSeparator = ".";
  f.hourLeadingZero = false;
  EXPECT_EQ(timeText(f, QTime(9, 5, 7)), "9.05.07");
  f = twelveHour();
  EXPECT_EQ(timeText(f, QTime(0, 1, 2)), "12:01:02 AM");
  EXPECT_EQ(timeText(f, QTime(12, 0, 0)), "12:00:00 PM");
  f.designatorFirst = true;
  EXPECT_EQ(timeText(f, QTime(13, 0, 0)), "PM 13:00:00");
}

TEST(RestoreDate, ConvertsByPosition) {
  EXPECT_EQ(StampToRestoreDate("19062015_210507"), "2015.06.19 21:05:07");
  EXPECT_EQ(RestoreDateToStamp("2015.06.19 21:05:07"), "19062015_210507");
  EXPECT_EQ(StampToRestoreDate("20062015_000000"), "2015.06.20 00:00:00");
  EXPECT_EQ(StampToRestoreDate("19062015_90507"), "2015.06.19 90:50:7");
  EXPECT_EQ(StampToRestoreDate(""), ".. ::");
  EXPECT_EQ(StampToRestoreDate("0102"), ".02.01 ::");
  EXPECT_LT(StampToRestoreDate("31122014_235959"), StampToRestoreDate("01012015_000000"));
  EXPECT_LT(StampToRestoreDate("01012015_000000"), StampToRestoreDate("01012015_090000"));
}

TEST(BackupFileName, JoinsWithoutTrimming) {
  EXPECT_EQ(BackupFileName("/backups", cbaseName, "19062015_210507"), "/backups/CBASE_19062015_210507.FBK");
  EXPECT_EQ(BackupFileName("/backups", gbaseName, "19062015_210507"), "/backups/GBASE_19062015_210507.FBK");
  EXPECT_EQ(BackupFileName("/", cbaseName, "x"), "//CBASE_x.FBK");
}

}  // namespace
