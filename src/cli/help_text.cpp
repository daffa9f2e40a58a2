// The help of wordloom-cli, written from the command and option tables.
#include <string_view>

#include "cli/arguments.h"
#include "cli/option_table.h"

namespace wordloom::cli {
namespace {

constexpr size_t kHelpColumn = 28;
constexpr size_t kWidth = 100;

// "  LEFT  TEXT", TEXT wrapped at word boundaries into the help column (below LEFT when LEFT
// reaches into it).
std::string Entry(const std::string& left, std::string_view text) {
  std::string out = "  " + left;
  size_t column = out.size();
  if (column + 2 > kHelpColumn) {
    out += "\n";
    column = 0;
  }
  out += std::string(kHelpColumn - column, ' ');
  column = kHelpColumn;
  bool lineStart = true;
  while (!text.empty()) {
    const size_t space = text.find(' ');
    const std::string_view word = text.substr(0, space);
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    if (!lineStart && column + 1 + word.size() > kWidth) {
      out += "\n" + std::string(kHelpColumn, ' ');
      column = kHelpColumn;
      lineStart = true;
    }
    if (!lineStart) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    lineStart = false;
  }
  return out + "\n";
}

std::string OptionEntry(const OptionSpec& option, std::string_view prefix = "") {
  std::string left = "--" + option.name;
  if (!option.value.placeholder.empty()) left += " " + option.value.placeholder;
  return Entry(left, std::string(prefix) + option.help);
}

// Each option of `group` that `command` takes ("" for all, each command option then naming
// the commands that take it), under `heading`.
std::string OptionSection(OptionGroup group, const std::string& command, std::string_view heading) {
  std::string out;
  for (const OptionSpec& option : Options()) {
    if (option.group != group || (!command.empty() && !Takes(option, command))) continue;
    std::string takenBy;  // in the general help, the commands that take a command option
    for (size_t i = 0; command.empty() && i < option.commands.size(); ++i) {
      takenBy.append(option.commands[i]).append(i + 1 == option.commands.size() ? ": " : ", ");
    }
    out += OptionEntry(option, takenBy);
  }
  if (out.empty()) return out;
  std::string section = "\n";
  section.append(heading).append("\n").append(out);
  return section;
}

constexpr std::string_view kSourceLine = "SOURCE is one project file (.wlm) or one or more text files.\n";

std::string GeneralHelp() {
  std::string out = "usage: wordloom-cli COMMAND [OPTIONS] SOURCE...\n"
                    "       wordloom-cli " + std::string(kHelpOption) +
                    " [COMMAND]      this help, or the command's synopsis and options\n\n" +
                    std::string(kSourceLine) + "\nCommands:\n";
  for (const CommandSpec& command : Commands()) {
    out += Entry(std::string(command.name) + " " + std::string(command.operands), command.summary);
  }
  return out + OptionSection(OptionGroup::Rule, "", "Rule options (for new, and for text files):") +
         OptionSection(OptionGroup::Common, "", "Common options:") +
         OptionSection(OptionGroup::Command, "", "Command options:");
}

std::string CommandHelp(const CommandSpec& command) {
  const std::string name(command.name);
  std::string out = "usage: wordloom-cli " + name + " [OPTIONS] " + std::string(command.operands) + "\n" +
                    std::string(command.summary) + "\n";
  if (command.operands.find("SOURCE") != std::string_view::npos) out += kSourceLine;
  out += OptionSection(OptionGroup::Command, name, "Options:");
  if (command.textFiles) {
    out += OptionSection(OptionGroup::Rule, name, "Rule options (for text files):");
  }
  return out + OptionSection(OptionGroup::Common, name, "Common options:");
}

}  // namespace

std::string HelpText(const std::string& command) {
  const CommandSpec* found = FindCommand(command);
  return found != nullptr ? CommandHelp(*found) : GeneralHelp();
}

}  // namespace wordloom::cli
