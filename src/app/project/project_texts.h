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
#include "project/reference_letters.h"

namespace wordloom::app {

// Gives the record the encoding `to`, its texts recoded (in Windows-1252 a character the code
// page lacks becomes "?").
void ChangeEncoding(Project& project, TextEncoding to);

// Settles an Automatic encoding from the candidate's texts (SettleEncoding); a project that
// settles as UTF-8 has its texts recoded and its tables rebuilt. It reads the texts, so it
// runs where the scan runs, on the scan's `threads`. True when the texts were recoded.
bool SettleCandidate(ProjectCandidate& candidate, int threads);

// The reference-letter values of a project that has settled as UTF-8: a value typed while
// its encoding was Automatic is Windows-1252 and becomes UTF-8; one that is valid UTF-8
// already (typed for a UTF-8 project the table served before) stays.
void RecodeLettersToUtf8(ReferenceLetters& letters);

}  // namespace wordloom::app
