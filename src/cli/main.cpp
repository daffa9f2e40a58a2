// wordloom-cli: the batch front end of the Wordloom engine.
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <new>

#include "base/standard_streams.h"
#include "base/status.h"
#include "cli/arguments.h"
#include "cli/command.h"

namespace {

// False when the text could not be written whole (a full disk, a closed pipe).
bool WriteAll(std::FILE* stream, const std::string& text) {
  bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && ok;
}

// Copies a file to the stream in blocks. An empty string when it went well, else the problem.
std::string CopyToStream(const std::string& path, std::FILE* stream) {
  std::vector<char> buffer(1 << 20);
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr && errno == ENOMEM) throw std::bad_alloc();
  if (in == nullptr) return "Could not read the output " + path + ": " + wordloom::ErrnoText(errno) + ".";
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

// What a command was doing, for the message when memory runs out.
const char* OperationOf(const std::string& command) {
  if (command == "new") return "create the project";
  if (command == "scan") return "scan the project";
  if (command == "info") return "read the project";
  if (command == "wordlist") return "make the word list";
  if (command == "profile") return "make the profile";
  if (command == "collocates") return "find the collocates";
  if (command == "ngrams" || command == "clusters") return "count the n-grams";
  if (command == "dispersion" || command == "plot") return "measure the dispersion";
  if (command == "keyness") return "compare the word lists";
  return "make the concordance";
}

int RunCommand(const wordloom::cli::Arguments& arguments, const wordloom::ScratchFolder& scratch,
               wordloom::cli::Output& output) {
  using namespace wordloom::cli;
  const std::string& command = arguments.command;
  if (command == "new") return RunNew(arguments, scratch, output);
  if (command == "scan") return RunScan(arguments, scratch, output);
  if (command == "info") return RunInfo(arguments, scratch, output);
  if (command == "kwic" || command == "line") return RunConcordanceCommand(arguments, scratch, output);
  if (command == "wordlist") return RunWordList(arguments, scratch, output);
  if (command == "profile") return RunProfile(arguments, scratch, output);
  if (command == "collocates") return RunCollocatesCommand(arguments, scratch, output);
  if (command == "ngrams" || command == "clusters") return RunNgramsCommand(arguments, scratch, output);
  if (command == "dispersion") return RunDispersionCommand(arguments, scratch, output);
  if (command == "keyness") return RunKeynessCommand(arguments, scratch, output);
  if (command == "plot") return RunPlotCommand(arguments, scratch, output);
  return 1;
}

}  // namespace

static int Main(int argc, char** argv) {
  using namespace wordloom::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (const std::optional<std::string> topic = HelpTopic(args)) {
    return WriteAll(stdout, HelpText(*topic)) ? 0 : 1;
  }
  ParseResult parsed = ParseArguments(args);
  if (!parsed.ok) {
    // The help of the command given, if it is one.
    WriteAll(stderr, "wordloom-cli: " + parsed.error + "\n\n" + HelpText(args.empty() ? "" : args[0]));
    return 2;
  }
  const Arguments& arguments = parsed.arguments;
  std::string problem;
  if (arguments.command == "plot" && HandOverPlot(argv, problem)) {
    WriteAll(stderr, problem + "\n");
    return 1;
  }

  Output output;
  int status = 1;
  try {
    wordloom::ScratchFolder scratch;
    const wordloom::Status prepared = arguments.temp ? scratch.Prepare(*arguments.temp) : scratch.PrepareDefault();
    status = prepared.ok() ? RunCommand(arguments, scratch, output) : Fail(output, prepared);
    // The output file lives in the run's own folder, which goes with `scratch`.
    if (!output.outFile.empty()) {
      std::string problem;
      if (!WriteAll(stdout, output.out)) {
        problem = "Could not write the output: " + wordloom::ErrnoText(errno) + ".";
      } else {
        problem = CopyToStream(output.outFile, stdout);
      }
      output.out.clear();
      output.outFile.clear();
      if (!problem.empty()) status = Fail(output, wordloom::Status::Error(problem));
    }
  } catch (const std::bad_alloc&) {
    // Nothing of a half-made output is written; a project file is only ever replaced whole.
    output = Output{};
    status = Fail(output, wordloom::Status::Error(std::string("Not enough memory to ") +
                                                  OperationOf(arguments.command) + "."));
  }
  if (!WriteAll(stdout, output.out)) {
    output.err += "Could not write the output: " + wordloom::ErrnoText(errno) + ".\n";
    status = 1;
  }
  // A message that cannot be written still fails the run.
  if (!WriteAll(stderr, output.err)) status = 1;
  return status;
}

int main(int argc, char** argv) {
  wordloom::GuardStandardStreams();
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("Not enough memory to start.\n", stderr);
    return 1;
  }
}
