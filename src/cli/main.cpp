// wordloom-cli: the batch front end of the Wordloom engine.
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "base/status.h"
#include "cli/command.h"

namespace {

// False when the text could not be written whole (a full disk, a closed pipe).
bool WriteAll(std::FILE* stream, const std::string& text) {
  bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && ok;
}

// Copies a file to the stream in blocks. An empty string when it went well, else the problem.
std::string CopyToStream(const std::string& path, std::FILE* stream) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return "Could not read the output " + path + ": " + wordloom::ErrnoText(errno) + ".";
  std::vector<char> buffer(1 << 20);
  size_t got;
  bool written = true;
  while (written && (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
    written = std::fwrite(buffer.data(), 1, got, stream) == got;
  }
  const bool read = !std::ferror(in);
  std::fclose(in);
  written = std::fflush(stream) == 0 && written;
  if (!read) return "Could not read the output " + path + ".";
  if (!written) return "Could not write the output: " + wordloom::ErrnoText(errno) + ".";
  return "";
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
  std::string problem;
  if (!WriteAll(stdout, output.out)) {
    problem = "Could not write the output: " + wordloom::ErrnoText(errno) + ".";
  } else if (!output.outFile.empty()) {
    problem = CopyToStream(output.outFile, stdout);
  }
  if (!problem.empty()) {
    output.err += problem + "\n";
    status = 1;
  }
  WriteAll(stderr, output.err);
  return status;
}
