// ProjectCommands: the commands that change the current project: "&New", "&Open", "&Project",
// a text file opened as a new project, the project dialogs' Save and OK, and the Reference
// Letter Definition and KeyWords Required dialogs.
//
// The commands own these dialogs and change the session; the scans run through the window's
// PassRunner and are committed when they end. The main window learns what changed through the
// signals and refreshes itself from the session.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "project/session.h"

class QWidget;

namespace wordloom {
class ScratchFolder;
}

namespace wordloom::app {

class KeyWordsDialog;
class PassRunner;
class ProjectDialog;
class Prompts;
class ReferenceLettersDialog;
class Settings;

class ProjectCommands : public QObject {
  Q_OBJECT
 public:
  // `scratchFor` gives the window's scratch folder, or null once the user has been told why not.
  using ScratchSource = std::function<std::shared_ptr<ScratchFolder>(QWidget* parent)>;

  ProjectCommands(Session& session, Settings& settings, Prompts& prompts, PassRunner& runner,
                  ScratchSource scratchFor, QWidget* window);

  void NewProject();
  // Asks for a project or a text file, then opens it.
  void Open();
  // Opens a project file, or a text file as a new project.
  void OpenPath(const QString& path);
  void EditProject();
  // The reference letters of a project in `encoding`.
  void ShowReferenceLetters(TextEncoding encoding);
  void ShowKeyWords();
  // Hides the dialogs as the window closes.
  void HideDialogs();

 signals:
  // A project file, or a text file's new project, is the current project now.
  void projectOpened(const QString& statusPath);
  // The New Project dialog's project has become the current one (its OK or Save).
  void newProjectTaken(const QString& statusPath);
  // The Edit Project dialog's OK has been taken.
  void projectAccepted(const QString& statusPath);
  // A scan from a project dialog has been committed.
  void projectScanned();
  void keyWordsChanged();
  void recentProjectsChanged();
  // The Error Report was emptied before a scan; it may have something to show after one.
  void errorReportCleared();
  void errorReportChanged();
  // The New Project dialog opened for a text file has closed.
  void textFileOpenFinished();

 private:
  ProjectDialog* ProjectDialogOf(bool isNew);
  void OpenProjectFile(const QString& path);
  void OpenTextFile(const QString& path);
  void FinishTextFileOpen();
  // The scan of OK or Save (when "Save Vocabulary" is checked), then `accepted` once the
  // project is taken; a refusal or a failed scan leaves the dialog open.
  void ScanFromProjectDialog(ProjectDialog* dialog, std::function<void()> accepted);
  void AcceptProjectDialog(ProjectDialog* dialog);
  void SaveFromProjectDialog(ProjectDialog* dialog);
  // The writer's checks, its save dialog and the save.
  void SaveProjectWithDialog(QWidget* parent, const QString& folder);
  void Warn(QWidget* parent, const std::string& message);

  Session& session_;
  Settings& settings_;
  Prompts& prompts_;
  PassRunner& runner_;
  ScratchSource scratchFor_;
  QWidget* window_;
  ProjectDialog* newProjectDialog_ = nullptr;
  ProjectDialog* editProjectDialog_ = nullptr;
  KeyWordsDialog* keyWordsDialog_ = nullptr;
  ReferenceLettersDialog* referenceLettersDialog_ = nullptr;
  QString textFileOpening_;       // the text file the New Project dialog is open for
  bool newProjectTaken_ = false;  // its project has become the current one (OK or Save)
  std::array<int64_t, 27> letterFlagsBeforeTextFile_{};
};

}  // namespace wordloom::app
