// wordloom-cli: the batch front end of the Wordloom engine.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command.h"

namespace {

void WriteAll(std::FILE* stream, const std::string& text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// Copies a file to the stream in blocks.
bool CopyToStream(const std::string& path, std::FILE* stream) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  std::vector<char> buffer(1 << 20);
  size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) std::fwrite(buffer.data(), 1, got, stream);
  bool ok = !std::ferror(in);
  std::fclose(in);
  std::fflush(stream);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace wordloom::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    WriteAll(stdout, UsageText());
    return 0;
  }
  ParseResult parsed = ParseArguments(args);
  if (!parsed.ok) {
    WriteAll(stderr, "wordloom-cli: " + parsed.error + "\n\n" + UsageText());
    return 2;
  }
  const Arguments& arguments = parsed.arguments;

  Output output;
  wordloom::ScratchFolder scratch;
  wordloom::Status prepared = arguments.temp ? scratch.Prepare(*arguments.temp) : scratch.PrepareDefault();
  if (prepared.ok()) prepared = scratch.Lock();
  int status = 1;
  if (!prepared.ok()) {
    status = Fail(output, prepared);
  } else if (arguments.command == "new") {
    status = RunNew(arguments, scratch, output);
  } else if (arguments.command == "scan") {
    status = RunScan(arguments, scratch, output);
  } else if (arguments.command == "info") {
    status = RunInfo(arguments, scratch, output);
  } else if (arguments.command == "kwic" || arguments.command == "line") {
    status = RunConcordanceCommand(arguments, scratch, output);
  } else if (arguments.command == "wordlist") {
    status = RunWordList(arguments, scratch, output);
  } else if (arguments.command == "profile") {
    status = RunProfile(arguments, scratch, output);
  }
  WriteAll(stdout, output.out);
  if (!output.outFile.empty() && !CopyToStream(output.outFile, stdout)) {
    output.err += "Could not read the output " + output.outFile + ".\n";
    status = 1;
  }
  WriteAll(stderr, output.err);
  return status;
}
