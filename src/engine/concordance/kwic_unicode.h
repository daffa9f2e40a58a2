// The keyword pass of a UTF-8 project, which GatherKwic hands a file to once it has begun
// the pass: words from the word cutter, as the vocabulary scan finds them; contexts in
// display columns.
#pragma once

#include "base/line_source.h"
#include "base/progress.h"
#include "concordance/gather.h"
#include "scan/scan_state.h"
#include "unicode/unicode_text.h"

namespace wordloom {

void RunUnicodeKwic(ScanContext& context, LineSource& file, const UnicodeText& unicode, const GatherQuery& query,
                    CitationSink& sink, ProgressSink* progress);

}  // namespace wordloom
