// The commands and options of wordloom-cli, each defined once.
//
// A row of the option table holds everything about an option: its name, the commands that
// take it, its help, its value's placeholder, what a refused value is told, and how the value
// is stored in the arguments. The parser and the help are both driven by these tables, so an
// option cannot be accepted without being documented, or documented without being accepted.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"

namespace wordloom::cli {

struct CommandSpec {
  std::string_view name;
  std::string_view operands;  // what follows the options in the synopsis
  std::string_view summary;   // what the command does, for the help
  bool textFiles;             // takes text files, and so the rule options
};

// Rule and common options are taken by every command; command options by those they name.
enum class OptionGroup { Rule, Common, Command };

// An option's value: a flag has no placeholder, and its `store` gets an empty value.
struct OptionValue {
  std::string placeholder;  // for the help ("N", "word|prefix|suffix|anywhere")
  std::string accepts;      // the usage error says "--NAME takes ACCEPTS, not ..."
  // Stores the value in the arguments; false when the value is refused.
  std::function<bool(const std::string& value, Arguments& out)> store;
  // The arguments that follow the value, up to the next option, are values too ("REF...").
  bool list = false;
};

struct OptionSpec {
  std::string name;  // without the leading "--"
  OptionGroup group;
  std::vector<std::string_view> commands;  // OptionGroup::Command only
  std::string help;
  OptionValue value;
};

// The name of the option that asks for help instead of a run.
inline constexpr std::string_view kHelpOption = "help";

std::span<const CommandSpec> Commands();
const std::vector<OptionSpec>& Options();

// The command of that name; nullptr when there is none.
const CommandSpec* FindCommand(std::string_view name);

// True when `command` takes `option`.
bool Takes(const OptionSpec& option, std::string_view command);

}  // namespace wordloom::cli
