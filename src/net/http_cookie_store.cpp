#include "net/http_cookie_store.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "net/http_curl.h"
#include "platform/atomic_file.h"

namespace pagoling::net {
namespace curl {

void EnsureGlobalInit() {
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)init;
}

namespace {

std::array<std::mutex, CURL_LOCK_DATA_LAST> share_locks;

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  share_locks[static_cast<std::size_t>(data)].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void*) {
  share_locks[static_cast<std::size_t>(data)].unlock();
}

}  // namespace

CURLSH* CookieShare() {
  static CURLSH* const share = [] {
    EnsureGlobalInit();
    CURLSH* created = curl_share_init();
    curl_share_setopt(created, CURLSHOPT_LOCKFUNC, &LockShare);
    curl_share_setopt(created, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
    curl_share_setopt(created, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    return created;
  }();
  return share;
}

}  // namespace curl

namespace {

// An easy handle on the share, for reading and writing the cookie list without a transfer.
class ShareHandle {
 public:
  ShareHandle() {
    curl_easy_setopt(easy_.get(), CURLOPT_SHARE, curl::CookieShare());
    curl_easy_setopt(easy_.get(), CURLOPT_COOKIEFILE, "");
  }
  bool Add(const std::string& line) {
    return curl_easy_setopt(easy_.get(), CURLOPT_COOKIELIST, line.c_str()) == CURLE_OK;
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    curl_slist* list = nullptr;
    if (curl_easy_getinfo(easy_.get(), CURLINFO_COOKIELIST, &list) != CURLE_OK) return lines;
    for (curl_slist* item = list; item != nullptr; item = item->next)
      lines.emplace_back(item->data);
    curl_slist_free_all(list);
    return lines;
  }

 private:
  curl::Easy easy_;
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  std::size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

// Domain, tail-match flag, path, secure flag, expiry, name, value: seven fields split by tabs.
bool IsNetscapeLine(const std::string& line) {
  std::string body = line;
  const std::string http_only = "#HttpOnly_";
  if (body.rfind(http_only, 0) == 0) body = body.substr(http_only.size());
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t tab = body.find('\t', begin);
    fields.push_back(
        body.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin));
    if (tab == std::string::npos) break;
    begin = tab + 1;
  }
  if (fields.size() != 7) return false;
  const auto is_flag = [](const std::string& f) { return f == "TRUE" || f == "FALSE"; };
  return !fields[0].empty() && is_flag(fields[1]) && !fields[2].empty() && is_flag(fields[3]) &&
         IsNumber(fields[4]) && !fields[5].empty();
}

std::string FileText(const std::vector<std::string>& lines) {
  std::string text = "# Netscape HTTP Cookie File\n";
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace

CookieStore& CookieStore::Shared() {
  static CookieStore store;
  return store;
}

std::filesystem::path CookieStore::DefaultFile() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
    return std::filesystem::path(data) / "pagoling" / "cookies.txt";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share" / "pagoling" /
         "cookies.txt";
}

CookieImportReport CookieStore::Open(const std::filesystem::path& file) {
  std::string text;
  {
    std::ifstream in(file, std::ios::binary);
    if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  CookieImportReport report = ImportNetscapeText(text);
  std::lock_guard lock(mutex_);
  file_ = file;
  saved_ = text;
  keep_bad_copy_ = !report.warnings.empty();
  if (keep_bad_copy_) {
    report.warnings.push_back("the file is kept as " + file.string() +
                              ".bad before it is next saved");
  }
  return report;
}

CookieImportReport CookieStore::ImportNetscapeText(const std::string& text) {
  CookieImportReport report;
  ShareHandle handle;
  int number = 0;
  for (const std::string& line : SplitLines(text)) {
    ++number;
    if (line.empty()) continue;
    if (line[0] == '#' && line.rfind("#HttpOnly_", 0) != 0) continue;
    if (!IsNetscapeLine(line) || !handle.Add(line)) {
      report.warnings.push_back("line " + std::to_string(number) +
                                " is not a cookie line and was skipped");
      continue;
    }
    ++report.imported;
  }
  return report;
}

bool CookieStore::ImportLine(const std::string& line, const std::string& host) {
  ShareHandle handle;
  if (line.rfind("Set-Cookie:", 0) == 0) {
    std::string with_domain = line;
    std::string lowered = line;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lowered.find("domain=") == std::string::npos && !host.empty()) {
      with_domain += "; domain=" + host;
    }
    return handle.Add(with_domain);
  }
  return IsNetscapeLine(line) && handle.Add(line);
}

std::vector<std::string> CookieStore::NetscapeLines() const {
  ShareHandle handle;
  return handle.Lines();
}

bool CookieStore::Save() {
  bool written = false;
  const bool current = WriteIfChanged(written);
  if (written) {
    std::vector<std::function<void()>> listeners;
    {
      std::lock_guard lock(listeners_mutex_);
      for (const auto& [id, listener] : listeners_) listeners.push_back(listener);
    }
    for (const auto& listener : listeners) listener();
  }
  return current;
}

int CookieStore::AddChangeListener(std::function<void()> listener) {
  std::lock_guard lock(listeners_mutex_);
  const int id = next_listener_id_++;
  listeners_.emplace(id, std::move(listener));
  return id;
}

void CookieStore::RemoveChangeListener(int id) {
  std::lock_guard lock(listeners_mutex_);
  listeners_.erase(id);
}

bool CookieStore::WriteIfChanged(bool& written) {
  const std::string text = FileText(NetscapeLines());
  std::lock_guard lock(mutex_);
  if (file_.empty()) return false;
  if (text == saved_) return true;
  if (keep_bad_copy_) {
    std::error_code error;
    std::filesystem::copy_file(file_, file_.string() + ".bad",
                               std::filesystem::copy_options::overwrite_existing, error);
    keep_bad_copy_ = false;
  }
  std::error_code error;
  if (file_.has_parent_path()) {
    std::filesystem::create_directories(file_.parent_path(), error);
    std::filesystem::permissions(file_.parent_path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
  }
  if (!platform::ReplaceFileAtomically(
          file_, text, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)) {
    return false;
  }
  saved_ = text;
  written = true;
  return true;
}

void CookieStore::Close() {
  Save();
  std::lock_guard lock(mutex_);
  file_.clear();
  saved_.clear();
  keep_bad_copy_ = false;
}

void CookieStore::Clear() {
  ShareHandle handle;
  handle.Add("ALL");
}

std::filesystem::path CookieStore::File() const {
  std::lock_guard lock(mutex_);
  return file_;
}

}  // namespace pagoling::net
