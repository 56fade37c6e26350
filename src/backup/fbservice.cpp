#include "backup/fbservice.h"

#include "platform/platform.h"
#include "shell/environment.h"

#include <QLibrary>

#include <map>
#include <memory>
#include <mutex>

// The entry points the tool takes from the client library, resolved once.
struct FbClientLibrary {
  using Attach = ISC_STATUS (*)(ISC_STATUS*, unsigned short, const ISC_SCHAR*, isc_svc_handle*, unsigned short,
                                const ISC_SCHAR*);
  using Detach = ISC_STATUS (*)(ISC_STATUS*, isc_svc_handle*);
  using Start = ISC_STATUS (*)(ISC_STATUS*, isc_svc_handle*, isc_resv_handle*, unsigned short, const ISC_SCHAR*);
  using Query = ISC_STATUS (*)(ISC_STATUS*, isc_svc_handle*, isc_resv_handle*, unsigned short, const ISC_SCHAR*,
                               unsigned short, const ISC_SCHAR*, unsigned short, ISC_SCHAR*);
  using Interpret = ISC_LONG (*)(ISC_SCHAR*, unsigned int, const ISC_STATUS**);

  QLibrary library;
  Attach attach = nullptr;
  Detach detach = nullptr;
  Start start = nullptr;
  Query query = nullptr;
  Interpret interpret = nullptr;

  // Loaded at the first attach that names the path and kept for the life of
  // the process, as the library keeps state of its own.
  static FbClientLibrary& load(const QString& path) {
    static std::mutex mutex;
    static std::map<QString, std::unique_ptr<FbClientLibrary>> loaded;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = loaded.find(path);
    if (found != loaded.end()) return *found->second;
    if (path.isEmpty()) throw Error(QStringLiteral("No Firebird client library is set"));
    auto lib = std::make_unique<FbClientLibrary>();
    lib->library.setFileName(path);
    if (!lib->library.load())
      throw Error(
          QStringLiteral("Cannot load the Firebird client library %1: %2").arg(path, lib->library.errorString()));
    lib->resolve(lib->attach, "isc_service_attach");
    lib->resolve(lib->detach, "isc_service_detach");
    lib->resolve(lib->start, "isc_service_start");
    lib->resolve(lib->query, "isc_service_query");
    lib->resolve(lib->interpret, "fb_interpret");
    return *loaded.emplace(path, std::move(lib)).first->second;
  }

 private:
  template <typename F>
  void resolve(F& target, const char* name) {
    target = reinterpret_cast<F>(library.resolve(name));
    if (target == nullptr)
      throw Error(QStringLiteral("The Firebird client library %1 has no entry point %2")
                      .arg(library.fileName(), QString::fromLatin1(name)));
  }
};

namespace {

constexpr int statusLength = 20;
// Room for any line the server writes. Not the largest buffer the query
// takes: a 64 KiB reply buffer made each query so much slower on a local
// server that a verbose backup took half as long again; up to 32 KiB costs
// nothing measurable.
constexpr size_t replySize = 16384;

uint16_t read16(const char* p) {
  return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
}

}  // namespace

void SpbBuilder::shortString(uint8_t tag, const QByteArray& value, const char* what) {
  if (value.size() > 255)
    throw Error(QStringLiteral("The %1 is too long for the service request (%2 bytes, at most 255)")
                    .arg(QString::fromLatin1(what))
                    .arg(value.size()));
  byte(tag);
  byte(static_cast<uint8_t>(value.size()));
  bytes_.append(value);
}

void SpbBuilder::longString(uint8_t tag, const QByteArray& value, const char* what) {
  // The whole block must also fit the 16-bit length of the start call.
  if (value.size() > 65535 - 3 - bytes_.size() - 64)
    throw Error(QStringLiteral("The %1 is too long for the service request (%2 bytes)")
                    .arg(QString::fromLatin1(what))
                    .arg(value.size()));
  byte(tag);
  byte(static_cast<uint8_t>(value.size() & 0xff));
  byte(static_cast<uint8_t>(value.size() >> 8));
  bytes_.append(value);
}

void SpbBuilder::integer(uint8_t tag, uint32_t value) {
  byte(tag);
  for (int shift = 0; shift < 32; shift += 8) byte(static_cast<uint8_t>(value >> shift));
}

ServiceLine parseLineReply(const char* reply, size_t size) {
  const auto unexpected = [](const QString& what) {
    return Error(QStringLiteral("The service manager sent a reply of unexpected form: %1").arg(what));
  };
  if (size < 1) throw unexpected(QStringLiteral("empty reply"));
  const auto tag = static_cast<uint8_t>(reply[0]);
  if (tag == isc_info_truncated) throw unexpected(QStringLiteral("the line does not fit the reply buffer"));
  if (tag != isc_info_svc_line) throw unexpected(QStringLiteral("item %1 instead of a line").arg(tag));
  if (size < 3) throw unexpected(QStringLiteral("the line length is cut off"));
  const size_t length = read16(reply + 1);
  if (3 + length > size) throw unexpected(QStringLiteral("a line of %1 bytes runs past the reply").arg(length));
  ServiceLine line;
  line.text = QByteArray(reply + 3, static_cast<qsizetype>(length));
  for (size_t pos = 3 + length; pos < size; ++pos) {
    const auto flag = static_cast<uint8_t>(reply[pos]);
    if (flag == isc_info_end) {
      line.end = length == 0 && !line.notYet;
      return line;
    }
    if (flag == isc_info_svc_timeout || flag == isc_info_data_not_ready)
      line.notYet = length == 0;
    else if (flag == isc_info_truncated)
      throw unexpected(QStringLiteral("the line does not fit the reply buffer"));
    else
      throw unexpected(QStringLiteral("item %1 after a line").arg(flag));
  }
  throw unexpected(QStringLiteral("no end marker"));
}

FbService::~FbService() { detachQuietly(); }

QString FbService::paramValue(const QString& name) const {
  for (const QString& line : Params) {
    const qsizetype eq = line.indexOf('=');
    if (eq >= 0 && line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0) return line.mid(eq + 1);
  }
  return {};
}

void FbService::fail(const ISC_STATUS* status) {
  const long code = status[1];
  QString text;
  if (library_ != nullptr) {
    const ISC_STATUS* cursor = status;
    char buffer[1024];
    while (library_->interpret(buffer, sizeof buffer, &cursor) > 0) {
      if (!text.isEmpty()) text += '\n';
      text += fromLocal8Bit(QByteArray(buffer));
    }
  }
  if (text.isEmpty()) text = QStringLiteral("Firebird error %1").arg(code);
  detachQuietly();
  throw FbError(text, code);
}

void FbService::failOwn(const QString& message) {
  detachQuietly();
  throw Error(message);
}

void FbService::setActive(bool active) {
  if (active == Active()) return;
  ISC_STATUS status[statusLength] = {};
  if (!active) {
    isc_svc_handle handle = handle_;
    handle_ = 0;
    outputFinished_ = true;
    if (library_->detach(status, &handle) != 0 || status[1] != 0) fail(status);
    return;
  }
  library_ = &FbClientLibrary::load(LibraryName);
  SpbBuilder spb;
  spb.byte(isc_spb_version);
  spb.byte(isc_spb_current_version);
  spb.shortString(isc_spb_user_name, toLocal8Bit(paramValue("user_name")), "user name");
  spb.shortString(isc_spb_password, toLocal8Bit(paramValue("password")), "password");
  const QString role = paramValue("sql_role_name");
  if (!role.isEmpty()) spb.shortString(isc_spb_sql_role_name, toLocal8Bit(role), "SQL role name");
  // Paths in start requests travel as UTF-8, whatever the process locale.
  spb.shortString(isc_spb_utf8_filename, {}, "file name flag");
  QByteArray service = "service_mgr";
  if (protocol == Protocol::Local) {
    const std::string config = platform::localServiceConfig();
    if (!config.empty()) spb.shortString(isc_spb_config, QByteArray::fromStdString(config), "configuration");
  } else {
    service = toLocal8Bit(ServerName) + ":service_mgr";
  }
  isc_svc_handle handle = 0;
  if (library_->attach(status, static_cast<unsigned short>(service.size()), service.constData(), &handle,
                       static_cast<unsigned short>(spb.bytes().size()), spb.bytes().constData()) != 0 ||
      status[1] != 0)
    fail(status);
  handle_ = handle;
}

void FbService::detachQuietly() noexcept {
  if (handle_ == 0 || library_ == nullptr) return;
  ISC_STATUS status[statusLength] = {};
  isc_svc_handle handle = handle_;
  handle_ = 0;
  outputFinished_ = true;
  library_->detach(status, &handle);
}

void FbService::ServiceStart() { startRequest(request()); }

void FbService::startRequest(const QByteArray& spb) {
  if (!Active()) throw Error(QStringLiteral("The service is not attached"));
  ISC_STATUS status[statusLength] = {};
  if (library_->start(status, &handle_, nullptr, static_cast<unsigned short>(spb.size()), spb.constData()) != 0 ||
      status[1] != 0)
    fail(status);
  outputFinished_ = false;
}

QString FbService::NextOutputLine() {
  if (!Active()) throw Error(QStringLiteral("The service is not attached"));
  if (outputFinished_) return {};
  reply_.resize(replySize);
  const char items[] = {isc_info_svc_line};
  for (;;) {
    ISC_STATUS status[statusLength] = {};
    if (library_->query(status, &handle_, nullptr, 0, nullptr, sizeof items, items, replySize, reply_.data()) != 0 ||
        status[1] != 0)
      fail(status);
    ServiceLine line;
    try {
      line = parseLineReply(reply_.constData(), replySize);
    } catch (const Error& error) {
      failOwn(error.message());
    }
    if (line.notYet) continue;
    if (line.end) outputFinished_ = true;
    return fromLocal8Bit(line.text);
  }
}

QByteArray FbBackupService::request() const {
  if (BackupFile.isEmpty()) throw Error(QStringLiteral("No backup file is set"));
  SpbBuilder spb;
  spb.byte(isc_action_svc_backup);
  spb.longString(isc_spb_dbname, pathBytes(DatabaseName), "database path");
  spb.integer(isc_spb_options, Options);
  if (Verbose) spb.byte(isc_spb_verbose);
  if (BlockingFactor != 0) spb.integer(isc_spb_bkp_factor, BlockingFactor);
  spb.longString(isc_spb_bkp_file, pathBytes(BackupFile.first()), "backup file path");
  return spb.bytes();
}

QByteArray FbRestoreService::request() const {
  if (BackupFile.isEmpty() || DatabaseName.isEmpty()) throw Error(QStringLiteral("No backup file or database is set"));
  SpbBuilder spb;
  spb.byte(isc_action_svc_restore);
  spb.integer(isc_spb_options, Options);
  if (Verbose) spb.byte(isc_spb_verbose);
  if (PageSize != 0) spb.integer(isc_spb_res_page_size, PageSize);
  if (PageBuffers != 0) spb.integer(isc_spb_res_buffers, PageBuffers);
  spb.longString(isc_spb_bkp_file, pathBytes(BackupFile.first()), "backup file path");
  spb.longString(isc_spb_dbname, pathBytes(DatabaseName.first()), "database path");
  return spb.bytes();
}
