// FieldReader: the values of a project file, one field at a time.
#include "project/field_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace wordloom {
namespace {

// One typed read: S string, I 64-bit integer, H 16-bit integer, B boolean, D double. Each
// reads into a variable that holds "old", 77, true or 1.5 before; `value` is what it holds after.
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
  std::ostringstream text;
  switch (kind) {
    case 'S': {
      std::string v = "old";
      ok = in.ReadString(v);
      return v;
    }
    case 'I':
    case 'H': {
      int64_t v = 77;
      ok = kind == 'I' ? in.ReadInteger(v, INT64_MIN, INT64_MAX) : in.ReadInteger(v, -32768, 32767);
      return std::to_string(v);
    }
    case 'B': {
      bool v = true;
      ok = in.ReadBoolean(v);
      return v ? "true" : "false";
    }
    default: {
      double v = 1.5;
      ok = in.ReadDouble(v);
      text << v;
      return text.str();
    }
  }
}

class FieldReaderCases : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldReaderCases, ReadsEachFieldInTurn) {
  const FieldCase& c = GetParam();
  FieldReader in(c.data);
  for (size_t i = 0; i < c.reads.size(); ++i) {
    bool ok = false;
    std::string value = DoRead(in, c.reads[i].kind, ok);
    EXPECT_EQ(ok, c.reads[i].ok) << "read " << i;
    EXPECT_EQ(value, c.reads[i].value) << "read " << i;
  }
  EXPECT_TRUE(in.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldReaderCases,
    testing::Values(
        FieldCase{"QuotedCommaAndDoubledQuotes", "\"a, \"\"b\"\"\",12\r\n",
                  {{'S', true, "a, \"b\""}, {'I', true, "12"}, {'S', false, "old"}}},
        FieldCase{"EmptyString", "\"\"\r\n\"\"\"\"\r\n", {{'S', true, ""}, {'S', true, "\""}}},
        FieldCase{"SpacesAroundUnquotedDropped", "  42  , -7 ,+3\r\n",
                  {{'I', true, "42"}, {'I', true, "-7"}, {'I', true, "3"}}},
        FieldCase{"SpacesInsideQuotesKept", " \"  a  \" \r\n", {{'S', true, "  a  "}}},
        FieldCase{"EveryLineEnd", "1\n2\r\n3\r4", {{'I', true, "1"}, {'I', true, "2"}, {'I', true, "3"}, {'I', true, "4"}}},
        FieldCase{"FailedReadConsumesItsField", "x1,5\r\nx\r\n6",
                  {{'I', false, "77"}, {'I', true, "5"}, {'H', false, "77"}, {'H', true, "6"}}},
        FieldCase{"QuotedNumberIsNoInteger", "\"5\",6", {{'I', false, "77"}, {'I', true, "6"}}},
        FieldCase{"DecimalIsNoInteger", "5.0,12x,5", {{'I', false, "77"}, {'I', false, "77"}, {'I', true, "5"}}},
        FieldCase{"OutsideTheRange", "40000,-32768,99999999999999999999",
                  {{'H', false, "77"}, {'H', true, "-32768"}, {'I', false, "77"}}},
        FieldCase{"EmptyField", "1,,2\r\n", {{'I', true, "1"}, {'I', false, "77"}, {'I', true, "2"}}},
        FieldCase{"Booleans", "#TRUE#,#FALSE#,TRUE,\"#TRUE#\"",
                  {{'B', true, "true"}, {'B', true, "false"}, {'B', false, "true"}, {'B', false, "true"}}},
        FieldCase{"Doubles", "8.25\r\n10\r\n-0.5\r\n1e400\r\nnan\r\nx",
                  {{'D', true, "8.25"},
                   {'D', true, "10"},
                   {'D', true, "-0.5"},
                   {'D', false, "1.5"},
                   {'D', false, "1.5"},
                   {'D', false, "1.5"}}},
        FieldCase{"TextAfterClosingQuoteIgnored", "\"ab\"cd,3", {{'S', true, "ab"}, {'I', true, "3"}}},
        FieldCase{"LineEndInsideQuotesKept", "\"a\r\nb\"\r\n9", {{'S', true, "a\r\nb"}, {'I', true, "9"}}},
        FieldCase{"UnterminatedQuoteRunsToTheEnd", "\"abc\r\n5", {{'S', true, "abc\r\n5"}, {'I', false, "77"}}},
        FieldCase{"DateAndTimeAsText", "#1998-10-05#\r\n#23:59:01#\r\n",
                  {{'S', true, "#1998-10-05#"}, {'S', true, "#23:59:01#"}, {'S', false, "old"}}},
        FieldCase{"NothingLeft", "", {{'S', false, "old"}, {'I', false, "77"}, {'B', false, "true"}, {'D', false, "1.5"}}}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wordloom
