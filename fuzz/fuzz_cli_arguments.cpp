// The command line of wordloom-cli: any arguments (the input split at NUL bytes) are either
// taken, with a known command and operands, or refused with a message.
#include <set>

#include "cli/arguments.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom::fuzz;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  size_t start = 0;
  while (start <= bytes.size() && args.size() < 64) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    args.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  const wordloom::cli::ParseResult parsed = wordloom::cli::ParseArguments(args);
  if (!parsed.ok) {
    FUZZ_CHECK(!parsed.error.empty(), "a refusal without a message");
    return 0;
  }
  static const std::set<std::string> commands = {"new", "scan", "info", "kwic", "line", "wordlist", "profile"};
  FUZZ_CHECK(commands.count(parsed.arguments.command) != 0, "an unknown command taken: " + parsed.arguments.command);
  FUZZ_CHECK(!parsed.arguments.operands.empty(), "a command taken without a source");
  FUZZ_CHECK(parsed.arguments.query.wordListOrder >= 1 && parsed.arguments.query.wordListOrder <= 6, "order");
  FUZZ_CHECK(parsed.arguments.context >= 10 && parsed.arguments.context <= 240, "context width");
  return 0;
}
