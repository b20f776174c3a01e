#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace pagoling::net {

struct CookieImportReport {
  int imported = 0;
  std::vector<std::string> warnings;  // one per skipped line, UTF-8, for the user
};

// The process's one cookie store: every request sends and stores its cookies here, the desktop
// window's login pane exchanges cookies with it, and it lives on in a per-user file in Netscape
// format (owner-only permissions) so a login outlasts the program.
class CookieStore {
 public:
  static CookieStore& Shared();

  // Loads the file's cookies and saves to it from now on. A missing file is an empty store. Lines
  // that are not cookies are skipped with a warning; the file is then kept beside as "<file>.bad"
  // before the next save replaces it, so nothing the user had is lost.
  CookieImportReport Open(const std::filesystem::path& file);

  // Adds the cookies of a Netscape cookie file's text, as browsers' export tools write it.
  CookieImportReport ImportNetscapeText(const std::string& text);
  // One Netscape line, or a "Set-Cookie: ..." header line for `host` (used when the line names no
  // domain). Re-importing a cookie with the same domain, path and name replaces it.
  bool ImportLine(const std::string& line, const std::string& host = "");

  // Every cookie as a Netscape line ("#HttpOnly_" prefix for HttpOnly cookies).
  std::vector<std::string> NetscapeLines() const;
  // Writes the file when the cookies changed since the last save; true when the file is current.
  bool Save();
  // Saves, then stops saving to the file, as at the end of the process.
  void Close();
  void Clear();

  // Called after a save that changed the file, on the saving thread and outside the store's lock,
  // so the desktop window can pass cookies set by requests on to its login pane.
  int AddChangeListener(std::function<void()> listener);
  void RemoveChangeListener(int id);

  std::filesystem::path File() const;
  // $XDG_DATA_HOME/pagoling/cookies.txt, else ~/.local/share/pagoling/cookies.txt.
  static std::filesystem::path DefaultFile();

 private:
  CookieStore() = default;
  bool WriteIfChanged(bool& written);

  mutable std::mutex mutex_;
  std::filesystem::path file_;
  std::string saved_;  // the file's content as last written or read
  bool keep_bad_copy_ = false;
  std::mutex listeners_mutex_;
  std::map<int, std::function<void()>> listeners_;
  int next_listener_id_ = 1;
};

}  // namespace pagoling::net
