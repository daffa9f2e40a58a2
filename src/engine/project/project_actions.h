// The engine side of the project commands: open, save, new from a text file, the OK and Save
// of the New and Edit Project dialogs, and the scan of the project's texts.
//
// These are the steps of the commands that touch no window. The caller shows the messages
// (a failed Status carries the text to show) and refreshes its windows with the texts of
// status_texts.h. The scan computes apart from the session: it only reads the session, fills
// a ScanOutcome, and a commit makes the outcome current. So the scan may run on a worker
// thread while the session stays as it was, and a failed scan changes nothing. The dialogs'
// OK and Save run in three steps: PrepareNewProject or PrepareEditProject (quick checks, on
// the caller's thread, changing nothing), ScanCandidate (the long part), and CommitProject;
// AcceptNewProject and AcceptEditProject run the three in a row.
// Memory: the scan's (see vocabulary.h), plus the new vocabulary beside the old until the
// commit, and a recording's for an index build when asked (index/scan_recording.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "project/project_file.h"
#include "project/session.h"
#include "scan/vocabulary.h"

namespace wordloom {

// Opens a project file: reads it (see ReadProjectFile), then marks letter L used and takes
// the vocabulary size from the vocabulary, which comes without ranges. A foreign or
// unreadable file changes nothing.
ProjectFileReport OpenProject(Session& session, const std::string& path, const std::string& programFolder,
                              const std::string& currentFolder);

// True when the opener takes `path` as a plain text file: its name ends with ".txt" in any case.
bool OpensAsTextFile(const std::string& path);

// The path the status bar is given after opening `path`: a final ".txt" (exact case) becomes ".wlm".
std::string StatusPathAfterOpen(const std::string& path);

// Opening a plain text file: a new project (for the New Project dialog) holding the file,
// named after it up to its first "."; the letter flags and the Error Report are cleared.
Project NewProjectFromTextFile(Session& session, const std::string& path, const std::string& currentFolder);

// The checks before the save dialog: rebuilds the character tables from the rules, then
// refuses a blank title ("Please Supply a Title") or a project without files ("No files in
// the project").
Status CheckProjectToSave(Session& session);

// Writes the session's project to `path` once CheckProjectToSave passes, and makes `path` the
// project's file name.
Status SaveProject(Session& session, const std::string& path);

// What a vocabulary scan makes, kept apart from the session until CommitScan.
struct ScanOutcome {
  ScanContext scan;      // the reader and the reference values and flags after the scan; its
                         // ErrorReportText holds only the entries the scan made
  ScanTotals totals;
  EntryList vocabulary;  // in collating order
  std::vector<uint32_t> ranges;  // per vocabulary entry; empty when the scan could not tell
  std::shared_ptr<ScanRecording> recording;  // the tokens recorded for the index build, if asked
};

// The vocabulary scan of `files` under `rules` and `tables`, continuing from the session's
// reader. Reads the session only. Fails when the scratch files cannot be written or memory
// runs out; an unreadable text is an entry of the outcome's Error Report. With `forIndex`, it
// also records the texts' tokens, in scratch files, for an index build that follows.
[[nodiscard]] Status ScanTexts(const Session& session, const std::vector<std::string>& files, const ScanRules& rules,
                               const CharTables& tables, const ScratchFolder& scratch, ScanOutcome& outcome,
                               const VocabularyOptions& options = {}, bool forIndex = false);

// Makes a scan current: the reader, the letters and the totals are the scan's, its Error
// Report entries follow those already there, and its vocabulary (with its ranges) fills all
// four word lists.
void CommitScan(Session& session, ScanOutcome&& outcome);

// The vocabulary scan of the current project's texts: ScanTexts, then CommitScan when it
// succeeds (a failed scan changes nothing).
Status ScanProjectTexts(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options = {});

// The project that the OK or Save of a project dialog makes current, checked and ready to scan.
struct ProjectCandidate {
  bool isNew = false;  // from the New Project dialog: it replaces the current project
  Project project;     // the project to scan, as it will be
  CharTables tables;   // rebuilt from project.rules
  // "Save Vocabulary" is checked: the texts are scanned before the project becomes current.
  bool NeedsScan() const { return project.SavesVocabulary(); }
};

// The New Project dialog's record `created` copied into the current project (all but its
// scope, patterns and font), with tables rebuilt. Refuses a blank title ("Please Supply a
// Title"). Reads the session only.
[[nodiscard]] Status PrepareNewProject(const Session& session, const Project& created, ProjectCandidate& candidate);

// The current project, which the Edit Project dialog edits in place, with tables rebuilt.
// Refuses a blank title; `candidate.tables` is filled even then, since the dialog's OK
// rebuilds the tables before it checks the title (AcceptEditProject makes them current).
// Reads the session only.
[[nodiscard]] Status PrepareEditProject(const Session& session, ProjectCandidate& candidate);

// Settles an Automatic encoding from the candidate's texts (see DetectEncoding): a UTF-8
// project whose alphabet is the Windows-1252 default takes the UTF-8 default. Rebuilds the
// tables. Reads the texts, so call it where a scan would run; nothing to do for a project
// whose encoding is settled. ScanCandidate and CommitProject need a settled candidate.
// `threads`: as the scan's (VocabularyOptions).
void SettleEncoding(ProjectCandidate& candidate, int threads);

// The scan of a candidate's texts, apart from the session (call it when NeedsScan()).
[[nodiscard]] Status ScanCandidate(const Session& session, const ProjectCandidate& candidate,
                                   const ScratchFolder& scratch, ScanOutcome& outcome,
                                   const VocabularyOptions& options = {}, bool forIndex = false);
// The scan of a candidate (ScanCandidate) whose encoding, when Automatic, is settled on the way
// by `settle` (SettleEncoding, or that and more), without reading the texts twice when they are
// ASCII: when their first bytes are, they are scanned as Windows-1252 straight away, and read
// again to settle the encoding only if the scan met a byte beyond ASCII or was asked to stop
// (and scanned again if that makes them UTF-8). With `forIndex`, the scan records the texts'
// tokens for an index build, unless the index beside the candidate's project file may lend
// texts under the settled rules.
[[nodiscard]] Status ScanSettlingEncoding(const Session& session, ProjectCandidate& candidate,
                                          const ScratchFolder& scratch, ScanOutcome& outcome,
                                          const VocabularyOptions& options,
                                          const std::function<void(ProjectCandidate&)>& settle,
                                          bool forIndex = false);
// Less than that, for a run that needs only the texts' physical line total and Error Report
// (a concordance of given keys): the outcome of a scan with an empty vocabulary and the line
// counts of CountTextLines.
void ReadCandidateLines(const Session& session, const ProjectCandidate& candidate, ScanOutcome& outcome);

// Makes a candidate current, with its scan when `scanned` is not null: a new project replaces
// the current one and marks letter L used; an edited one leaves the project as the dialog
// edited it (it must not change while its scan runs). The tables are the candidate's.
void CommitProject(Session& session, ProjectCandidate&& candidate, ScanOutcome* scanned);

// OK of the New Project dialog, before its question about saving: PrepareNewProject, the
// scan when "Save Vocabulary" is checked, and CommitProject.
Status AcceptNewProject(Session& session, const Project& created, const ScratchFolder& scratch,
                        const VocabularyOptions& options = {});

// OK of the Edit Project dialog, before its question about saving: PrepareEditProject (a
// refused title still leaves the tables rebuilt), the scan when "Save Vocabulary" is checked,
// and CommitProject.
Status AcceptEditProject(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options = {});

}  // namespace wordloom
