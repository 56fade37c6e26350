#include "shell/settings.h"

#include "platform/platform.h"
#include "shell/environment.h"
#include "shell/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

namespace {

struct Line {
  QByteArray text;    // without its ending
  QByteArray ending;  // "\r\n", "\n" or "" for a last line without one
};

QList<Line> splitLines(const QByteArray& content) {
  QList<Line> lines;
  qsizetype start = 0;
  while (start < content.size()) {
    qsizetype end = content.indexOf('\n', start);
    if (end < 0) {
      lines.append({content.mid(start), {}});
      break;
    }
    qsizetype textEnd = end;
    if (textEnd > start && content[textEnd - 1] == '\r') --textEnd;
    lines.append({content.mid(start, textEnd - start), content.mid(textEnd, end + 1 - textEnd)});
    start = end + 1;
  }
  return lines;
}

bool sameName(const QByteArray& stored, const QString& wanted) {
  return fromLocal8Bit(stored.trimmed()).compare(wanted, Qt::CaseInsensitive) == 0;
}

// The section name of a header line, or null when the line is no header.
QByteArray sectionName(const QByteArray& line) {
  const QByteArray text = line.trimmed();
  if (!text.startsWith('[')) return {};
  const qsizetype close = text.indexOf(']');
  QByteArray name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
  if (name.isNull()) name = "";
  return name;
}

bool isKeyLine(const QByteArray& line, const QString& key) {
  const QByteArray text = line.trimmed();
  if (text.startsWith(';')) return false;
  const qsizetype eq = text.indexOf('=');
  return eq >= 0 && sameName(text.left(eq), key);
}

QByteArray join(const QList<Line>& lines) {
  QByteArray out;
  for (const Line& line : lines) out += line.text + line.ending;
  return out;
}

}  // namespace

namespace ini {

QString readValue(const QByteArray& content, const QString& section, const QString& key) {
  bool inSection = false;
  for (const Line& line : splitLines(content)) {
    const QByteArray name = sectionName(line.text);
    if (!name.isNull()) {
      inSection = sameName(name, section);
      continue;
    }
    if (!inSection || !isKeyLine(line.text, key)) continue;
    QByteArray value = line.text.mid(line.text.indexOf('=') + 1).trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.mid(1, value.size() - 2);
    return fromLocal8Bit(value).left(maxValueLength);
  }
  return {};
}

QByteArray writeValue(const QByteArray& content, const QString& section, const QString& key, const QString& value,
                      const QByteArray& newLine) {
  QList<Line> lines = splitLines(content);
  const QByteArray entry = toLocal8Bit(key) + '=' + toLocal8Bit(value);
  qsizetype header = -1;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QByteArray name = sectionName(lines[i].text);
    if (!name.isNull() && sameName(name, section)) {
      header = i;
      break;
    }
  }
  if (header < 0) {
    if (!lines.isEmpty() && lines.back().ending.isEmpty()) lines.back().ending = newLine;
    lines.append({'[' + toLocal8Bit(section) + ']', newLine});
    lines.append({entry, newLine});
    return join(lines);
  }
  qsizetype lastFilled = header;
  for (qsizetype i = header + 1; i < lines.size() && sectionName(lines[i].text).isNull(); ++i) {
    if (isKeyLine(lines[i].text, key)) {
      lines[i].text = entry;
      return join(lines);
    }
    if (!lines[i].text.trimmed().isEmpty()) lastFilled = i;
  }
  if (lines[lastFilled].ending.isEmpty()) lines[lastFilled].ending = newLine;
  lines.insert(lastFilled + 1, {entry, newLine});
  return join(lines);
}

}  // namespace ini

QString settingsFilePath() { return executableFolder() + separator() + "backup" + ".ini"; }

QString ReadSetting(const QString& section, const QString& key, const QString& def) {
  QFile file(settingsFilePath());
  if (!file.open(QIODevice::ReadOnly)) return def;
  const QString value = ini::readValue(file.readAll(), section, key);
  return value.isNull() ? def : value;
}

void WriteSetting(const QString& section, const QString& key, const QString& value) {
  const QString path = settingsFilePath();
  const QString refused = QStringLiteral("Unable to write to %1").arg(path);
  if (value.contains('\n') || value.contains('\r'))
    throw Error(refused + QStringLiteral(": a value may not hold a line break"));
  QByteArray content;
  QFile current(path);
  if (current.exists()) {
    // A file marked read-only is refused even where the user could write
    // through the mark, as root can.
    const QFileInfo info(path);
    if (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner) || !current.open(QIODevice::ReadOnly))
      throw Error(refused);
    content = current.readAll();
    current.close();
  }
  QByteArray newLine = QByteArray::fromStdString(platform::lineEnding());
  if (content.contains("\r\n"))
    newLine = "\r\n";
  else if (content.contains('\n'))
    newLine = "\n";
  // A new file in the same folder, renamed over the old one: a crash or a
  // full disk leaves either the old file or the new one, never half of it.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw Error(refused);
  const QByteArray updated = ini::writeValue(content, section, key, value, newLine);
  if (file.write(updated) != updated.size() || !file.commit()) throw Error(refused);
}
