// The texts of a project record when the encoding of its project changes.
//
// A record's texts (the title, the vocabulary patterns and the characters of the scanning
// rules) are bytes in its project's encoding, and Windows-1252 while that encoding is
// Automatic (see TypedEncoding). When the encoding changes, in a project dialog or as the
// texts settle an Automatic one, the texts are recoded so that they keep their characters, and
// an alphabet that is one encoding's default becomes the other's. File names are left alone.
#pragma once

#include "project/project.h"
#include "project/project_actions.h"

namespace wordloom::app {

// Gives the record the encoding `to`, its texts recoded (in Windows-1252 a character the code
// page lacks becomes "?").
void ChangeEncoding(Project& project, TextEncoding to);

// Settles an Automatic encoding from the candidate's texts (SettleEncoding); a project that
// settles as UTF-8 has its texts recoded and its tables rebuilt. It reads the texts, so it
// runs where the scan runs. True when the texts were recoded.
bool SettleCandidate(ProjectCandidate& candidate);

}  // namespace wordloom::app
