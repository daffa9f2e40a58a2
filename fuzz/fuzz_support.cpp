#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace wordloom::fuzz {

uint8_t FuzzInput::Byte() { return position_ < bytes_.size() ? static_cast<uint8_t>(bytes_[position_++]) : 0; }

std::string FuzzInput::String(size_t maxLength) {
  const size_t length = std::min<size_t>(Byte() % (maxLength + 1), bytes_.size() - std::min(position_, bytes_.size()));
  std::string text(bytes_.substr(std::min(position_, bytes_.size()), length));
  position_ += length;
  return text;
}

std::string FuzzInput::Rest() {
  std::string text(bytes_.substr(std::min(position_, bytes_.size())));
  position_ = bytes_.size();
  return text;
}

ScanRules TakeRules(FuzzInput& input) {
  ScanRules rules;
  const uint8_t choice = input.Byte();
  if (choice & 1) rules.alphabet = input.String(40);
  if (choice & 2) rules.endOfLine = input.String(3);
  if (choice & 4) rules.join = input.String(2);
  if (choice & 8) rules.endHyphen = input.String(2);
  if (choice & 16) rules.referenceType = ReferenceType::Type1;
  if (choice & 32) rules.leftReference = input.String(2);
  if (choice & 64) rules.rightReference = input.String(2);
  if (choice & 128) rules.referenceType = static_cast<ReferenceType>(input.Number(2));
  return rules;
}

std::string FuzzFolder() {
  static test::TempFolder folder;
  return folder.path();
}

std::string WriteFuzzFile(const std::string& name, std::string_view bytes) {
  const std::string path = FuzzFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string ReadFuzzFile(const std::string& path) { return test::ReadFile(path); }

const ScratchFolder& FuzzScratch() {
  static ScratchFolder scratch;
  if (scratch.folder().empty() && !scratch.Prepare(FuzzFolder() + "/scratch").ok()) Fail("no scratch folder");
  return scratch;
}

void Fail(const std::string& message) {
  std::fprintf(stderr, "fuzz check failed: %s\n", message.c_str());
  std::abort();
}

}  // namespace wordloom::fuzz
