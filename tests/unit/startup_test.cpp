#include "shell/startup.h"
#include "shell/environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../support/printers.h"

namespace {

// A machine in a temporary folder: the executable's folder, a Firebird root
// and a program-files folder, each with or without what start-up looks for.
struct Layout {
  const char* name;
  bool libraryBeside;
  bool libraryUnderRoot;
  const char* root;  // relative to the temporary folder; "" for none
  bool basekeep;
  QString expected;  // relative; "" when not found
};

void touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(Startup, LocatesClientLibrary) {
  const std::vector<Layout> cases = {
      {"beside wins", true, true, "fb/", true, "app/libfbclient.so.2"},
      {"root with separator", false, true, "fb/", true, "fb//lib/libfbclient.so.2"},
      {"root without separator fails the test", false, true, "fb", true, ""},
      {"no root", false, false, "", true, ""},
      {"Basekeep3 ignores the root", false, true, "fb/", false, ""},
      {"Basekeep3 beside", true, false, "", false, "app/libfbclient.so.2"},
  };
  for (const Layout& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const Environment saved = environment();
    environment().executablePath = dir.path() + "/app/Basekeep";
    environment().clientLibraryFileName = "libfbclient.so.2";
    environment().clientLibraryFolder = "lib";
    QDir().mkpath(dir.path() + "/app");
    if (c.libraryBeside) touch(dir.path() + "/app/libfbclient.so.2");
    if (c.libraryUnderRoot) touch(dir.path() + "/fb/lib/libfbclient.so.2");
    const QString root = QString(c.root).isEmpty() ? QString() : dir.path() + '/' + c.root;
    const LibraryLookup found = locateClientLibrary(c.basekeep ? Edition::basekeep() : Edition::basekeep3(), root);
    EXPECT_EQ(found.path, c.expected.isEmpty() ? QString() : dir.path() + '/' + c.expected);
    environment() = saved;
  }
}

TEST(Startup, FolderNamedLikeTheLibraryDoesNotCount) {
  QTemporaryDir dir;
  const Environment saved = environment();
  environment().executablePath = dir.path() + "/Basekeep";
  QDir().mkpath(dir.path() + "/libfbclient.so.2");
  EXPECT_FALSE(locateClientLibrary(Edition::basekeep3(), {}).found());
  environment() = saved;
}

TEST(Startup, FirebirdRootBecomesCurrentDirectoryOnlyWhenItExists) {
  QTemporaryDir dir;
  const Environment saved = environment();
  std::vector<QString> entered;
  environment().setCurrentDirectory = [&](const QString& p) {
    if (!QFileInfo(p).isDir()) return false;
    entered.push_back(p);
    return true;
  };
  environment().firebirdRoot = [&] { return dir.path() + "/"; };
  EXPECT_EQ(GetFirebirdRoot(), dir.path() + "/");
  environment().firebirdRoot = [&] { return dir.path() + "/missing/"; };
  EXPECT_EQ(GetFirebirdRoot(), "");
  environment().firebirdRoot = [] { return QString(); };
  EXPECT_EQ(GetFirebirdRoot(), "");
  EXPECT_EQ(entered, std::vector<QString>{dir.path() + "/"});
  environment() = saved;
}

TEST(Startup, DefaultDatabaseFolderNeedsTheMarkerFile) {
  QTemporaryDir dir;
  const Environment saved = environment();
  environment().programFilesFolder = dir.path();
  const QString folder = dir.path() + "/Koru/Server/DB";
  EXPECT_EQ(defaultDatabaseFolder(), "");
  QDir().mkpath(folder + "/cbase.fdb");  // a folder is no marker
  EXPECT_EQ(defaultDatabaseFolder(), "");
  QDir().rmdir(folder + "/cbase.fdb");
  touch(folder + "/CBASE.FDB");  // any letter case
  EXPECT_EQ(defaultDatabaseFolder(), folder);
  environment() = saved;
}

}  // namespace
