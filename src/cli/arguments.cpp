#include "cli/arguments.h"

#include <set>

#include "base/paths.h"
#include "concordance/concordance_run.h"

namespace wordloom::cli {
namespace {

enum class Scope { Rule, Common, Command };

struct OptionSpec {
  const char* name;
  bool takesValue;
  Scope scope;
  const char* commands = "";  // for Scope::Command: the commands that take the option
};

constexpr const char* kQueryCommands = "kwic line";
constexpr const char* kListCommands = "kwic line wordlist";

constexpr OptionSpec kOptions[] = {
    {"title", true, Scope::Rule},
    {"alphabet", true, Scope::Rule},
    {"eol", true, Scope::Rule},
    {"join", true, Scope::Rule},
    {"hyphen", true, Scope::Rule},
    {"refs", true, Scope::Rule},
    {"left", true, Scope::Rule},
    {"right", true, Scope::Rule},
    {"define", true, Scope::Rule},
    {"temp", true, Scope::Common},
    {"context", true, Scope::Common},
    {"no-vocabulary", false, Scope::Command, "new"},
    {"keys", true, Scope::Command, kQueryCommands},
    {"keywords", false, Scope::Command, "kwic line wordlist profile"},
    {"match", true, Scope::Command, kQueryCommands},
    {"order", true, Scope::Command, kListCommands},
    {"index", false, Scope::Command, kQueryCommands},
    {"cite", true, Scope::Command, kQueryCommands},
    {"wordlist-order", true, Scope::Command, kQueryCommands},
    {"rhyme", false, Scope::Command, kListCommands},
    {"layout", true, Scope::Command, "wordlist"},
    {"freq", false, Scope::Command, "wordlist"},
    {"spectrum", false, Scope::Command, "profile"},
    {"kw", true, Scope::Command, "info kwic line wordlist profile"},
};

const std::set<std::string> kCommands = {"new", "scan", "info", "kwic", "line", "wordlist", "profile"};

bool TakesOption(const OptionSpec& option, const std::string& command) {
  if (option.scope != Scope::Command) return true;
  std::string_view list = option.commands;
  for (size_t at = 0; at < list.size();) {
    size_t end = list.find(' ', at);
    if (end == std::string_view::npos) end = list.size();
    if (list.substr(at, end - at) == command) return true;
    at = end + 1;
  }
  return false;
}

const OptionSpec* FindOption(const std::string& name) {
  for (const OptionSpec& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

// The value a name stands for in a table of (name, value) pairs; false when it is not there.
template <typename T, size_t N>
bool Lookup(const std::pair<const char*, T> (&table)[N], std::string_view name, T& value) {
  for (const auto& [text, meaning] : table) {
    if (name == text) {
      value = meaning;
      return true;
    }
  }
  return false;
}

constexpr std::pair<const char*, MatchKind> kMatchKinds[] = {
    {"word", MatchKind::Word}, {"prefix", MatchKind::Prefix}, {"suffix", MatchKind::Suffix}, {"anywhere", MatchKind::Anywhere}};
constexpr std::pair<const char*, CitationOrder> kCitationOrders[] = {
    {"occurs", CitationOrder::AsItOccurs}, {"left", CitationOrder::LeftContext}, {"right", CitationOrder::RightContext}};
constexpr std::pair<const char*, WordListLayout> kLayouts[] = {{"left", WordListLayout::ColumnsLeft},
                                                               {"right", WordListLayout::ColumnsRight},
                                                               {"packed", WordListLayout::Packed},
                                                               {"column", WordListLayout::OneColumn}};
constexpr std::pair<const char*, MoveDirection> kDirections[] = {{"add", MoveDirection::Add},
                                                                 {"remove", MoveDirection::Remove}};
constexpr std::pair<const char*, PatternKind> kPatterns[] = {
    {"prefix", PatternKind::Prefix}, {"suffix", PatternKind::Suffix}, {"anywhere", PatternKind::Anywhere}};
constexpr std::pair<const char*, FrequencyTest> kTests[] = {
    {"gt", FrequencyTest::Greater}, {"lt", FrequencyTest::Less}, {"eq", FrequencyTest::Equal}};

// A whole number, or a decimal rounded half to even; false for anything else.
bool ParseListOrder(const std::string& name, const std::string& value, int& order, std::string& error) {
  if (value.size() != 1 || value[0] < '1' || value[0] > '6') {
    error = "--" + name + " takes a number from 1 to 6, not \"" + value + "\"";
    return false;
  }
  order = value[0] - '0';
  return true;
}

// "clear", or "add:" / "remove:", a move and its value ("add:prefix:con", "remove:gt:10").
bool ParseKeyWordEdit(const std::string& text, KeyWordEdit& edit) {
  if (text == "clear") return true;
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
  if (second == std::string::npos) return false;
  const std::string move = text.substr(first + 1, second - first - 1);
  edit.text = text.substr(second + 1);
  if (!Lookup(kDirections, text.substr(0, first), edit.direction)) return false;
  if (Lookup(kPatterns, move, edit.pattern)) {
    edit.kind = KeyWordEdit::Kind::Pattern;
  } else if (Lookup(kTests, move, edit.test)) {
    edit.kind = KeyWordEdit::Kind::Frequency;
  } else if (move == "word") {
    edit.kind = KeyWordEdit::Kind::Word;
  } else {
    return false;
  }
  return true;
}

bool ApplyQueryOption(const std::string& name, const std::string& value, const std::string& command,
                      QueryOptions& query, std::string& error) {
  if (name == "keys") {
    query.keys = value;
  } else if (name == "keywords") {
    query.keyWords = true;
  } else if (name == "index") {
    query.index = true;
  } else if (name == "rhyme") {
    query.rhyme = true;
  } else if (name == "cite") {
    query.cite = value;
  } else if (name == "match") {
    if (!Lookup(kMatchKinds, value, query.match)) {
      error = "--match takes word, prefix, suffix or anywhere, not \"" + value + "\"";
      return false;
    }
  } else if (name == "order" && command == "wordlist") {
    return ParseListOrder(name, value, query.wordListOrder, error);
  } else if (name == "order") {
    if (!Lookup(kCitationOrders, value, query.order)) {
      error = "--order takes occurs, left or right, not \"" + value + "\"";
      return false;
    }
  } else if (name == "wordlist-order") {
    return ParseListOrder(name, value, query.wordListOrder, error);
  } else if (name == "layout") {
    if (!Lookup(kLayouts, value, query.layout)) {
      error = "--layout takes left, right, packed or column, not \"" + value + "\"";
      return false;
    }
  } else if (name == "freq") {
    query.frequencies = true;
  } else if (name == "spectrum") {
    query.spectrum = true;
  } else if (name == "kw") {
    KeyWordEdit edit;
    if (!ParseKeyWordEdit(value, edit)) {
      error = "--kw takes clear, or add: or remove: followed by prefix:, suffix:, anywhere:, gt:, lt:, eq: or word: "
              "and a value, not \"" + value + "\"";
      return false;
    }
    query.keyWordEdits.push_back(std::move(edit));
  }
  return true;
}

bool ApplyOption(const std::string& name, const std::string& value, Arguments& out, std::string& error) {
  RuleOptions& rules = out.rules;
  if (name == "title") {
    rules.title = value;
  } else if (name == "alphabet") {
    rules.alphabet = value;
  } else if (name == "eol") {
    rules.endOfLine = value;
  } else if (name == "join") {
    rules.join = value;
  } else if (name == "hyphen") {
    rules.endHyphen = value;
  } else if (name == "left") {
    rules.leftReference = value;
  } else if (name == "right") {
    rules.rightReference = value;
  } else if (name == "refs") {
    if (value == "none") {
      rules.referenceType = ReferenceType::None;
    } else if (value == "type1") {
      rules.referenceType = ReferenceType::Type1;
    } else {
      error = "--refs takes none or type1, not \"" + value + "\"";
      return false;
    }
  } else if (name == "define") {
    char letter = value.empty() ? '\0' : value[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
    if (letter < 'A' || letter > 'Z' || value.size() < 2 || value[1] != '=') {
      error = "--define takes a letter, \"=\" and a value (for example C=Third), not \"" + value + "\"";
      return false;
    }
    rules.defines.emplace_back(letter - 'A' + 1, value.substr(2));
  } else if (name == "temp") {
    out.temp = value;
  } else if (name == "context") {
    if (!ParseContextWidth(value, out.context)) {
      error = "--context takes a number, not \"" + value + "\"";
      return false;
    }
  } else if (name == "no-vocabulary") {
    out.noVocabulary = true;
  } else {
    return ApplyQueryOption(name, value, out.command, out.query, error);
  }
  return true;
}

bool CheckOperands(Arguments& args, std::string& error) {
  const std::vector<std::string>& operands = args.operands;
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
  if (project && args.rules.given) {
    error = "the rule options apply to text files, not to a project file";
    return false;
  }
  return true;
}

}  // namespace

bool IsProjectPath(const std::string& path) { return EndsWithNoCase(path, ".wlm"); }

std::string UsageText() {
  return "usage: wordloom-cli COMMAND [OPTIONS] SOURCE...\n"
         "\n"
         "SOURCE is one project file (.wlm) or one or more text files.\n"
         "\n"
         "Commands:\n"
         "  new PROJECT.wlm [rule options] [--no-vocabulary] FILE...\n"
         "                       create a project, scan its texts and write it\n"
         "  scan PROJECT.wlm     rescan a project's texts and save it\n"
         "  info SOURCE          title, counts, key-word summary, reference letters\n"
         "  kwic SOURCE [query options]   keyword-in-context concordance\n"
         "  line SOURCE [query options]   whole-line concordance\n"
         "  wordlist SOURCE [--order 1..6] [--rhyme] [--layout left|right|packed|column] [--freq]\n"
         "                [--keywords]    word list\n"
         "  profile SOURCE [--keywords] [--spectrum]   word frequency profile\n"
         "\n"
         "Rule options (for new, and for text files):\n"
         "  --title T  --alphabet S  --eol S  --join S  --hyphen S  --refs none|type1\n"
         "  --left C  --right C  --define X=V (repeatable)\n"
         "Common options:\n"
         "  --temp DIR           folder for scratch files\n"
         "  --context N          concordance context width (10 to 240, default 60)\n"
         "Query options (for kwic and line):\n"
         "  --keys \"K1 K2 ...\"   the keys          --keywords   the committed key words\n"
         "  --match word|prefix|suffix|anywhere    --order occurs|left|right\n"
         "  --index              an index instead of a concordance\n"
         "  --cite LETTERS       reference letters to cite (L: the line number)\n"
         "  --wordlist-order 1..6, --rhyme   the order of the key words\n"
         "Key-word edits (info, kwic, line, wordlist, profile; repeatable, applied in order):\n"
         "  --kw clear | add:MOVE:VALUE | remove:MOVE:VALUE\n"
         "                       MOVE is prefix, suffix, anywhere, gt, lt, eq or word\n";
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
  if (kCommands.count(out.command) == 0) return fail("unknown command \"" + out.command + "\"");

  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
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
    const OptionSpec* option = FindOption(name);
    if (option == nullptr) return fail("unknown option --" + name);
    if (!TakesOption(*option, out.command)) return fail("--" + name + " is not an option of " + out.command);
    if (option->takesValue && !value) {
      if (i + 1 >= args.size()) return fail("--" + name + " needs a value");
      value = args[++i];
    }
    if (!option->takesValue && value) return fail("--" + name + " takes no value");
    if (option->scope == Scope::Rule) out.rules.given = true;
    std::string error;
    if (!ApplyOption(name, value.value_or(""), out, error)) return fail(error);
  }
  std::string error;
  if (!CheckOperands(out, error)) return fail(error);
  return result;
}

}  // namespace wordloom::cli
