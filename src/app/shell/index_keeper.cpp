#include "shell/index_keeper.h"

#include <QFileInfo>
#include <utility>

#include "index/index.h"
#include "ui/code_page.h"

namespace wordloom::app {

IndexKeeper::IndexKeeper(Session& session, PassRunner& runner, ScratchFor scratchFor, std::function<int()> threads)
    : session_(session), runner_(runner), scratchFor_(std::move(scratchFor)), threads_(std::move(threads)) {}

// Only a project saved to a file has a place for its index; one without words has none.
bool IndexKeeper::Wanted() const {
  const std::string& project = session_.project.FileName;
  if (project.empty() || project == failedFor_ || session_.lists.Vocabulary.empty()) return false;
  if (session_.index && session_.index->Matches(session_)) return false;
  return QFileInfo(PathText(project)).isFile();
}

void IndexKeeper::Forget() { failedFor_.clear(); }

void IndexKeeper::Then(QWidget* parent, std::function<void()> start) {
  if (!Wanted()) return start();
  const std::shared_ptr<ScratchFolder> scratch = scratchFor_(parent);
  if (!scratch) return;
  auto built = std::make_shared<std::shared_ptr<const ProjectIndex>>();
  auto stopped = std::make_shared<bool>(false);
  runner_.Start(
      "index the texts", true,
      [&session = std::as_const(session_), path = IndexPathFor(session_.project.FileName), scratch, built, stopped,
       options = IndexBuildOptions{.threads = threads_()}](ProgressSink& progress) {
        const Status status = UpdateProjectIndex(session, path, *scratch, *built, &progress, options);
        *stopped = progress.StopRequested();
        return status;
      },
      [this, built, stopped, project = session_.project.FileName, start = std::move(start)](const Status& status) {
        if (*built) session_.index = *built;
        if (*stopped) return;
        // An index that cannot be written, or that does not match once built (a text changed
        // while it was read), would only be built again before every pass.
        if (!status.ok() || !*built || !(*built)->Matches(session_)) failedFor_ = project;
        start();
      });
}

}  // namespace wordloom::app
