#pragma once

#include <QByteArray>
#include <QString>

/// Path of the settings file beside the executable, composed as the tool
/// always has: the executable's folder, then "<sep>backup" and ".ini".
QString settingsFilePath();

/// The value of key in section, or def when the file, section or key is absent.
QString ReadSetting(const QString& section, const QString& key, const QString& def);

/// Stores value under key in section, replacing the file atomically.
/// Throws Error("Unable to write to <path>") when the file cannot be written.
void WriteSetting(const QString& section, const QString& key, const QString& value);

namespace ini {

/// Longest value a read returns, in characters.
constexpr int maxValueLength = 2047;

/// Profile-file lookup over the bytes of a file; null when absent.
QString readValue(const QByteArray& content, const QString& section, const QString& key);

/// The bytes of the file after storing value; every other byte stays.
QByteArray writeValue(const QByteArray& content, const QString& section, const QString& key, const QString& value,
                      const QByteArray& newLine);

}  // namespace ini
