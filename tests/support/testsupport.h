#pragma once

#include "shell/dialogs.h"
#include "shell/environment.h"

#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include "printers.h"

#include <deque>
#include <functional>
#include <vector>

/// Records every dialog the tool shows and answers it as the test says.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    QString kind;  ///< "message", "error" or "folder"
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Error;
  };

  ScriptedDialogs() { setDialogs(this); }
  ~ScriptedDialogs() override { setDialogs(nullptr); }

  void messageBox(QWidget*, const QString& title, const QString& text, MessageIcon icon) override {
    shown.push_back({"message", title, text, icon});
    if (onShown) onShown();
  }
  void errorDialog(QWidget*, const QString& text) override {
    shown.push_back({"error", "Error", text, MessageIcon::Error});
    if (onShown) onShown();
  }
  QUrl chooseFolder(QWidget*, const FolderDialogStyle& style, const QString& startFolder) override {
    shown.push_back({"folder", {}, startFolder, MessageIcon::Information});
    styles.push_back(style);
    if (folderAnswers.empty()) return {};
    QUrl answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
  }

  /// The texts of the shown dialogs of one kind, in order.
  std::vector<QString> texts(const QString& kind) const;

  std::vector<Shown> shown;
  std::vector<FolderDialogStyle> styles;
  std::deque<QUrl> folderAnswers;
  std::function<void()> onShown;
};

/// A throw-away machine: executable folder, program-files folder, Firebird
/// root and working folder under one temporary folder.
class TempMachine {
 public:
  TempMachine();
  ~TempMachine();

  QString path(const QString& relative) const { return dir.path() + '/' + relative; }
  /// Creates a file (and its folders) with the given bytes.
  QString write(const QString& relative, const QByteArray& content = {}) const;
  QByteArray read(const QString& relative) const;
  /// Folder of the executable, without a trailing separator.
  QString exeDir() const { return path("app"); }

  QTemporaryDir dir;
  QString root;                      ///< what the Firebird root lookup answers
  std::vector<QString> directories;  ///< current directories that start-up set

 private:
  Environment saved_;
};

/// Text of a whole log, one entry a line.
QStringList logLines(const QString& text);
