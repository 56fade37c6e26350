#pragma once

#include <QString>
#include <QUrl>

class QWidget;

enum class MessageIcon { Error, Information };

/// How one of the window's folder dialogs looks.
struct FolderDialogStyle {
  bool newStyle = false;  ///< resizable, with a button that makes a new folder
  bool centred = false;   ///< centred on the screen rather than where the toolkit puts it
};

/// Every modal dialog the tool shows goes through here, so that a test can
/// answer it.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  /// A message box with one OK button.
  virtual void messageBox(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
  /// The error dialog of a failed step: title "Error", one "OK" button.
  virtual void errorDialog(QWidget* parent, const QString& text) = 0;
  /// A folder picker opened on startFolder; an empty URL when cancelled.
  virtual QUrl chooseFolder(QWidget* parent, const FolderDialogStyle& style, const QString& startFolder) = 0;
};

/// The dialogs in use: real Qt dialogs unless a test installed its own.
Dialogs& dialogs();
/// Installs replacement dialogs (not owned); nullptr restores the real ones.
void setDialogs(Dialogs* replacement);
