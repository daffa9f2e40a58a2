// wordloom-make-corpus OUTPUT MEGABYTES [SEED]: writes the benchmarks' synthetic corpus.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corpus_generator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wordloom-make-corpus OUTPUT MEGABYTES [SEED]\n");
    return 2;
  }
  uint64_t bytes = static_cast<uint64_t>(std::atof(argv[2]) * 1000000.0);
  uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1998;
  if (!wordloom::bench::WriteCorpus(argv[1], bytes, seed)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
