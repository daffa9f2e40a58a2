// The commands of wordloom-cli. Each takes checked arguments, writes its output text and its
// messages, and returns the exit status: 0 success, 1 failure (its message last on stderr).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "cli/arguments.h"
#include "project/project_actions.h"
#include "project/session.h"

namespace wordloom {
class NodeSearch;
}

namespace wordloom::cli {

struct Output {
  std::string out;      // stdout
  std::string outFile;  // a file whose bytes follow `out` on stdout
  std::string err;  // stderr: the Error Report text, messages, then the last line
};

// A failure: its message becomes the last line of stderr.
int Fail(Output& output, const Status& status);

// Text-file operands from `first` on, made absolute and normalised (a project's AddFiles then
// keeps each once); fails when a relative one cannot be made absolute.
Status TextFiles(const std::vector<std::string>& operands, size_t first, std::vector<std::string>& files);

// Puts the rule options into a project being created, and --define values into the table.
void ApplyRuleOptions(const RuleOptions& options, Project& project, ReferenceLetters& letters);

// Keeps the positional index beside the session's project file up to date and open in the
// session, so that passes over the tokens read it instead of the texts. An index that cannot
// be written changes nothing: the texts are read as before. `threads` read the texts (0 follows
// the machine), unless the scan just recorded them.
void KeepProjectIndex(Session& session, const ScratchFolder& scratch, int threads);

// Loads SOURCE into the session: the project file as the opener loads it (with its index
// for the commands that read the tokens), or a fresh project of the text files scanned as the
// New Project dialog's OK would; then applies the --kw edits.
// Messages of the opener and the scan's Error Report go to stderr.
Status LoadSource(const Arguments& args, const ScratchFolder& scratch, Session& session, Output& output);

// The rest of a project dialog's OK once `prepared` tells how PrepareNewProject or
// PrepareEditProject went: an automatic encoding settled from the texts, the scan of
// `candidate` when it needs one (without its words when `words` is false: the lines alone),
// the Error Report as the OK leaves it on stderr (the scan's entries even when it fails), and
// the commit. With `forIndex` the scan records the texts' tokens for KeepProjectIndex.
Status ScanAndCommit(Session& session, const Status& prepared, ProjectCandidate& candidate,
                     const ScratchFolder& scratch, const Arguments& args, Output& output, bool words = true,
                     bool forIndex = false);

int RunNew(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunScan(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunInfo(const Arguments& args, const ScratchFolder& scratch, Output& output);
// kwic and line.
int RunConcordanceCommand(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunWordList(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunProfile(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunCollocatesCommand(const Arguments& args, const ScratchFolder& scratch, Output& output);
// ngrams and clusters.
int RunNgramsCommand(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunDispersionCommand(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunKeynessCommand(const Arguments& args, const ScratchFolder& scratch, Output& output);
int RunPlotCommand(const Arguments& args, const ScratchFolder& scratch, Output& output);
// Drawing loads Qt Gui and some 45 shared libraries, which would slow every command's start:
// wordloom-cli hands `plot` over to wordloom-cli-plot, the same tool built with the picture
// library, which lies beside it. False in that program; else replaces this process with it,
// given this process's arguments, and returns true only when that failed, with `problem` set.
bool HandOverPlot(char** argv, std::string& problem);

// The search of --keys and --search, as the analyses make it.
HitQuery SearchQuery(const Arguments& args);
Status MakeSearch(const Arguments& args, const Session& session, std::unique_ptr<NodeSearch>& search);

// A table written by `write` into scratch file "1", which becomes the output; `summary` goes to
// stderr.
int WriteTableFile(const ScratchFolder& scratch, Output& output, const std::string& summary,
                   const std::function<Status(FileWriter&)>& write);

// Applies the --kw edits to the key words, as the KeyWords Required window would, and
// commits them as its OK does (nothing happens without edits).
void ApplyKeyWordEdits(const std::vector<KeyWordEdit>& edits, Session& session);

}  // namespace wordloom::cli
