#include "restore/catalogue.h"
#include "shell/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../support/printers.h"

namespace {

struct CatalogueCase {
  const char* name;
  QStringList files;
  QStringList dates;
};

TEST(Catalogue, ListsCompleteSetsOnly) {
  const QString d = "2023.02.01 10:10:10";
  const std::vector<CatalogueCase> cases = {
      {"pair", {"CBASE_01022023_101010.FBK", "GBASE_01022023_101010.FBK"}, {d}},
      {"CBASE alone", {"CBASE_01022023_101010.FBK"}, {}},
      {"GBASE alone", {"GBASE_01022023_101010.FBK"}, {}},
      {"lower-case prefix", {"cbase_01022023_101010.FBK", "GBASE_01022023_101010.FBK"}, {}},
      {"lower-case extension on both", {"CBASE_01022023_101010.fbk", "GBASE_01022023_101010.fbk"}, {d}},
      {"extensions differ", {"CBASE_01022023_101010.FBK", "GBASE_01022023_101010.fbk"}, {}},
      {"doubled prefix lists twice",
       {"CBASE_01022023_101010.FBK", "GBASE_01022023_101010.FBK", "CBASE_CBASE_01022023_101010.FBK"},
       {d, d}},
      {"empty stamp", {"CBASE_.FBK", "GBASE_.FBK"}, {".. ::"}},
      {"oldest first",
       {"CBASE_01012015_000000.FBK", "GBASE_01012015_000000.FBK", "CBASE_31122014_235959.FBK",
        "GBASE_31122014_235959.FBK", "CBASE_01012015_090000.FBK", "GBASE_01012015_090000.FBK"},
       {"2014.12.31 23:59:59", "2015.01.01 00:00:00", "2015.01.01 09:00:00"}},
  };
  for (const CatalogueCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(catalogueDates(c.files), c.dates);
  }
}

class Listing : public ::testing::Test {
 protected:
  QString make(const QString& relative) {
    const QString path = dir_.path() + '/' + relative;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(Listing, ReadsVisibleBackupFilesInAnyCase) {
  make("CBASE_1.FBK");
  make("GBASE_1.fbk");
  make(".CBASE_2.FBK");
  make("notes.txt");
  QDir(dir_.path()).mkdir("CBASE_3.FBK");
  FolderListing listing("/");
  int changes = 0;
  listing.setFolder(dir_.path(), [&] { ++changes; });
  EXPECT_EQ(listing.names(), (QStringList{"CBASE_1.FBK", "GBASE_1.fbk"}));
  EXPECT_EQ(changes, 2);  // the first read of the start folder, then this one
}

TEST_F(Listing, SameFolderAgainReadsNothing) {
  FolderListing listing(dir_.path());
  int changes = 0;
  listing.setFolder(dir_.path(), [&] { ++changes; });
  make("CBASE_1.FBK");
  listing.setFolder(dir_.path().toUpper() == dir_.path() ? dir_.path() : dir_.path(), [&] { ++changes; });
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(listing.names().isEmpty());
}

TEST_F(Listing, FolderThatCannotBeEnteredThrowsAndKeepsNames) {
  make("CBASE_1.FBK");
  FolderListing listing("/");
  listing.setFolder(dir_.path(), [] {});
  EXPECT_THROW(listing.setFolder(dir_.path() + "/gone", [] {}), Error);
  EXPECT_EQ(listing.folder(), dir_.path());
  EXPECT_EQ(listing.names(), QStringList{"CBASE_1.FBK"});
}

}  // namespace
