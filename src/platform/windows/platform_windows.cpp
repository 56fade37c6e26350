#include "platform/platform.h"

#include <shlobj.h>
#include <windows.h>

#include <vector>

namespace platform {

char separator() { return '\\'; }

std::string executablePath() {
  std::vector<char> buffer(MAX_PATH * 4, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::string(buffer.data(), length);
}

std::string programFilesFolder() {
  char buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_PROGRAM_FILES, TRUE)) return {};
  return buffer;
}

std::string firebirdRoot() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Firebird Project\\Firebird Server\\Instances", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return {};
  char value[1024] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  std::string root;
  if (RegQueryValueExA(key, "DefaultInstance", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ)
    root = value;
  RegCloseKey(key);
  return root;
}

bool setCurrentDirectory(const std::string& path) { return !path.empty() && SetCurrentDirectoryA(path.c_str()) != 0; }

std::string currentDirectory() {
  char buffer[MAX_PATH * 4] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, length);
}

std::string clientLibraryFileName() { return "fbclient.dll"; }

std::string clientLibraryFolder() { return "bin"; }

std::string localServiceConfig() { return {}; }

static std::string convert(const std::string& text, UINT from, UINT to) {
  if (text.empty()) return {};
  const int wide = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring buffer(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), buffer.data(), wide);
  const int narrow = WideCharToMultiByte(to, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(narrow), '\0');
  WideCharToMultiByte(to, 0, buffer.data(), wide, result.data(), narrow, nullptr, nullptr);
  return result;
}

std::string local8BitToUtf8(const std::string& text) { return convert(text, CP_ACP, CP_UTF8); }

std::string utf8ToLocal8Bit(const std::string& text) { return convert(text, CP_UTF8, CP_ACP); }

std::string lineEnding() { return "\r\n"; }

}  // namespace platform
