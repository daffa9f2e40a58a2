#include "project/project_actions.h"

#include <utility>

#include "base/paths.h"
#include "index/index.h"
#include "index/index_format.h"
#include "index/scan_recording.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr int kLetterL = 12;

Status CheckTitle(const Session& session) {
  if (IsBlankTitle(session.project.Title)) return Status::Error("Please Supply a Title");
  return Status::Ok();
}

void MarkLetterLUsed(Session& session) {
  if (session.scan.references.ReferenceLetterUsed[kLetterL] == 0) {
    session.scan.references.ReferenceLetterUsed[kLetterL] = 1;
  }
}

}  // namespace

ProjectFileReport OpenProject(Session& session, const std::string& path, const std::string& programFolder,
                              const std::string& currentFolder) {
  ProjectFileReport report = ReadProjectFile(path, programFolder, currentFolder, session);
  if (!report.status.ok()) return report;
  MarkLetterLUsed(session);
  session.totals.vocabularySize = static_cast<int64_t>(session.lists.Vocabulary.size());
  session.lists.ranges.clear();  // the file keeps none
  return report;
}

bool OpensAsTextFile(const std::string& path) { return EndsWithNoCase(path, ".txt"); }

std::string StatusPathAfterOpen(const std::string& path) {
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".txt") == 0) {
    return path.substr(0, path.size() - 4) + ".wlm";
  }
  return path;
}

Project NewProjectFromTextFile(Session& session, const std::string& path, const std::string& currentFolder) {
  Project created = session.newProject;  // the scope, patterns and font the dialog still holds
  ResetToNewProjectDefaults(created, currentFolder);
  created.AddFile(path);
  std::string name = FileNameOf(path);
  name = name.substr(0, name.find('.'));
  created.FileName = name;
  created.Title = name;
  session.scan.references.ReferenceLetterUsed.fill(0);
  session.scan.ErrorReportText.clear();
  return created;
}

Status CheckProjectToSave(Session& session) {
  // A refused save still leaves the tables built from the rules.
  session.tables = BuildCharTables(session.project.rules);
  Status status = CheckTitle(session);
  if (!status.ok()) return status;
  if (session.project.Files.empty()) return Status::Error("No files in the project");
  return Status::Ok();
}

Status SaveProject(Session& session, const std::string& path) {
  Status status = CheckProjectToSave(session);
  if (!status.ok()) return status;
  session.project.FileName = path;
  session.totals.vocabularySize = static_cast<int64_t>(session.lists.Vocabulary.size());
  return WriteProjectFile(session, path);
}

Status ScanTexts(const Session& session, const std::vector<std::string>& files, const ScanRules& rules,
                 const CharTables& tables, const ScratchFolder& scratch, ScanOutcome& outcome,
                 const VocabularyOptions& options, bool forIndex) {
  outcome.scan = session.scan.PassCopy();
  outcome.totals = session.totals;
  outcome.recording.reset();
  VocabularyOptions scan = options;
  if (forIndex) {
    outcome.recording = std::make_shared<ScanRecording>(scratch, files, RulesKey(rules, tables));
    scan.recorder = outcome.recording.get();
  }
  return BuildVocabulary(files, rules, tables, scratch, outcome.scan, outcome.totals, outcome.vocabulary,
                         outcome.ranges, scan);
}

void CommitScan(Session& session, ScanOutcome&& outcome) {
  session.scan.Commit(std::move(outcome.scan));
  session.totals = outcome.totals;
  session.lists.Vocabulary = std::move(outcome.vocabulary);
  session.lists.ranges = std::move(outcome.ranges);
  session.lists.ResetViews();
  session.recording = std::move(outcome.recording);
}

Status ScanProjectTexts(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options) {
  ScanOutcome outcome;
  Status status = ScanTexts(session, session.project.Files, session.project.rules, session.tables, scratch, outcome,
                            options);
  if (status.ok()) CommitScan(session, std::move(outcome));
  return status;
}

Status PrepareNewProject(const Session& session, const Project& created, ProjectCandidate& candidate) {
  // A blank title is refused before anything is made.
  if (IsBlankTitle(created.Title)) return Status::Error("Please Supply a Title");
  candidate.isNew = true;
  candidate.project = session.project;
  Project& current = candidate.project;
  current.FileName = created.FileName;
  current.Title = created.Title;
  current.Files = created.Files;
  current.SaveVocabulary = created.SaveVocabulary;
  current.rules = created.rules;
  candidate.tables = BuildCharTables(current.rules);
  return Status::Ok();
}

Status PrepareEditProject(const Session& session, ProjectCandidate& candidate) {
  candidate.isNew = false;
  candidate.project = session.project;
  candidate.tables = BuildCharTables(candidate.project.rules);
  if (IsBlankTitle(candidate.project.Title)) return Status::Error("Please Supply a Title");
  return Status::Ok();
}

void SettleEncoding(ProjectCandidate& candidate, int threads) {
  ScanRules& rules = candidate.project.rules;
  if (rules.encoding != TextEncoding::Automatic) return;
  rules.encoding = DetectEncoding(candidate.project.Files, threads);
  if (rules.encoding == TextEncoding::Utf8 && rules.alphabet == kDefaultAlphabet) rules.alphabet = kDefaultUtf8Alphabet;
  candidate.tables = BuildCharTables(rules);
}

Status ScanCandidate(const Session& session, const ProjectCandidate& candidate, const ScratchFolder& scratch,
                     ScanOutcome& outcome, const VocabularyOptions& options, bool forIndex) {
  return ScanTexts(session, candidate.project.Files, candidate.project.rules, candidate.tables, scratch, outcome,
                   options, forIndex);
}

Status ScanSettlingEncoding(const Session& session, ProjectCandidate& candidate, const ScratchFolder& scratch,
                            ScanOutcome& outcome, const VocabularyOptions& options,
                            const std::function<void(ProjectCandidate&)>& settle, bool forIndex) {
  ScanRules& rules = candidate.project.rules;
  const auto scan = [&] {
    // A build that takes some texts from the old index reads the others itself: nothing to record.
    const bool records =
        forIndex && !IndexMayLendTexts(IndexPathFor(candidate.project.FileName), candidate.project.Files,
                                       RulesKey(rules, candidate.tables));
    return ScanCandidate(session, candidate, scratch, outcome, options, records);
  };
  if (rules.encoding != TextEncoding::Automatic || !TextsBeginInAscii(candidate.project.Files)) {
    settle(candidate);
    return scan();
  }
  // ASCII texts call for Windows-1252, as settling would find.
  rules.encoding = TextEncoding::Windows1252;
  candidate.tables = BuildCharTables(rules);
  Status status = scan();
  // A scan asked to stop may have read too little to tell: the encoding is then settled anyway.
  const bool stopped = options.progress && options.progress->StopRequested();
  if (!status.ok() || (!stopped && !outcome.totals.beyondAscii)) return status;
  rules.encoding = TextEncoding::Automatic;
  settle(candidate);
  if (rules.encoding == TextEncoding::Windows1252) return status;  // settled as it was scanned
  outcome = ScanOutcome{};
  return scan();
}

void ReadCandidateLines(const Session& session, const ProjectCandidate& candidate, ScanOutcome& outcome) {
  outcome.scan = session.scan.PassCopy();
  outcome.totals = session.totals;
  CountTextLines(candidate.project.Files, candidate.project.rules, candidate.tables, outcome.scan, outcome.totals);
  outcome.totals.vocabularySize = 0;
}

void CommitProject(Session& session, ProjectCandidate&& candidate, ScanOutcome* scanned) {
  SettleEncoding(candidate, 1);  // already done where the texts were scanned
  if (candidate.isNew) {
    session.project = std::move(candidate.project);
  } else {
    session.project.rules = candidate.project.rules;  // the edited rules, with their encoding settled
  }
  session.tables = candidate.tables;
  if (scanned) CommitScan(session, std::move(*scanned));
  if (candidate.isNew) MarkLetterLUsed(session);
}

namespace {

// The scan of a prepared candidate when it needs one, then the commit; a failed scan changes nothing.
Status ScanAndCommit(Session& session, ProjectCandidate& candidate, const ScratchFolder& scratch,
                     const VocabularyOptions& options) {
  const auto settle = [&options](ProjectCandidate& settled) { SettleEncoding(settled, options.threads); };
  if (!candidate.NeedsScan()) {
    settle(candidate);
    CommitProject(session, std::move(candidate), nullptr);
    return Status::Ok();
  }
  ScanOutcome outcome;
  Status status = ScanSettlingEncoding(session, candidate, scratch, outcome, options, settle);
  if (status.ok()) CommitProject(session, std::move(candidate), &outcome);
  return status;
}

}  // namespace

Status AcceptNewProject(Session& session, const Project& created, const ScratchFolder& scratch,
                        const VocabularyOptions& options) {
  ProjectCandidate candidate;
  Status status = PrepareNewProject(session, created, candidate);
  if (!status.ok()) return status;
  return ScanAndCommit(session, candidate, scratch, options);
}

Status AcceptEditProject(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options) {
  ProjectCandidate candidate;
  Status status = PrepareEditProject(session, candidate);
  if (!status.ok()) {
    session.tables = candidate.tables;
    return status;
  }
  return ScanAndCommit(session, candidate, scratch, options);
}

}  // namespace wordloom
