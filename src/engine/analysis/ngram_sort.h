// Sorting a spill's n-gram records by key, in place.
//
// A spill sorts millions of 40-byte records; a comparison sort would move each about the whole
// table some twenty times. SortNgramRecords instead partitions them a digit at a time from the
// first word (an in-place radix sort), each word taken as one to four digits of up to 10 bits,
// only as wide as the largest word present, and sorts stretches of a few dozen records by
// comparison. Memory: a few KiB a digit of the key.
#pragma once

#include <cstddef>

#include "analysis/ngram_runs.h"

namespace wordloom {

// Sorts `count` records into key order; `wordBits` holds every packed word present (1 to 32).
void SortNgramRecords(NgramRecord* records, size_t count, int wordBits);

}  // namespace wordloom
