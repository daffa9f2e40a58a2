// Helpers shared by the tests: temporary folders and files, reading files back.
#pragma once

#include <string>
#include <vector>

namespace wordloom::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to `name` inside the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
// The CR LF lines of `bytes`; text after the last line end makes a last line of its own.
std::vector<std::string> CrLfLines(const std::string& bytes);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace wordloom::test
