// The standard descriptors of a process that was started with some of them closed.
//
// A file the program opens takes the lowest free descriptor, so with stdout closed a scratch
// file would become stdout. GuardStandardStreams() fills each closed one of 0, 1 and 2 with
// /dev/null opened read-only: nothing else can take its place, and a write to it still fails
// (EBADF) as a write to a closed stream does.
#pragma once

namespace wordloom {

void GuardStandardStreams();

}  // namespace wordloom
