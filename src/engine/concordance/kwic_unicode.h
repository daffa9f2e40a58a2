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

// The bytes of the stream before a find that its left context may look at.
int64_t UnicodeKwicLookBack(const GatherQuery& query);

// Over a stretch of the text (see TextStretch), only the words that start in its examined
// characters are finds. True, with nothing handed out, when a find's left context would reach
// back before the stretch's first character (never for a stretch at the text's start).
bool RunUnicodeKwic(ScanContext& context, LineSource& file, const UnicodeText& unicode, const GatherQuery& query,
                    CitationSink& sink, const TextStretch& stretch, ProgressSink* progress);

}  // namespace wordloom
