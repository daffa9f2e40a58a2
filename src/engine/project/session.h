// Session: the state of one program run.
//
// The current project and the one being created, the character tables and reference-letter
// table, the reader state with the reference values and the Error Report text, the scan
// totals, and the four word lists with the vocabulary's ranges. Every operation takes the
// session (or the parts it needs) by reference; there are no globals. The passes over the
// texts and lists (the vocabulary scan, the concordance, the word list and its table, the
// profile) read a const Session and return what they change in their results; the caller
// commits that once the pass is over, so a pass may run on another thread while nothing
// writes the session.
#pragma once

#include <memory>

#include "project/project.h"
#include "project/reference_letters.h"
#include "scan/scan_rules.h"
#include "scan/scan_state.h"
#include "scan/word_lists.h"

namespace wordloom {

class ProjectIndex;
class ScanRecording;

struct Session {
  Project project;     // the current project (the Edit Project dialog's)
  Project newProject;  // the project the New Project dialog is creating
  CharTables tables;
  ReferenceLetters referenceLetters;
  ScanContext scan;
  ScanTotals totals;
  WordLists lists;
  // The positional index of the project's texts, when one is open (see index/index.h); a
  // pass uses it only while it still matches the project.
  std::shared_ptr<const ProjectIndex> index;
  // The tokens the last scan recorded for the index build, when it was asked to (see
  // index/scan_recording.h); the build uses them once, while they still stand for the texts.
  std::shared_ptr<ScanRecording> recording;
};

}  // namespace wordloom
