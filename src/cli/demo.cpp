#include "cli/demo.h"

#include <filesystem>
#include <iostream>

#include "net/http_cookie_store.h"
#include "net/http_request.h"
#include "platform/codepage.h"
#include "platform/private_profile.h"
#include "platform/run_directory.h"
#include "sim/sandbox.h"
#include "ui/control_names.h"

namespace pagoling::cli {
namespace {

namespace fs = std::filesystem;

// What the build lays next to the program and the demo copies into its folder.
constexpr const char* kShippedEntries[] = {"单页生成", "采集规则", "help"};

// Copies the files that are missing; a file the user already has is never replaced.
int CopyMissing(const fs::path& from, const fs::path& to) {
  int copied = 0;
  std::error_code error;
  if (!fs::exists(from, error)) return 0;
  for (const auto& entry : fs::recursive_directory_iterator(from, error)) {
    const fs::path target = to / fs::relative(entry.path(), from, error);
    if (entry.is_directory(error)) {
      fs::create_directories(target, error);
    } else if (!fs::exists(target, error)) {
      fs::create_directories(target.parent_path(), error);
      if (fs::copy_file(entry.path(), target, error)) ++copied;
    }
  }
  return copied;
}

void WriteSetting(const std::string& section_utf8, const std::string& key_utf8,
                  const std::string& value_utf8, const std::string& config) {
  platform::WritePrivateProfileString(platform::GbkFromUtf8(section_utf8),
                                      platform::GbkFromUtf8(key_utf8),
                                      platform::GbkFromUtf8(value_utf8), config);
}

}  // namespace

int RunDemo(const std::string& dir, Io& io) {
  platform::SetRunDirectory("");
  const fs::path program_folder = fs::path(platform::Utf8FromGbk(platform::RunDirectory()));
  const fs::path folder = fs::absolute(dir);
  std::error_code error;
  fs::create_directories(folder, error);
  if (!fs::is_directory(folder)) {
    io.err << "pagoling-cli: cannot create " << folder.string() << "\n";
    return kExitUsage;
  }
  int copied = 0;
  for (const char* entry : kShippedEntries) {
    copied += CopyMissing(program_folder / entry, folder / entry);
  }

  sim::Sandbox sandbox;
  if (!sandbox.Start(0)) {
    io.err << "pagoling-cli: cannot start the sandbox platform\n";
    return kExitStoppedByCheck;
  }
  io.out << "Sandbox platform at " << sandbox.BaseUrl() << "\n"
         << "Run directory " << folder.string() << " (" << copied << " shipped files laid)\n";

  // A new settings file gets the options a first start would save; an existing one keeps them.
  // The endpoints always follow the sandbox, whose port changes from run to run.
  const std::string config = platform::GbkFromUtf8((folder / "Config.ini").string());
  if (!fs::exists(folder / "Config.ini")) {
    WriteSetting("配置", "排序方式", "0", config);
    WriteSetting("配置", "商品数量", "4", config);
    WriteSetting("配置", "hz", "htm", config);
    WriteSetting("配置", "mm", "mm_20000001_2_3", config);
  }
  for (const char* key : {"PublisherHost", "MemberHost", "AffiliateLoginHost", "AdHomeHost",
                          "MarketLoginHost", "BaiduShortHost", "NeteaseShortHost"}) {
    WriteSetting("endpoints", key, sandbox.HostPort(), config);
  }

  // Log in through the sandbox's own form, as a user would in the login pane.
  const std::string jar = (folder / "cookies.txt").string();
  net::CookieStore::Shared().Open(jar);
  net::HttpRequest(sandbox.BaseUrl() + "/member/minilogin.htm", 1,
                   "user=demo&password=demo&redirect=" + sandbox.BaseUrl() + "/index.htm");
  net::CookieStore::Shared().Close();

  RunRequest request;
  request.dir = folder.string();
  request.cookie_jar = jar;
  request.keywords_gbk = platform::GbkFromUtf8("连衣裙\r\n茶叶\r\n耳机");
  request.texts.push_back({ui::kProductCountBox, "4"});
  const auto started = fs::file_time_type::clock::now();
  const int status = RunInFolder(request, io);

  io.out << "\nPages written:\n";
  int pages = 0;
  const fs::path templates = folder / "单页生成" / "模板";
  for (const auto& entry : fs::recursive_directory_iterator(templates, error)) {
    if (!entry.is_regular_file(error) || entry.last_write_time(error) < started) continue;
    io.out << "  " << entry.path().string() << "  " << entry.file_size(error) << " bytes\n";
    ++pages;
  }
  if (pages == 0) io.out << "  (none)\n";
  sandbox.Stop();
  return status;
}

}  // namespace pagoling::cli
