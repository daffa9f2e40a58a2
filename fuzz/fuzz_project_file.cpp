// The project-file reader on any bytes, and the writer and reader on what it reads.
#include "fuzz_support.h"
#include "project/project_actions.h"
#include "project/project_file.h"

namespace {

using namespace wordloom;

// The file without its third and fourth lines (the date and time of saving).
std::string WithoutDateAndTime(const std::string& file) {
  std::string kept;
  size_t start = 0;
  for (int line = 1; start < file.size(); ++line) {
    size_t end = file.find("\r\n", start);
    end = end == std::string::npos ? file.size() : end + 2;
    if (line != 3 && line != 4) kept.append(file, start, end - start);
    start = end;
  }
  return kept;
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
