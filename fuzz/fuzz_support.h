// Helpers of the fuzz targets: taking rules, keys and texts from the fuzzer's bytes, files in a
// private temporary folder, and a check that aborts with a message (which the fuzzer reports
// as a finding and the regression runner as a failure).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/scratch_folder.h"
#include "scan/scan_rules.h"

namespace wordloom::fuzz {

// Reads the fuzzer's bytes front to back; past the end every value is empty or zero.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}
  uint8_t Byte();
  // A number from 0 to `limit` inclusive.
  int Number(int limit) { return limit <= 0 ? 0 : Byte() % (limit + 1); }
  bool Flag() { return (Byte() & 1) != 0; }
  // A string of up to `maxLength` bytes (its length is the next byte).
  std::string String(size_t maxLength);
  // Everything not taken yet.
  std::string Rest();

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

// Scanning rules from the input: mostly usual ones, sometimes arbitrary.
ScanRules TakeRules(FuzzInput& input);

// Writes `bytes` to `name` in the process's temporary folder and returns its path.
std::string WriteFuzzFile(const std::string& name, std::string_view bytes);
std::string FuzzFolder();
std::string ReadFuzzFile(const std::string& path);
// A scratch folder inside the process's temporary folder.
const ScratchFolder& FuzzScratch();

[[noreturn]] void Fail(const std::string& message);

}  // namespace wordloom::fuzz

#define FUZZ_CHECK(condition, message)                                  \
  do {                                                                  \
    if (!(condition)) ::wordloom::fuzz::Fail(std::string(message));     \
  } while (false)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
