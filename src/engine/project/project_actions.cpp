#include "project/project_actions.h"

#include "base/paths.h"

namespace wordloom {
namespace {

constexpr int kLetterL = 12;

Status CheckTitle(const Session& session) {
  if (IsBlankTitle(session.project.Title)) return Status::Error("Please Supply a Title");
  return Status::Ok();
}

}  // namespace

ProjectFileReport OpenProject(Session& session, const std::string& path, const std::string& programFolder,
                              const std::string& currentFolder) {
  ProjectFileReport report = ReadProjectFile(path, programFolder, currentFolder, session);
  if (!report.status.ok()) return report;
  if (session.scan.references.ReferenceLetterUsed[kLetterL] == 0) {
    session.scan.references.ReferenceLetterUsed[kLetterL] = 1;
  }
  session.totals.vocabularySize = static_cast<int64_t>(session.lists.Vocabulary.size());
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

Status ScanProjectTexts(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options) {
  return BuildVocabulary(session.project.Files, session.project.rules, session.tables, scratch, session.scan,
                         session.totals, session.lists, options);
}

Status AcceptNewProject(Session& session, const Project& created, const ScratchFolder& scratch,
                        const VocabularyOptions& options) {
  // A blank title is refused before the current project is touched.
  if (IsBlankTitle(created.Title)) return Status::Error("Please Supply a Title");
  Project& current = session.project;
  current.FileName = created.FileName;
  current.Title = created.Title;
  current.Files = created.Files;
  current.SaveVocabulary = created.SaveVocabulary;
  current.rules = created.rules;
  session.tables = BuildCharTables(current.rules);
  if (current.SavesVocabulary()) {
    Status status = ScanProjectTexts(session, scratch, options);
    if (!status.ok()) return status;
  }
  if (session.scan.references.ReferenceLetterUsed[kLetterL] == 0) {
    session.scan.references.ReferenceLetterUsed[kLetterL] = 1;
  }
  return Status::Ok();
}

Status AcceptEditProject(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options) {
  session.tables = BuildCharTables(session.project.rules);
  Status status = CheckTitle(session);
  if (!status.ok()) return status;
  if (session.project.SavesVocabulary()) return ScanProjectTexts(session, scratch, options);
  return Status::Ok();
}

}  // namespace wordloom
