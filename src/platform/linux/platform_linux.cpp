#include "platform/platform.h"

#include <glob.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

char separator() { return '/'; }

std::string executablePath() {
  std::vector<char> buffer(PATH_MAX + 1, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), PATH_MAX);
  if (length <= 0) return {};
  return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string programFilesFolder() { return "/opt"; }

static bool isFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string firebirdRoot() {
  // The official installer's root first, then Debian's, whose multiarch
  // folder is found at run time rather than assumed.
  if (isFolder("/opt/firebird/")) return "/opt/firebird/";
  glob_t found{};
  std::string root;
  if (glob("/usr/lib/*/firebird/3.0/", GLOB_ONLYDIR, nullptr, &found) == 0 && found.gl_pathc > 0)
    root = found.gl_pathv[0];
  globfree(&found);
  if (!root.empty() && root.back() != '/') root += '/';
  return root;
}

bool setCurrentDirectory(const std::string& path) { return !path.empty() && chdir(path.c_str()) == 0; }

std::string currentDirectory() {
  std::vector<char> buffer(PATH_MAX + 1, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return {};
  return buffer.data();
}

std::string clientLibraryFileName() { return "libfbclient.so.2"; }

std::string clientLibraryFolder() { return "lib"; }

std::string localServiceConfig() {
  // A host-less service name would load the embedded engine into this
  // process; the loopback provider sends it to the running server instead.
  return "Providers=Loopback";
}

std::string local8BitToUtf8(const std::string& text) { return text; }

std::string utf8ToLocal8Bit(const std::string& text) { return text; }

std::string lineEnding() { return "\n"; }

}  // namespace platform
