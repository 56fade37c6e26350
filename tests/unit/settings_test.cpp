#include "shell/settings.h"
#include "shell/environment.h"
#include "shell/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../support/printers.h"

namespace {

struct ReadCase {
  const char* name;
  QByteArray file;
  const char* section;
  const char* key;
  QString expected;  // null: the default comes back
};

TEST(IniRead, FollowsProfileRules) {
  const QString longValue(2047, 'x');
  const std::vector<ReadCase> cases = {
      {"missing section", "[other]\nk=v\n", "main", "db_path", {}},
      {"missing key", "[main]\nbackup_path=/b\n", "main", "db_path", {}},
      {"exact", "[main]\ndb_path=/data/db\n", "main", "db_path", "/data/db"},
      {"case of section and key", "[MAIN]\nDB_Path=/d\n", "main", "db_path", "/d"},
      {"blanks around", "[ main ]\n  db_path =  /d x  \n", "main", "db_path", "/d x"},
      {"quotes stripped", "[main]\ndb_path=\"/d\"\n", "main", "db_path", "/d"},
      {"no comment cut", "[main]\ndb_path=/a;b#c\n", "main", "db_path", "/a;b#c"},
      {"backslashes kept", "[main]\ndb_path=D:\\Backup\n", "main", "db_path", "D:\\Backup"},
      {"CRLF", "[main]\r\ndb_path=/d\r\n", "main", "db_path", "/d"},
      {"Cyrillic", "[main]\ndb_path=/дом/базы\n", "main", "db_path", QString::fromUtf8("/дом/базы")},
      {"other section's key", "[x]\ndb_path=/no\n[main]\n", "main", "db_path", {}},
      {"commented key", "[main]\n;db_path=/no\n", "main", "db_path", {}},
      {"2047 characters", "[main]\nk=" + QByteArray(2047, 'x') + "\n", "main", "k", longValue},
      {"2048 cut to 2047", "[main]\nk=" + QByteArray(2048, 'x') + "\n", "main", "k", longValue},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QString got = ini::readValue(c.file, c.section, c.key);
    EXPECT_EQ(got.isNull(), c.expected.isNull());
    EXPECT_EQ(got, c.expected);
  }
}

struct WriteCase {
  const char* name;
  QByteArray before;
  const char* key;
  const char* value;
  QByteArray after;
};

TEST(IniWrite, ChangesOnlyTheKey) {
  const std::vector<WriteCase> cases = {
      {"new file", "", "db_path", "/d", "[main]\ndb_path=/d\n"},
      {"replace keeps CRLF and comments", "; mine\r\n[Main]\r\nDB_PATH=old\r\nx=1\r\n", "db_path", "/n",
       "; mine\r\n[Main]\r\ndb_path=/n\r\nx=1\r\n"},
      {"append to section before blank line", "[main]\na=1\n\n[other]\nb=2\n", "db_path", "/d",
       "[main]\na=1\ndb_path=/d\n\n[other]\nb=2\n"},
      {"new section after last line without newline", "[other]\nb=2", "db_path", "/d",
       "[other]\nb=2\n[main]\ndb_path=/d\n"},
      {"no escaping", "", "db_path", "D:\\Backup;#\"", "[main]\ndb_path=D:\\Backup;#\"\n"},
      {"Cyrillic as UTF-8", "", "db_path", "/копии", "[main]\ndb_path=/копии\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ini::writeValue(c.before, "main", c.key, QString::fromUtf8(c.value), "\n"), c.after);
  }
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = environment();
    environment().executablePath = dir_.path() + "/Basekeep";
  }
  void TearDown() override { environment() = saved_; }
  QString iniPath() const { return dir_.path() + "/backup.ini"; }

  QTemporaryDir dir_;
  Environment saved_;
};

TEST_F(SettingsFile, PathIsBesideTheExecutable) { EXPECT_EQ(settingsFilePath(), dir_.path() + "//backup.ini"); }

TEST_F(SettingsFile, MissingFileGivesDefaultAndWriteCreatesIt) {
  EXPECT_EQ(ReadSetting("main", "db_path", "dflt"), "dflt");
  WriteSetting("main", "db_path", QString::fromUtf8("/данные/db"));
  WriteSetting("main", "backup_path", "/b");
  EXPECT_EQ(ReadSetting("main", "db_path", ""), QString::fromUtf8("/данные/db"));
  EXPECT_EQ(ReadSetting("main", "backup_path", ""), "/b");
  QFile file(iniPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("[main]\ndb_path=/данные/db\nbackup_path=/b\n"));
}

TEST_F(SettingsFile, RefusedWriteNamesThePathAndKeepsTheFile) {
  // A folder that cannot take the file (missing here, as root writes
  // through permission bits) refuses the write with the composed path.
  environment().executablePath = dir_.path() + "/gone/Basekeep";
  try {
    WriteSetting("main", "db_path", "/x");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), "Unable to write to " + dir_.path() + "/gone//backup.ini");
  }
}

TEST_F(SettingsFile, ReadOnlyFileIsRefused) {
  WriteSetting("main", "db_path", "/old");
  QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  EXPECT_THROW(WriteSetting("main", "db_path", "/new"), Error);
  EXPECT_EQ(ReadSetting("main", "db_path", ""), "/old");
}

TEST_F(SettingsFile, LineBreakInValueIsRefusedAndFileKept) {
  WriteSetting("main", "db_path", "/old");
  EXPECT_THROW(WriteSetting("main", "db_path", "/a\n[evil]"), Error);
  EXPECT_EQ(ReadSetting("main", "db_path", ""), "/old");
}

TEST_F(SettingsFile, ReplaceIsAtomicAndLeavesNoTemporaryFile) {
  QFile seed(iniPath());
  ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
  seed.write("[main]\r\ndb_path=/a\r\n");
  seed.close();
  WriteSetting("main", "db_path", "/b");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.ini"});
  QFile file(iniPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("[main]\r\ndb_path=/b\r\n"));
}

}  // namespace
