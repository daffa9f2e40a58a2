// The token pass of an index build on several threads. The texts are cut into pieces where the
// vocabulary scan cuts them (scan/text_pieces.h); each stretch of pieces is read on a thread
// of its own, from a fresh reader a piece, by a writer of pieces into scratch files ("Xt1",
// "Xl1", ... for the first stretch), and the stretches are then brought into the build's
// writer in text order. A fresh reader reads a piece as the single pass reads it there unless
// a reference tag sets a value, a line adds to the Error Report, or a text ends joined to the
// next: then the texts are left to the single pass. Memory: one vocabulary lookup table, and
// per thread a writer of pieces (about 40 bytes a vocabulary entry, kept until the positions
// are written) and one logical line; the threads are as many as `options` asks (for 0, one a
// hardware thread), at most 16 and as many as 256 MiB of writers allow.
#pragma once

#include <string>
#include <vector>

#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "index/index.h"
#include "index/index_writer.h"

namespace wordloom {

// The tokens of `files` (the session's texts, every one of them read afresh) into `writer`, as
// StreamTokens would hand them to it. `taken` false, with nothing written, when the texts are
// left to the single pass (one thread, texts too small to cut, or pieces a fresh reader cannot
// read alone); else the status says how the pass ended ("Stopped." when `progress` asked).
Status WriteTokensInPieces(const std::vector<std::string>& files, const Session& session, const ScratchFolder& scratch,
                           const IndexBuildOptions& options, IndexWriter& writer, ProgressSink* progress, bool& taken);

// How many stretches' writers of pieces a build can afford for a vocabulary of `entries`.
size_t AffordableStretches(size_t entries);

}  // namespace wordloom
