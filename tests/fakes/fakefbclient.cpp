// A stand-in for the Firebird client library, loaded by path in place of the
// real one. Each attach takes the next section of a script that the test
// sets through fake_script():
//   attach-error CODE TEXT | start-error CODE TEXT | query-error CODE TEXT
//   line TEXT | raw HEX | --- (starts the next attach's section)
#include <ibase.h>

#include <cstring>
#include <deque>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Item {
  std::string kind;
  long code = 0;
  std::string text;
};

std::mutex mutex;
std::deque<std::vector<Item>> sections;
std::vector<Item> current;
size_t position = 0;
std::string errorText;
std::string starts;
int attached = 0;

ISC_STATUS fail(ISC_STATUS* status, const Item& item) {
  errorText = item.text;
  status[0] = isc_arg_gds;
  status[1] = item.code;
  status[2] = isc_arg_end;
  return item.code;
}

void ok(ISC_STATUS* status) {
  status[0] = isc_arg_gds;
  status[1] = 0;
  status[2] = isc_arg_end;
}

std::string hex(const char* bytes, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out += digits[static_cast<unsigned char>(bytes[i]) >> 4];
    out += digits[static_cast<unsigned char>(bytes[i]) & 15];
  }
  return out;
}

const Item* find(const char* kind) {
  for (const Item& item : current)
    if (item.kind == kind) return &item;
  return nullptr;
}

}  // namespace

extern "C" {

void fake_script(const char* script) {
  std::lock_guard<std::mutex> lock(mutex);
  sections.clear();
  sections.emplace_back();
  starts.clear();
  std::istringstream in(script);
  std::string line;
  while (std::getline(in, line)) {
    if (line == "---") {
      sections.emplace_back();
      continue;
    }
    std::istringstream words(line);
    Item item;
    words >> item.kind;
    if (item.kind.find("error") != std::string::npos) words >> item.code;
    std::getline(words >> std::ws, item.text);
    if (!item.kind.empty()) sections.back().push_back(item);
  }
}

const char* fake_starts() { return starts.c_str(); }

int fake_attached() { return attached; }

ISC_STATUS isc_service_attach(ISC_STATUS* status, unsigned short, const ISC_SCHAR*, isc_svc_handle* handle,
                              unsigned short, const ISC_SCHAR*) {
  std::lock_guard<std::mutex> lock(mutex);
  current = sections.empty() ? std::vector<Item>{} : sections.front();
  if (!sections.empty()) sections.pop_front();
  position = 0;
  if (const Item* error = find("attach-error")) return fail(status, *error);
  ok(status);
  *handle = 7;
  ++attached;
  return 0;
}

ISC_STATUS isc_service_detach(ISC_STATUS* status, isc_svc_handle* handle) {
  std::lock_guard<std::mutex> lock(mutex);
  ok(status);
  if (*handle != 0) --attached;
  *handle = 0;
  return 0;
}

ISC_STATUS isc_service_start(ISC_STATUS* status, isc_svc_handle*, isc_resv_handle*, unsigned short length,
                             const ISC_SCHAR* spb) {
  std::lock_guard<std::mutex> lock(mutex);
  starts += (starts.empty() ? "" : ";") + hex(spb, length);
  if (const Item* error = find("start-error")) return fail(status, *error);
  ok(status);
  return 0;
}

ISC_STATUS isc_service_query(ISC_STATUS* status, isc_svc_handle*, isc_resv_handle*, unsigned short, const ISC_SCHAR*,
                             unsigned short, const ISC_SCHAR*, unsigned short length, ISC_SCHAR* buffer) {
  std::lock_guard<std::mutex> lock(mutex);
  ok(status);
  std::string reply;
  while (position < current.size() && current[position].kind.find("-error") != std::string::npos &&
         current[position].kind != "query-error")
    ++position;
  if (position >= current.size()) {
    reply = std::string("\x3e\x00\x00\x01", 4);
  } else {
    const Item& item = current[position++];
    if (item.kind == "query-error") return fail(status, item);
    if (item.kind == "raw") {
      for (size_t i = 0; i + 1 < item.text.size(); i += 2)
        reply += static_cast<char>(std::stoi(item.text.substr(i, 2), nullptr, 16));
    } else {
      reply = "\x3e";
      reply += static_cast<char>(item.text.size() & 0xff);
      reply += static_cast<char>(item.text.size() >> 8);
      reply += item.text + "\x01";
    }
  }
  std::memset(buffer, 0, length);
  std::memcpy(buffer, reply.data(), reply.size() < length ? reply.size() : length);
  return 0;
}

ISC_LONG fb_interpret(ISC_SCHAR* buffer, unsigned int length, const ISC_STATUS** vector) {
  std::lock_guard<std::mutex> lock(mutex);
  if ((*vector)[0] != isc_arg_gds || (*vector)[1] == 0) return 0;
  std::strncpy(buffer, errorText.c_str(), length - 1);
  buffer[length - 1] = '\0';
  *vector += 2;
  return static_cast<ISC_LONG>(std::strlen(buffer));
}

}  // extern "C"
