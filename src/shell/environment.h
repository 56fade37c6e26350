#pragma once

#include <QString>

#include <functional>

/// What the tool takes from the operating system, gathered in one record so
/// that a test can point each fact at a temporary folder.
struct Environment {
  QString executablePath;
  QString programFilesFolder;
  /// Looks up the local Firebird server's root (no change of directory).
  std::function<QString()> firebirdRoot;
  std::function<bool(const QString&)> setCurrentDirectory;
  std::function<QString()> currentDirectory;
  QString clientLibraryFileName;
  QString clientLibraryFolder;

  /// The facts of the machine the process runs on.
  static Environment fromPlatform();
};

/// The environment the process uses; tests may replace its fields.
Environment& environment();

/// The platform's path separator as text.
QString separator();

/// Folder part of the executable's path, with its trailing separator.
QString executableFolder();

/// Conversions between QString and the local 8-bit encoding of files and paths.
QByteArray toLocal8Bit(const QString& text);
QString fromLocal8Bit(const QByteArray& text);
