#pragma once

#include "shell/edition.h"

#include <QApplication>
#include <QString>

#include <exception>

/// The application title: the executable's file name cut at its first dot,
/// every character after the first in lower case.
QString applicationTitle();

/// An error's text as the message box shows it: with a "." appended when the
/// last character's code is above that of ".".
QString messageBoxText(const QString& text);

/// Routes an error that no handler caught to the edition's reporting.
void reportUnhandledError(std::exception_ptr error);

/// The application object: errors escaping any event handler are reported,
/// and the event loop goes on.
class BasekeepApplication : public QApplication {
  Q_OBJECT
 public:
  BasekeepApplication(int& argc, char** argv, const Edition& edition);
  bool notify(QObject* receiver, QEvent* event) override;
};

/// Sets up how unhandled errors are reported for the edition.
void installErrorReporting(const Edition& edition);

/// Folder that receives crash reports; tests point it elsewhere.
void setCrashReportFolder(const QString& folder);
QString crashReportFolder();
