#include "cli/options.h"

#include <map>

#include "platform/codepage.h"

namespace pagoling::cli {
namespace {

// Options that fill one control each.
const std::map<std::string, std::string>& TextOptions() {
  static const std::map<std::string, std::string> options = {
      {"--count", "编辑框7"},     {"--commission", "佣金比例编辑框"},
      {"--sales-from", "推广前"}, {"--sales-to", "推广后"},
      {"--price-from", "价格前"}, {"--price-to", "价格后"},
      {"--suffix", "编辑框9"},    {"--mm", "mm号编辑框"},
  };
  return options;
}

}  // namespace

std::string HelpText() {
  return R"(pagoling-cli - static affiliate product pages from search keywords, without a window

Usage:
  pagoling-cli run --dir DIR --keywords FILE [options]
  pagoling-cli cookies import FILE [--cookie-jar JAR]
  pagoling-cli demo [--dir DIR]
  pagoling-cli --help

run
  Starts up as the desktop window does in the run directory DIR (its templates under
  单页生成/模板/, its settings in DIR/Config.ini, including the [endpoints] section), writes the
  options below into their controls and presses start. FILE (or - for standard input) is UTF-8
  text, one keyword per line; an empty line is an empty keyword. The run log goes to standard
  output as it is written; message boxes go to standard error as "信息：" and their text. On a
  terminal a progress line is kept on standard error. Ctrl-C presses stop.

  --template NAME      the template (a folder under 单页生成/模板/); default: the first
  --count TEXT         number of products per page
  --sort 0|1|2         0 by sales, 1 by commission rate, 2 by 30-day commission paid
  --commission TEXT    lowest commission rate, percent
  --sales-from TEXT    30-day promotion count, lower bound
  --sales-to TEXT      30-day promotion count, upper bound
  --price-from TEXT    lowest price
  --price-to TEXT      highest price
  --suffix TEXT        page file suffix (default htm)
  --mm TEXT            the full affiliate id, mm_<member>_<site>_<adzone>
  --save-settings      save the options to DIR/Config.ini at the end, as closing the window does
  --cookie-jar FILE    the cookie file (default: ~/.local/share/pagoling/cookies.txt)

cookies import
  Adds the cookies of a Netscape cookie file, as browsers' export tools write it, to the cookie
  file, so a login made in any browser serves this machine.

demo
  Starts the sandbox platform on a free loopback port, prepares DIR (default ./pagoling-demo;
  files already there are kept) with the shipped templates and a Config.ini pointing at the
  sandbox, logs in, generates pages for three sample keywords and lists the pages written.

Exit status: 0 the run ended by itself, 1 a check before the run stopped it (or the run failed),
2 a usage error, 130 stopped with Ctrl-C.
)";
}

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
  ParseResult result;
  Options& options = result.options;
  if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h" ||
      arguments[0] == "help") {
    options.command = Command::kHelp;
    return result;
  }

  std::size_t i = 1;
  if (arguments[0] == "run") {
    options.command = Command::kRun;
  } else if (arguments[0] == "demo") {
    options.command = Command::kDemo;
  } else if (arguments[0] == "cookies") {
    if (arguments.size() < 3 || arguments[1] != "import") {
      result.error = "cookies: expected \"cookies import FILE\"";
      return result;
    }
    options.command = Command::kCookiesImport;
    options.import_file = arguments[2];
    i = 3;
  } else {
    result.error = "unknown command \"" + arguments[0] + "\"";
    return result;
  }

  const auto value = [&](const std::string& name) -> std::optional<std::string> {
    if (i + 1 >= arguments.size()) {
      result.error = name + " needs a value";
      return std::nullopt;
    }
    return arguments[++i];
  };

  for (; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool for_run = options.command == Command::kRun;
    if (argument == "--help" || argument == "-h") {
      options.command = Command::kHelp;
      return result;
    } else if (argument == "--cookie-jar" && options.command != Command::kDemo) {
      if (auto v = value(argument))
        options.cookie_jar = *v;
      else
        return result;
    } else if (argument == "--dir" && options.command != Command::kCookiesImport) {
      if (auto v = value(argument))
        options.dir = *v;
      else
        return result;
    } else if (for_run && argument == "--keywords") {
      if (auto v = value(argument))
        options.keywords_file = *v;
      else
        return result;
    } else if (for_run && argument == "--template") {
      if (auto v = value(argument))
        options.template_name = *v;
      else
        return result;
    } else if (for_run && argument == "--sort") {
      auto v = value(argument);
      if (!v) return result;
      if (*v != "0" && *v != "1" && *v != "2") {
        result.error = "--sort takes 0, 1 or 2";
        return result;
      }
      options.sort_order = (*v)[0] - '0';
    } else if (for_run && argument == "--save-settings") {
      options.save_settings = true;
    } else if (for_run && TextOptions().count(argument) != 0) {
      auto v = value(argument);
      if (!v) return result;
      options.texts.push_back({TextOptions().at(argument), *v});
    } else {
      result.error = "unknown option \"" + argument + "\"";
      return result;
    }
  }

  if (options.command == Command::kRun) {
    if (options.dir.empty())
      result.error = "run needs --dir DIR";
    else if (options.keywords_file.empty())
      result.error = "run needs --keywords FILE";
  }
  return result;
}

std::string KeywordBoxText(const std::string& utf8_lines) {
  std::vector<std::string> lines;
  for (std::size_t begin = 0; begin < utf8_lines.size();) {
    std::size_t end = utf8_lines.find('\n', begin);
    if (end == std::string::npos) end = utf8_lines.size();
    std::string line = utf8_lines.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    begin = end + 1;
  }
  std::string box;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) box += "\r\n";
    box += lines[i];
  }
  // In the box a line break at the very end adds no keyword, so a last empty line needs one more.
  if (!lines.empty() && lines.back().empty()) box += "\r\n";
  return platform::GbkFromUtf8(box);
}

}  // namespace pagoling::cli
