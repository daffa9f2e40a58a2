// Helpers shared by the engine tests of more than one subsystem: a scratch folder of a test's
// own, a scanned project of a few texts, and work run in a child process. It brings test_support.h with it.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/scratch_folder.h"
#include "project/project_actions.h"
#include "test_support.h"

namespace wordloom::test {

// A scratch folder prepared in a temporary folder of its own.
struct TempScratch {
  TempFolder folder;
  ScratchFolder scratch;
  TempScratch() { EXPECT_TRUE(scratch.Prepare(folder.File("scratch")).ok()); }
};

// A project of `texts` (file name and bytes) under `rules`, scanned as the New Project
// dialog's OK scans it.
struct ScannedProject {
  TempScratch temp;
  Session session;

  explicit ScannedProject(const std::vector<std::pair<std::string, std::string>>& texts, const ScanRules& rules = {}) {
    Project project;
    for (const auto& [name, bytes] : texts) {
      const std::string path = temp.folder.Write(name, bytes);
      if (project.Files.empty()) {
        project = NewProjectFromTextFile(session, path, temp.folder.path());
      } else {
        project.AddFile(path);
      }
    }
    project.rules = rules;
    EXPECT_TRUE(AcceptNewProject(session, project, temp.scratch).ok());
  }
};

// Rules with every kind of markup: joins "&", end hyphens "-" and reference tags, in `encoding`
// (the UTF-8 alphabet for UTF-8) and with `words` as the word boundaries.
inline ScanRules MarkupRules(TextEncoding encoding, WordBoundaries words = WordBoundaries::Alphabet) {
  ScanRules rules;
  rules.join = std::string("&");
  rules.endHyphen = std::string("-");
  rules.referenceType = ReferenceType::Type1;
  rules.encoding = encoding;
  rules.words = words;
  if (encoding == TextEncoding::Utf8) rules.alphabet = std::string(kDefaultUtf8Alphabet);
  return rules;
}

// Texts named "0.txt", "1.txt" and so on.
inline std::vector<std::pair<std::string, std::string>> NumberedTexts(const std::vector<std::string>& texts) {
  std::vector<std::pair<std::string, std::string>> named;
  for (size_t i = 0; i < texts.size(); ++i) named.emplace_back(std::to_string(i) + ".txt", texts[i]);
  return named;
}

// Runs `work` in a child process (as `user` when one is given) and returns what it returns:
// for what must not touch the test's own process (limits, the working folder, the user).
inline std::string InChild(const std::function<std::string()>& work, int user = -1) {
  int pipe[2];
  EXPECT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    std::string result = "could not become the other user";
    if (user < 0 || (::setgid(static_cast<gid_t>(user)) == 0 && ::setuid(static_cast<uid_t>(user)) == 0)) {
      result = work();
    }
    const ssize_t written = ::write(pipe[1], result.data(), result.size());
    ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
  }
  ::close(pipe[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<size_t>(got));
  ::close(pipe[0]);
  int status = -1;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return result;
}

}  // namespace wordloom::test
