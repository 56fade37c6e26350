#pragma once

#include "shell/errors.h"

#include <ibase.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

struct FbClientLibrary;

/// An error the server or the client library reported; carries the
/// server's status text and its first status code.
class FbError : public Error {
 public:
  FbError(QString message, long code) : Error(std::move(message)), code_(code) {}
  long code() const { return code_; }

 private:
  long code_;
};

/// Builds a services parameter block, refusing what does not fit.
class SpbBuilder {
 public:
  void byte(uint8_t value) { bytes_.append(static_cast<char>(value)); }
  /// tag, 1-byte length, bytes (attach blocks).
  void shortString(uint8_t tag, const QByteArray& value, const char* what);
  /// tag, 2-byte little-endian length, bytes (start blocks).
  void longString(uint8_t tag, const QByteArray& value, const char* what);
  /// tag, 4-byte little-endian value.
  void integer(uint8_t tag, uint32_t value);
  const QByteArray& bytes() const { return bytes_; }

 private:
  QByteArray bytes_;
};

/// One line of a reply to isc_info_svc_line.
struct ServiceLine {
  QByteArray text;
  bool end = false;     ///< the output is finished
  bool notYet = false;  ///< nothing yet: ask again
};

/// Reads a reply to an isc_info_svc_line query, never past its end.
ServiceLine parseLineReply(const char* reply, size_t size);

/// A connection to the server's service manager that runs one service at a
/// time and hands its output back line by line.
class FbService {
 public:
  enum class Protocol { Local, TcpIp };

  FbService() = default;
  FbService(const FbService&) = delete;
  FbService& operator=(const FbService&) = delete;
  virtual ~FbService();

  QString LibraryName;
  QStringList Params;  ///< name=value lines: user_name, password, sql_role_name
  bool LoginPrompt = false;
  Protocol protocol = Protocol::Local;
  QString ServerName;

  bool Active() const { return handle_ != 0; }
  /// Attaches or detaches; a failure throws and leaves the service detached.
  void setActive(bool active);
  /// Detaches without reporting a failure.
  void detachQuietly() noexcept;

  /// Sends the start request of this service.
  void ServiceStart();
  /// The next line of output; the empty text at its end.
  QString NextOutputLine();
  bool OutputFinished() const { return outputFinished_; }

  /// Sends a start request built by the caller, for services of its own.
  void startRequest(const QByteArray& spb);

 protected:
  /// The start request this service sends.
  virtual QByteArray request() const = 0;
  /// A path for a start block: UTF-8, as the attach block announces.
  static QByteArray pathBytes(const QString& path) { return path.toUtf8(); }

 private:
  [[noreturn]] void fail(const ISC_STATUS* status);
  [[noreturn]] void failOwn(const QString& message);
  QString paramValue(const QString& name) const;

  FbClientLibrary* library_ = nullptr;
  isc_svc_handle handle_ = 0;
  bool outputFinished_ = true;
  QByteArray reply_;
};

/// Backs up DatabaseName into the file of the BackupFile line.
class FbBackupService : public FbService {
 public:
  QString DatabaseName;
  QStringList BackupFile;
  uint32_t Options = 0;
  bool Verbose = false;
  uint32_t BlockingFactor = 0;

 protected:
  QByteArray request() const override;
};

/// Restores the BackupFile line into the DatabaseName line.
class FbRestoreService : public FbService {
 public:
  QStringList BackupFile;
  QStringList DatabaseName;
  uint32_t PageSize = 0;
  uint32_t PageBuffers = 0;
  uint32_t Options = 0;  ///< isc_spb_res_* bits
  bool Verbose = false;

 protected:
  QByteArray request() const override;
};
