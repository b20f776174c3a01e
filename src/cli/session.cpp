#include "cli/session.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

#include "app/application.h"
#include "cli/demo.h"
#include "net/http_cookie_store.h"
#include "platform/codepage.h"
#include "platform/pacer.h"
#include "platform/run_directory.h"
#include "ui/control_names.h"
#include "ui/headless_host.h"

namespace pagoling::cli {
namespace {

std::atomic<bool> interrupted{false};
std::mutex active_mutex;
generate::Generation* active_generation = nullptr;

class ActiveRun {
 public:
  explicit ActiveRun(generate::Generation& generation) {
    std::lock_guard lock(active_mutex);
    active_generation = &generation;
  }
  ~ActiveRun() {
    std::lock_guard lock(active_mutex);
    active_generation = nullptr;
  }
  ActiveRun(const ActiveRun&) = delete;
  ActiveRun& operator=(const ActiveRun&) = delete;
};

std::string Clock(long long seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60, seconds % 60);
  return text;
}

std::size_t Occurrences(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

// Streams the run log to standard output as it grows and keeps a progress line on standard error.
class LogStream {
 public:
  LogStream(ui::MainWindow& window, Io& io, std::size_t keywords)
      : window_(window), io_(io), keywords_(keywords), started_(platform::SteadyMilliseconds()) {
    observer_ = window_.AddObserver([this](const ui::Change& change) {
      if (change.control == ui::kRunLog && change.property == ui::Property::kText) OnLog();
    });
    if (io_.progress) ticker_ = std::thread([this] { Tick(); });
  }
  ~LogStream() {
    window_.RemoveObserver(observer_);
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wakeup_.notify_all();
    if (ticker_.joinable()) ticker_.join();
    std::lock_guard lock(mutex_);
    if (io_.progress) io_.err << "\r\033[K" << std::flush;
  }
  LogStream(const LogStream&) = delete;
  LogStream& operator=(const LogStream&) = delete;

  void Flush() { OnLog(); }

 private:
  void OnLog() {
    const std::string log = window_.Text(ui::kRunLog);
    std::lock_guard lock(mutex_);
    std::string added;
    if (log.size() >= printed_.size() && log.compare(0, printed_.size(), printed_) == 0) {
      added = log.substr(printed_.size());
    } else {
      added = log;  // the log was cleared for a new run
    }
    printed_ = log;
    if (added.empty()) return;
    const std::string utf8 = platform::Utf8FromGbk(added);
    keyword_ += Occurrences(utf8, "搜寻。。。");
    products_ += Occurrences(utf8, "完毕\r\n");
    finished_ += Occurrences(utf8, "生成关键词");
    if (io_.progress) io_.err << "\r\033[K" << std::flush;
    io_.out << utf8 << std::flush;
    DrawProgress();
  }

  void DrawProgress() {
    if (!io_.progress || keywords_ == 0) return;
    const long long elapsed = (platform::SteadyMilliseconds() - started_) / 1000;
    std::ostringstream line;
    line << "keyword " << std::min(std::max<std::size_t>(keyword_, 1), keywords_) << " of "
         << keywords_ << ", " << products_ << " products done, " << Clock(elapsed) << " elapsed";
    if (finished_ > 0 && finished_ < keywords_) {
      const long long left = elapsed * static_cast<long long>(keywords_ - finished_) /
                             static_cast<long long>(finished_);
      line << ", about " << Clock(left) << " left";
    }
    io_.err << "\r\033[K" << line.str() << std::flush;
  }

  void Tick() {
    std::unique_lock lock(mutex_);
    while (!wakeup_.wait_for(lock, std::chrono::milliseconds(500), [this] { return done_; })) {
      DrawProgress();
    }
  }

  ui::MainWindow& window_;
  Io& io_;
  const std::size_t keywords_;
  const std::int64_t started_;
  int observer_ = 0;
  std::mutex mutex_;
  std::condition_variable wakeup_;
  bool done_ = false;
  std::thread ticker_;
  std::string printed_;
  std::size_t keyword_ = 0;
  std::size_t products_ = 0;
  std::size_t finished_ = 0;
};

bool ReadText(const std::string& file, std::istream& in, std::string& text) {
  if (file == "-") {
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
  }
  std::ifstream stream(file, std::ios::binary);
  if (!stream) return false;
  text.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  return true;
}

void OpenCookieJar(const std::string& jar, Io& io) {
  const std::filesystem::path file =
      jar.empty() ? net::CookieStore::DefaultFile() : std::filesystem::path(jar);
  for (const std::string& warning : net::CookieStore::Shared().Open(file).warnings) {
    io.err << "pagoling-cli: " << file.string() << ": " << warning << "\n";
  }
}

int UsageError(Io& io, const std::string& message) {
  io.err << "pagoling-cli: " << message << "\nTry \"pagoling-cli --help\".\n";
  return kExitUsage;
}

int CookiesImport(const Options& options, Io& io) {
  std::string text;
  if (!ReadText(options.import_file, io.in, text)) {
    return UsageError(io, "cannot read " + options.import_file);
  }
  OpenCookieJar(options.cookie_jar, io);
  const net::CookieImportReport report = net::CookieStore::Shared().ImportNetscapeText(text);
  for (const std::string& warning : report.warnings) {
    io.err << "pagoling-cli: " << options.import_file << ": " << warning << "\n";
  }
  const bool saved = net::CookieStore::Shared().Save();
  net::CookieStore::Shared().Close();
  if (!saved) {
    io.err << "pagoling-cli: cannot write " << net::CookieStore::Shared().File().string() << "\n";
    return kExitStoppedByCheck;
  }
  io.out << report.imported << " cookies imported\n";
  return kExitCompleted;
}

}  // namespace

void OnInterrupt() {
  interrupted = true;
  std::lock_guard lock(active_mutex);
  if (active_generation != nullptr) active_generation->StopGeneration();
}

int RunInFolder(const RunRequest& request, Io& io) {
  const std::filesystem::path folder = std::filesystem::absolute(request.dir);
  if (!std::filesystem::is_directory(folder)) {
    return UsageError(io, request.dir + " is not a folder");
  }
  platform::SetRunDirectory(platform::GbkFromUtf8(folder.string()));
  OpenCookieJar(request.cookie_jar, io);

  ui::HeadlessHost host;
  host.OnMessageBox([&io](const std::string& text) {
    io.err << "信息：" << platform::Utf8FromGbk(text) << "\n" << std::flush;
  });
  platform::SteadyPacer pacer;
  app::Application application(host, pacer, net::LoadEndpoints(app::ConfigFilePath()));
  ui::MainWindow& window = application.Window();
  application.InitMainWindow();

  if (request.template_name) {
    const std::string wanted = platform::GbkFromUtf8(*request.template_name);
    int found = -1;
    std::string known;
    for (int i = 0; i < window.ItemCount("列表框1"); ++i) {
      const std::string name = window.ItemText("列表框1", i);
      if (name == wanted) found = i;
      known += "\n  " + platform::Utf8FromGbk(name);
    }
    if (found < 0) {
      application.ShutdownWithoutSaving();
      return UsageError(
          io, "no template \"" + *request.template_name + "\" in " + request.dir +
                  "; the templates found:" + (known.empty() ? std::string("\n  (none)") : known));
    }
    window.SetSelectedIndex("列表框1", found);
  }
  if (request.sort_order) window.SetSelectedIndex(ui::kSortOrderBox, *request.sort_order);
  for (const ControlText& option : request.texts) {
    window.SetText(option.control, platform::GbkFromUtf8(option.text));
  }
  window.SetText("编辑框1", request.keywords_gbk);

  generate::RunOutcome outcome = generate::RunOutcome::kNone;
  {
    LogStream log(window, io, generate::SplitKeywords(request.keywords_gbk).size());
    ActiveRun active(application.Generation());
    interrupted = false;
    window.Raise("按钮1", ui::Event::kClick);
    outcome = application.Generation().WaitForWorker();
    log.Flush();
  }
  io.out << "\n" << std::flush;
  if (outcome == generate::RunOutcome::kFailed) {
    io.err << "pagoling-cli: the run failed: " << application.Generation().FailureText() << "\n";
  }

  if (request.save_settings) {
    if (!application.ShutdownMainWindow()) {
      io.err << "pagoling-cli: the settings could not be saved to "
             << (std::filesystem::path(request.dir) / "Config.ini").string() << "\n";
    }
  } else {
    application.ShutdownWithoutSaving();
  }
  net::CookieStore::Shared().Close();

  if (interrupted) return kExitInterrupted;
  switch (outcome) {
    case generate::RunOutcome::kCompleted:
      return kExitCompleted;
    case generate::RunOutcome::kHalted:
      return kExitInterrupted;
    default:
      return kExitStoppedByCheck;
  }
}

int Main(const std::vector<std::string>& arguments, Io& io) {
  const ParseResult parsed = ParseCommandLine(arguments);
  if (!parsed.error.empty()) return UsageError(io, parsed.error);
  const Options& options = parsed.options;
  switch (options.command) {
    case Command::kHelp:
      io.out << HelpText();
      return kExitCompleted;
    case Command::kCookiesImport:
      return CookiesImport(options, io);
    case Command::kDemo:
      return RunDemo(options.dir.empty() ? "pagoling-demo" : options.dir, io);
    case Command::kRun: {
      std::string keywords;
      if (!ReadText(options.keywords_file, io.in, keywords)) {
        return UsageError(io, "cannot read " + options.keywords_file);
      }
      RunRequest request;
      request.dir = options.dir;
      request.cookie_jar = options.cookie_jar;
      request.keywords_gbk = KeywordBoxText(keywords);
      request.template_name = options.template_name;
      request.sort_order = options.sort_order;
      request.texts = options.texts;
      request.save_settings = options.save_settings;
      return RunInFolder(request, io);
    }
  }
  return kExitUsage;
}

}  // namespace pagoling::cli
