// Tables as data: rows of named columns written as TSV, CSV or JSON Lines.
//
// Every format starts with the column names (a header row, or the keys of each JSON object)
// and streams: a row is written as it is given, so memory does not grow with the rows.
// - TSV: cells separated by a tab, rows ended by LF. A tab, CR, LF or backslash inside a
//   cell is written as \t, \r, \n or \\, so every row stays one line and nothing is lost.
// - CSV (RFC 4180): cells separated by commas, rows ended by CR LF. A cell holding a comma,
//   a double quote, a tab, CR or LF is quoted, its quotes doubled.
// - JSON Lines: one object per row, in UTF-8. Text cells are JSON strings, number cells JSON
//   numbers; an empty number cell is null.
// TSV and CSV cells are written in the texts' encoding; JSON Lines turns Windows-1252 text
// into UTF-8 (`windows1252`), since JSON is UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"

namespace wordloom {

enum class TableFormat { Text, Tsv, Csv, JsonLines };

// "text", "tsv", "csv", "jsonl"; nullopt for another name.
std::optional<TableFormat> TableFormatNamed(std::string_view name);
// The file name extension of a format, without the dot ("tsv", "csv", "jsonl", "txt").
std::string_view TableFormatExtension(TableFormat format);

struct TableColumn {
  std::string name;
  bool number = false;  // a JSON number, not a string
};

class TableWriter {
 public:
  // Writes the header row at once (TSV and CSV). `format` is not Text.
  TableWriter(FileWriter& out, TableFormat format, std::vector<TableColumn> columns, bool windows1252 = false);

  // One row: one cell per column, in order.
  void Row(const std::vector<std::string_view>& cells);

 private:
  void Cell(std::string_view text, size_t column);

  FileWriter& out_;
  TableFormat format_;
  std::vector<TableColumn> columns_;
  bool windows1252_;
  std::string scratch_;
};

// Appends the UTF-8 form of Windows-1252 text (each of the five bytes the code page leaves
// undefined as the control character of the same number).
void AppendWindows1252AsUtf8(std::string_view text, std::string& out);

}  // namespace wordloom
