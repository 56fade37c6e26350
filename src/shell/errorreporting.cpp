#include "shell/errorreporting.h"

#include "shell/dialogs.h"
#include "shell/environment.h"
#include "shell/errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#define BACKWARD_HAS_DW 1
#include <backward.hpp>

#include <csignal>
#include <cstdio>
#include <sstream>

namespace {

Edition::Reporting reporting = Edition::Reporting::MessageBox;
QString reportFolder;

QString errorText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Error& e) {
    return e.message();
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
}

std::string stackTrace(int skip) {
  backward::StackTrace trace;
  trace.load_here(48);
  trace.skip_n_firsts(static_cast<size_t>(skip));
  backward::Printer printer;
  printer.color_mode = backward::ColorMode::never;
  printer.address = true;
  std::ostringstream out;
  printer.print(trace, out);
  return out.str();
}

QString writeReport(const QString& kind, const QString& text, const std::string& trace) {
  const QString folder = crashReportFolder();
  QDir().mkpath(folder);
  const QDateTime now = QDateTime::currentDateTime();
  const QString path =
      folder + '/' + QCoreApplication::applicationName() + '-' + now.toString("yyyyMMdd-HHmmsszzz") + ".txt";
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return {};
  QByteArray report;
  report += "Time: " + now.toString(Qt::ISODateWithMs).toUtf8() + '\n';
  report += "Program: " + QCoreApplication::applicationFilePath().toUtf8() + '\n';
  report += "Version: " + QCoreApplication::applicationVersion().toUtf8() + '\n';
  report += "Error: " + kind.toUtf8() + ": " + text.toUtf8() + "\n\n";
  report += QByteArray::fromStdString(trace);
  file.write(report);
  return path;
}

extern "C" void onFatalSignal(int signal) {
  // Best effort: the process is going down anyway.
  const std::string trace = stackTrace(2);
  writeReport(QStringLiteral("Signal"), QString::fromLatin1(strsignal(signal)), trace);
  std::fputs(trace.c_str(), stderr);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

QString applicationTitle() {
  QString name = QFileInfo(environment().executablePath).fileName();
  name = name.left(name.indexOf('.') < 0 ? name.size() : name.indexOf('.'));
  return name.left(1) + name.mid(1).toLower();
}

QString messageBoxText(const QString& text) {
  if (!text.isEmpty() && text.back().unicode() > QChar('.').unicode()) return text + '.';
  return text;
}

void reportUnhandledError(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const SilentAbort&) {
    return;
  } catch (...) {
  }
  const QString text = errorText(error);
  if (reporting == Edition::Reporting::CrashReporter) {
    const QString path = writeReport(QStringLiteral("Unhandled error"), text, stackTrace(2));
    const QString shown = path.isEmpty() ? text : text + QStringLiteral("\n\nReport: ") + path;
    dialogs().messageBox(nullptr, applicationTitle(), shown, MessageIcon::Error);
  } else {
    dialogs().messageBox(nullptr, applicationTitle(), messageBoxText(text), MessageIcon::Error);
  }
}

BasekeepApplication::BasekeepApplication(int& argc, char** argv, const Edition& edition) : QApplication(argc, argv) {
  installErrorReporting(edition);
}

bool BasekeepApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    reportUnhandledError(std::current_exception());
    return false;
  }
}

void installErrorReporting(const Edition& edition) {
  reporting = edition.reporting;
  if (reporting != Edition::Reporting::CrashReporter) return;
  for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGILL, SIGBUS}) std::signal(signal, onFatalSignal);
}

void setCrashReportFolder(const QString& folder) { reportFolder = folder; }

QString crashReportFolder() {
  if (!reportFolder.isEmpty()) return reportFolder;
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/crash-reports");
}
