#include "cli/arguments.h"

#include "base/paths.h"
#include "cli/option_table.h"

namespace wordloom::cli {
namespace {

// The row of `name` that `command` takes; `known` tells whether any row has that name.
const OptionSpec* FindOption(const std::string& name, const std::string& command, bool& known) {
  known = false;
  for (const OptionSpec& option : Options()) {
    if (option.name != name) continue;
    known = true;
    if (Takes(option, command)) return &option;
  }
  return nullptr;
}

bool CheckOperands(Arguments& args, std::string& error) {
  std::vector<std::string>& operands = args.operands;
  // keyness PROJECT A B: a project is one source, so what follows it is reference.
  if (args.command == "keyness" && operands.size() > 1 && IsProjectPath(operands[0])) {
    args.analysis.references.insert(args.analysis.references.end(), operands.begin() + 1, operands.end());
    operands.resize(1);
  }
  if (args.command == "new") {
    if (operands.empty() || !IsProjectPath(operands[0])) {
      error = "new needs a project file ending in .wlm, then the text files";
      return false;
    }
    for (size_t i = 1; i < operands.size(); ++i) {
      if (IsProjectPath(operands[i])) {
        error = "new takes text files, not another project: " + operands[i];
        return false;
      }
    }
    return true;
  }
  if (operands.empty()) {
    error = args.command + " needs a project file or text files";
    return false;
  }
  bool project = IsProjectPath(operands[0]);
  if (args.command == "scan" && (!project || operands.size() != 1)) {
    error = "scan takes exactly one project file";
    return false;
  }
  if (project && operands.size() != 1) {
    error = "give one project file, or text files, not both";
    return false;
  }
  for (const std::string& operand : operands) {
    if (!project && IsProjectPath(operand)) {
      error = "give one project file, or text files, not both";
      return false;
    }
  }
  if ((args.command == "kwic" || args.command == "line") && !args.query.keys && !args.query.keyWords) {
    error = args.command + " needs --keys or --keywords";
    return false;
  }
  if ((args.command == "collocates" || args.command == "clusters" || args.command == "dispersion" ||
       args.command == "plot") && !args.query.keys) {
    error = args.command + " needs --keys";
    return false;
  }
  if (project && args.rules.given) {
    error = "the rule options apply to text files, not to a project file";
    return false;
  }
  return true;
}

// The options of tables and pattern searches, and which go together; makes the thinning.
bool CheckTableOptions(QueryOptions& query, std::string& error) {
  const bool table = query.format != TableFormat::Text;
  const bool pattern = query.search == SearchMode::Wildcard || query.search == SearchMode::Regex ||
                       query.search == SearchMode::Phrase;
  if (!table && (query.contextWords || !query.sort.empty() || query.sample || query.every)) {
    error = "--context-words, --sort, --sample and --every need --format tsv, csv or jsonl";
  } else if (query.index && (table || pattern)) {
    error = "--index writes the text of a search by --match: leave out --format and --search's patterns";
  } else if (query.keyWords && pattern) {
    error = "--keywords are matched as words: leave out --search's patterns";
  } else if (query.sample && query.every) {
    error = "--sample and --every do not go together";
  } else if (query.seed && !query.sample) {
    error = "--seed needs --sample";
  }
  if (!error.empty()) return false;
  if (query.sample) query.thinning = Thinning{Thinning::Kind::Sample, *query.sample, static_cast<uint64_t>(query.seed.value_or(0))};
  if (query.every) query.thinning = Thinning{Thinning::Kind::Every, *query.every, 0};
  return true;
}

// The analyses' own checks; their tables are tsv unless told otherwise.
bool CheckAnalysisOptions(Arguments& args, std::string& error) {
  AnalysisOptions& analysis = args.analysis;
  if (args.command == "collocates" && analysis.left + analysis.right == 0) {
    error = "collocates needs a window: --left and --right cannot both be 0";
  } else if (args.command == "ngrams" && analysis.minN < 2) {
    error = "ngrams counts runs of 2 to 5 words: --n takes lengths from 2";
  } else if (args.command == "keyness" && analysis.references.empty()) {
    error = "keyness needs --reference";
  } else if (args.command == "plot" && !EndsWithNoCase(analysis.out, ".png") && !EndsWithNoCase(analysis.out, ".svg")) {
    error = "plot needs --out FILE.png or --out FILE.svg";
  }
  if (!error.empty()) return false;
  if (args.query.format == TableFormat::Text) args.query.format = TableFormat::Tsv;
  return true;
}

}  // namespace

bool IsAnalysis(const std::string& command) {
  return command == "collocates" || command == "ngrams" || command == "clusters" || command == "dispersion" ||
         command == "keyness" || command == "plot";
}

bool IsProjectPath(const std::string& path) { return EndsWithNoCase(path, ".wlm"); }

std::optional<std::string> HelpTopic(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string help = "--" + std::string(kHelpOption);
  if (args[0] == help || args[0] == "-h" || args[0] == kHelpOption) {
    return args.size() > 1 && FindCommand(args[1]) ? args[1] : "";
  }
  // Walks the arguments as ParseArguments does, so that a value such as `--keys --help` and
  // an operand after `--` are not taken for the option.
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    if (arg == help) return FindCommand(args[0]) ? args[0] : "";
    if (arg.size() < 3 || !arg.starts_with("--") || arg.find('=') != std::string::npos) continue;
    for (const OptionSpec& option : Options()) {
      if (option.name == arg.substr(2) && !option.value.placeholder.empty()) {
        ++i;  // the value
        break;
      }
    }
  }
  return std::nullopt;
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
  ParseResult result;
  Arguments& out = result.arguments;
  auto fail = [&](std::string message) {
    result.ok = false;
    result.error = std::move(message);
    return result;
  };
  if (args.empty()) return fail("no command given");
  out.command = args[0];
  if (FindCommand(out.command) == nullptr) return fail("unknown command \"" + out.command + "\"");

  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 3 || !arg.starts_with("--")) {
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
      } else {
        out.operands.push_back(arg);
      }
      continue;
    }
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    size_t equals = name.find('=');
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    bool known = false;
    const OptionSpec* option = FindOption(name, out.command, known);
    if (!known) return fail("unknown option --" + name);
    if (option == nullptr) return fail("--" + name + " is not an option of " + out.command);
    const bool takesValue = !option->value.placeholder.empty();
    if (takesValue && !value) {
      if (i + 1 >= args.size()) return fail("--" + name + " needs a value");
      value = args[++i];
    }
    if (!takesValue && value) return fail("--" + name + " takes no value");
    if (option->group == OptionGroup::Rule) out.rules.given = true;
    if (!option->value.store(value.value_or(""), out)) {
      return fail("--" + name + " takes " + option->value.accepts + ", not \"" + *value + "\"");
    }
    while (option->value.list && i + 1 < args.size() && !args[i + 1].starts_with("--")) {
      option->value.store(args[++i], out);
    }
  }
  std::string error;
  if (!CheckOperands(out, error)) return fail(error);
  if (!CheckTableOptions(out.query, error)) return fail(error);
  if (IsAnalysis(out.command) && !CheckAnalysisOptions(out, error)) return fail(error);
  return result;
}

}  // namespace wordloom::cli
