// FieldReader: the values of a project file, one field at a time.
#include "project/field_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace wordloom {
namespace {

// One typed read: S string, I 64-bit integer, H 16-bit integer, B boolean, D double, into a
// variable that holds "old", 77, true or 1.5 before; `value` is what it holds after.
struct Read {
  char kind;
  bool ok;
  std::string value;
};

struct FieldCase {
  const char* name;
  std::string data;
  std::vector<Read> reads;
};

std::string DoRead(FieldReader& in, char kind, bool& ok) {
  std::string s = "old";
  int64_t i = 77;
  bool b = true;
  double d = 1.5;
  std::ostringstream text;
  switch (kind) {
    case 'S': ok = in.ReadString(s); return s;
    case 'I': ok = in.ReadInteger(i, INT64_MIN, INT64_MAX); return std::to_string(i);
    case 'H': ok = in.ReadInteger(i, -32768, 32767); return std::to_string(i);
    case 'B': ok = in.ReadBoolean(b); return b ? "true" : "false";
    default: ok = in.ReadDouble(d); text << d; return text.str();
  }
}

TEST(FieldReader, ReadsEachFieldInTurn) {
  const FieldCase cases[] = {
      {"quoted comma and doubled quotes", "\"a, \"\"b\"\"\",12\r\n\"\"\"\"",
       {{'S', true, "a, \"b\""}, {'I', true, "12"}, {'S', true, "\""}, {'S', false, "old"}}},
      {"spaces outside quotes dropped", "  42  , -7 ,+3\r\n \"  a  \" \r\n",
       {{'I', true, "42"}, {'I', true, "-7"}, {'I', true, "3"}, {'S', true, "  a  "}}},
      {"every line end", "1\n2\r\n3\r4", {{'I', true, "1"}, {'I', true, "2"}, {'I', true, "3"}, {'I', true, "4"}}},
      {"a failed read consumes its field", "x1,5\r\n\"5\",12x,5.0,,6",
       {{'I', false, "77"}, {'I', true, "5"}, {'I', false, "77"}, {'I', false, "77"}, {'I', false, "77"}, {'I', false, "77"},
        {'I', true, "6"}}},
      {"outside the range", "40000,-32768,99999999999999999999", {{'H', false, "77"}, {'H', true, "-32768"}, {'I', false, "77"}}},
      {"booleans", "#TRUE#,#FALSE#,TRUE,\"#TRUE#\"",
       {{'B', true, "true"}, {'B', true, "false"}, {'B', false, "true"}, {'B', false, "true"}}},
      {"doubles", "8.25\r\n10\r\n1e400\r\nnan\r\nx",
       {{'D', true, "8.25"}, {'D', true, "10"}, {'D', false, "1.5"}, {'D', false, "1.5"}, {'D', false, "1.5"}}},
      {"quoted text runs over line ends and the rest is ignored", "\"a\r\nb\"cd,9", {{'S', true, "a\r\nb"}, {'I', true, "9"}}},
      {"an unterminated quote runs to the end", "\"abc\r\n5", {{'S', true, "abc\r\n5"}, {'I', false, "77"}}},
      {"nothing left", "", {{'S', false, "old"}, {'I', false, "77"}, {'B', false, "true"}, {'D', false, "1.5"}}},
  };
  for (const FieldCase& c : cases) {
    FieldReader in(c.data);
    for (size_t i = 0; i < c.reads.size(); ++i) {
      bool ok = false;
      EXPECT_EQ(DoRead(in, c.reads[i].kind, ok), c.reads[i].value) << c.name << ", read " << i;
      EXPECT_EQ(ok, c.reads[i].ok) << c.name << ", read " << i;
    }
    EXPECT_TRUE(in.AtEnd()) << c.name;
  }
}

}  // namespace
}  // namespace wordloom
