#pragma once

#include <optional>
#include <string>
#include <vector>

// The command line of pagoling-cli, parsed. Texts are as typed (UTF-8).
namespace pagoling::cli {

enum class Command { kHelp, kRun, kCookiesImport, kDemo };

// An option written into its control before the run starts: control name and text.
struct ControlText {
  std::string control;
  std::string text;
};

struct Options {
  Command command = Command::kHelp;
  std::string dir;
  std::string keywords_file;  // "-" for standard input
  std::optional<std::string> template_name;
  std::optional<int> sort_order;
  std::vector<ControlText> texts;  // in the order given
  bool save_settings = false;
  std::string cookie_jar;  // empty: the per-user default
  std::string import_file;
};

struct ParseResult {
  Options options;
  std::string error;  // empty when the command line is good
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

std::string HelpText();

// The keyword box as a user would have typed the lines of a UTF-8 text: GBK, lines joined with
// CR LF, a final line break adding no keyword.
std::string KeywordBoxText(const std::string& utf8_lines);

}  // namespace pagoling::cli
