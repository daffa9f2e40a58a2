// A synthetic English-like corpus for the benchmarks.
//
// Words follow a Zipf distribution (exponent 1.07) over 250,000 made-up words, most of one or
// two syllables, after a list of common English words; sentences start with a capital and
// carry punctuation, numbers and the odd apostrophe or hyphen; lines of about 70 characters
// end with CR LF, with a blank line now and then. The same seed gives the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace wordloom::bench {

// Writes about `bytes` bytes to `path`; false if the file cannot be written.
bool WriteCorpus(const std::string& path, uint64_t bytes, uint64_t seed = 1998);

}  // namespace wordloom::bench
