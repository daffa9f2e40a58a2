#include "base/table_writer.h"

#include <array>
#include <cstdio>

namespace wordloom {
namespace {

// The characters of bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<uint16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCodePoint(uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool NeedsCsvQuotes(std::string_view text) {
  return text.find_first_of(",\"\t\r\n") != std::string_view::npos;
}

}  // namespace

std::optional<TableFormat> TableFormatNamed(std::string_view name) {
  if (name == "text") return TableFormat::Text;
  if (name == "tsv") return TableFormat::Tsv;
  if (name == "csv") return TableFormat::Csv;
  if (name == "jsonl") return TableFormat::JsonLines;
  return std::nullopt;
}

std::string_view TableFormatExtension(TableFormat format) {
  switch (format) {
    case TableFormat::Tsv:
      return "tsv";
    case TableFormat::Csv:
      return "csv";
    case TableFormat::JsonLines:
      return "jsonl";
    case TableFormat::Text:
      break;
  }
  return "txt";
}

void AppendWindows1252AsUtf8(std::string_view text, std::string& out) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    AppendCodePoint(c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c, out);
  }
}

TableWriter::TableWriter(FileWriter& out, TableFormat format, std::vector<TableColumn> columns, bool windows1252)
    : out_(out), format_(format), columns_(std::move(columns)), windows1252_(windows1252) {
  if (format_ == TableFormat::JsonLines) return;
  std::vector<std::string_view> names;
  for (const TableColumn& column : columns_) names.push_back(column.name);
  Row(names);  // TSV and CSV write every cell as text
}

void TableWriter::Row(const std::vector<std::string_view>& cells) {
  if (format_ == TableFormat::JsonLines) out_.Put('{');
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (i > 0) out_.Put(format_ == TableFormat::Tsv ? '\t' : ',');
    Cell(i < cells.size() ? cells[i] : std::string_view(), i);
  }
  if (format_ == TableFormat::JsonLines) out_.Put('}');
  if (format_ == TableFormat::Csv) out_.Put('\r');
  out_.Put('\n');
}

void TableWriter::Cell(std::string_view text, size_t column) {
  switch (format_) {
    case TableFormat::Tsv:
      if (text.find_first_of("\t\r\n\\") == std::string_view::npos) {
        out_.Write(text);
        return;
      }
      for (char c : text) {
        switch (c) {
          case '\t':
            out_.Write("\\t");
            break;
          case '\r':
            out_.Write("\\r");
            break;
          case '\n':
            out_.Write("\\n");
            break;
          case '\\':
            out_.Write("\\\\");
            break;
          default:
            out_.Put(c);
        }
      }
      return;
    case TableFormat::Csv:
      if (!NeedsCsvQuotes(text)) {
        out_.Write(text);
        return;
      }
      out_.Put('"');
      for (char c : text) {
        if (c == '"') out_.Put('"');
        out_.Put(c);
      }
      out_.Put('"');
      return;
    case TableFormat::JsonLines:
      break;
    case TableFormat::Text:
      out_.Write(text);
      return;
  }
  out_.Put('"');
  out_.Write(columns_[column].name);
  out_.Write("\":");
  if (columns_[column].number) {
    out_.Write(text.empty() ? std::string_view("null") : text);
    return;
  }
  std::string_view utf8 = text;
  if (windows1252_) {
    scratch_.clear();
    AppendWindows1252AsUtf8(text, scratch_);
    utf8 = scratch_;
  }
  out_.Put('"');
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out_.Put('\\');
      out_.Put(ch);
    } else if (c == '\t' || c == '\n' || c == '\r') {
      out_.Put('\\');
      out_.Put(c == '\t' ? 't' : c == '\n' ? 'n' : 'r');
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out_.Write(escaped);
    } else {
      out_.Put(ch);
    }
  }
  out_.Put('"');
}

}  // namespace wordloom
