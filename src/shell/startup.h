#pragma once

#include "shell/edition.h"

#include <QString>

/// The program-files folder, or "" when the system cannot give it.
QString GetSpecialFolder();

/// The local Firebird server's root, made the current directory. A missing
/// root, or one that cannot be entered, counts as not found: "" and no change.
QString GetFirebirdRoot();

/// Where the client library was found; an empty path means nowhere.
struct LibraryLookup {
  QString path;
  bool found() const { return !path.isEmpty(); }
};

/// Looks for the client library beside the executable, then (where the
/// edition asks for it) under the given Firebird root.
LibraryLookup locateClientLibrary(const Edition& edition, const QString& firebirdRoot);

/// The message shown when the client library is missing.
QString missingLibraryMessage();

/// The default database folder when the installed product's marker file
/// exists, or "".
QString defaultDatabaseFolder();

/// True when a file, not a folder, exists at the path.
bool fileExists(const QString& path);
