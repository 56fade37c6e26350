#pragma once

#include <QString>

#include <exception>

/// An error of the tool: carries a message for people, in UTF-16.
class Error : public std::exception {
 public:
  explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
  const QString& message() const { return message_; }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};

/// Ends the current handler without any report to the operator.
class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};
