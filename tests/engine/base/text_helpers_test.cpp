// Paths, and the physical lines of a file.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/line_source.h"
#include "base/paths.h"
#include "test_support.h"

namespace wordloom {
namespace {

TEST(Paths, NormaliseIsLexical) {
  const std::pair<std::string, std::string> cases[] = {
      {"a/./b//c/../d", "a/b/d"}, {"/a/b/../../..", "/"}, {"../x/../y", "../y"}, {"../../a", "../../a"},
      {"a/../..", ".."},          {"a/..", "."},          {"", "."},           {"./", "."},
      {"/", "/"},                 {"//a//", "/a"},        {"a/b/", "a/b"},     {"/..a/b.", "/..a/b."},
      {"/x/.../y", "/x/.../y"},   {"./../a", "../a"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(NormalisePath(path), expected) << "\"" << path << "\"";
}

// The lines a file holds: a line ends at LF, CR LF or a lone CR, and the terminator after the
// last line starts no further line.
std::vector<std::string> ExpectedLines(const std::string& bytes) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') {
      lines.back() += bytes[i];
    } else {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.emplace_back();
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

void ExpectSameLines(const std::string& bytes, size_t bufferSize, const test::TempFolder& folder) {
  std::string path = folder.Write("lines.txt", bytes);
  LineSource source;
  ASSERT_TRUE(source.Open(path, bufferSize).ok());
  std::vector<std::string> expected = ExpectedLines(bytes);
  std::string line;
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_TRUE(source.ReadLine(line)) << "line " << i << " buffer " << bufferSize;
    EXPECT_EQ(line, expected[i]) << "line " << i << " buffer " << bufferSize;
    EXPECT_EQ(source.AtEnd(), i + 1 == expected.size()) << "line " << i << " buffer " << bufferSize;
  }
  EXPECT_FALSE(source.ReadLine(line)) << "buffer " << bufferSize;
  EXPECT_TRUE(source.AtEnd());
  EXPECT_TRUE(source.error().ok());
  LineSource counted;
  ASSERT_TRUE(counted.Open(path, bufferSize).ok());
  EXPECT_EQ(counted.CountLines(), static_cast<int64_t>(expected.size())) << "buffer " << bufferSize;
}

TEST(LineSource, LineEndsAtBufferBoundaries) {
  const std::string fifteen(15, 'a');
  const std::string cases[] = {
      "", "\n", "\r", "\r\n\r\n", "a", "a\r", "a\n\n", "a\r\rb", "a\n\rb",
      fifteen + "\r\nbbb",       // CR as the last byte of a 16-byte buffer, LF in the next
      fifteen + "\rbbb",         // a lone CR there
      fifteen + "\r",            // ... as the last byte of the file
      fifteen + "\r\n",
      fifteen + "a\r\n",         // CR LF just after the buffer
      std::string(100, 'x') + "\r\n" + std::string(40, 'y'),  // lines longer than the buffer
      std::string("nul\0byte\r\n\xff\x80", 13),
      "ab\r\r\n\n\rcd\n\r\n\r\r\nefghijklmnop\r\r\nq\r",
  };
  test::TempFolder folder;
  for (const std::string& bytes : cases) {
    for (size_t bufferSize : {1, 16, 17, 18, 19, 31, 1 << 20}) ExpectSameLines(bytes, bufferSize, folder);
  }
  // Random mixes of terminators, some longer than a counting block.
  std::mt19937 random(5);
  for (int round = 0; round < 40; ++round) {
    std::string bytes(random() % (round % 4 ? 60 : 9000), 'a');
    for (char& c : bytes) c = "ab\r\n"[random() % 4];
    for (size_t bufferSize : {7, 16, 4096}) ExpectSameLines(bytes, bufferSize, folder);
  }
}

}  // namespace
}  // namespace wordloom
