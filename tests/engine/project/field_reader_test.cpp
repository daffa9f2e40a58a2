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

class FieldReaderCases : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldReaderCases, ReadsEachFieldInTurn) {
  FieldReader in(GetParam().data);
  const std::vector<Read>& reads = GetParam().reads;
  for (size_t i = 0; i < reads.size(); ++i) {
    bool ok = false;
    EXPECT_EQ(DoRead(in, reads[i].kind, ok), reads[i].value) << "read " << i;
    EXPECT_EQ(ok, reads[i].ok) << "read " << i;
  }
  EXPECT_TRUE(in.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldReaderCases,
    testing::Values(
        FieldCase{"QuotedCommaAndDoubledQuotes", "\"a, \"\"b\"\"\",12\r\n\"\"\"\"",
                  {{'S', true, "a, \"b\""}, {'I', true, "12"}, {'S', true, "\""}, {'S', false, "old"}}},
        FieldCase{"SpacesOutsideQuotesDropped", "  42  , -7 ,+3\r\n \"  a  \" \r\n",
                  {{'I', true, "42"}, {'I', true, "-7"}, {'I', true, "3"}, {'S', true, "  a  "}}},
        FieldCase{"EveryLineEnd", "1\n2\r\n3\r4", {{'I', true, "1"}, {'I', true, "2"}, {'I', true, "3"}, {'I', true, "4"}}},
        FieldCase{"FailedReadConsumesItsField", "x1,5\r\n\"5\",12x,5.0,,6",
                  {{'I', false, "77"}, {'I', true, "5"}, {'I', false, "77"}, {'I', false, "77"},
                   {'I', false, "77"}, {'I', false, "77"}, {'I', true, "6"}}},
        FieldCase{"OutsideTheRange", "40000,-32768,99999999999999999999",
                  {{'H', false, "77"}, {'H', true, "-32768"}, {'I', false, "77"}}},
        FieldCase{"Booleans", "#TRUE#,#FALSE#,TRUE,\"#TRUE#\"",
                  {{'B', true, "true"}, {'B', true, "false"}, {'B', false, "true"}, {'B', false, "true"}}},
        FieldCase{"Doubles", "8.25\r\n10\r\n1e400\r\nnan\r\nx",
                  {{'D', true, "8.25"}, {'D', true, "10"}, {'D', false, "1.5"}, {'D', false, "1.5"}, {'D', false, "1.5"}}},
        FieldCase{"QuotedTextRunsOverLineEndsAndTheRestIsIgnored", "\"a\r\nb\"cd,9",
                  {{'S', true, "a\r\nb"}, {'I', true, "9"}}},
        FieldCase{"UnterminatedQuoteRunsToTheEnd", "\"abc\r\n5", {{'S', true, "abc\r\n5"}, {'I', false, "77"}}},
        FieldCase{"NothingLeft", "", {{'S', false, "old"}, {'I', false, "77"}, {'B', false, "true"}, {'D', false, "1.5"}}}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wordloom
