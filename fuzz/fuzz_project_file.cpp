// The project-file reader on any bytes, and the writer and reader on what it reads.
#include "fuzz_support.h"
#include "project/project_actions.h"
#include "project/project_file.h"

namespace {

using namespace wordloom;

// The file without the date and time of saving: the first "#yyyy-mm-dd#" line and the
// "#hh:mm:ss#" line after it (the title before them may span several lines).
std::string WithoutDateAndTime(const std::string& file) {
  auto matches = [&](size_t at, std::string_view shape) {
    if (at + shape.size() > file.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
      const char c = file[at + i];
      if (shape[i] == '9' ? (c < '0' || c > '9') : c != shape[i]) return false;
    }
    return true;
  };
  constexpr std::string_view kDateAndTime = "\r\n#9999-99-99#\r\n#99:99:99#\r\n";
  for (size_t at = 0; at < file.size(); ++at) {
    if (matches(at, kDateAndTime)) return file.substr(0, at + 2) + file.substr(at + kDateAndTime.size());
  }
  return file;
}

// Saves the session as the program does (the tables rebuilt from the rules) and reads the file
// back into `next`; returns the file's text.
std::string SaveAndRead(Session& session, const std::string& path, Session& next) {
  using wordloom::fuzz::Fail;
  const Status saved = SaveProject(session, path);
  if (!saved.ok()) Fail("a project that was read cannot be saved: " + saved.message());
  const ProjectFileReport reread = ReadProjectFile(path, "/program", "/current", next);
  if (!reread.status.ok()) Fail(reread.status.message());
  if (!reread.messages.empty()) Fail("a saved project reads with faults: " + reread.messages.front());
  return WithoutDateAndTime(wordloom::fuzz::ReadFuzzFile(path));
}

}  // namespace

// A project read from any bytes can be saved unless its title is blank or it has no files.
// Reading keeps only what the tables say of the join, end-of-line and end-hyphen characters,
// so the first save may change them; from then on saving and reading change nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom::fuzz;
  const std::string input = WriteFuzzFile("input.wlm", std::string_view(reinterpret_cast<const char*>(data), size));
  Session read;
  if (!ReadProjectFile(input, "/program", "/current", read).status.ok()) return 0;
  if (IsBlankTitle(read.project.Title) || read.project.Files.empty()) return 0;
  Session first, second, third;
  SaveAndRead(read, FuzzFolder() + "/first.wlm", first);
  const std::string once = SaveAndRead(first, FuzzFolder() + "/second.wlm", second);
  const std::string twice = SaveAndRead(second, FuzzFolder() + "/third.wlm", third);
  FUZZ_CHECK(once == twice, "a saved project does not read back as it was");
  return 0;
}
