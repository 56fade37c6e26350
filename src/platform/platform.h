#pragma once

// Everything the tool needs to know about the operating system. Plain C++
// with no Qt types, so that each OS file can be built and tested on its own.

#include <string>

namespace platform {

/// The platform's path separator, used wherever a fixed path piece is joined.
char separator();

/// Full path of the running executable.
std::string executablePath();

/// The program-files folder, or "" when the system cannot give it.
std::string programFilesFolder();

/// The local Firebird server's installation root with a trailing separator,
/// or "" when no installation is found.
std::string firebirdRoot();

/// Makes the folder the process's current directory; false when it cannot.
bool setCurrentDirectory(const std::string& path);

/// The process's current directory.
std::string currentDirectory();

/// File name of the Firebird client library ("fbclient.dll", "libfbclient.so.2").
std::string clientLibraryFileName();

/// Folder below a Firebird root that holds the client library ("bin", "lib").
std::string clientLibraryFolder();

/// Extra configuration text for an attach to the local service manager that
/// makes it go through the local server ("" where the plain name already does).
std::string localServiceConfig();

/// Converts text in the local 8-bit encoding to UTF-8, and back.
std::string local8BitToUtf8(const std::string& text);
std::string utf8ToLocal8Bit(const std::string& text);

/// Line ending of a text file written anew.
std::string lineEnding();

}  // namespace platform
