// Object names of the Word List page's table view, as tests find them: controls of our own,
// named for their role. The page's earlier controls keep their names in main_window_names.h.
#pragma once

namespace wordloom::app::word_list_page_names {

// Switching the page between the text pane and the word table.
inline constexpr char kViews[] = "WordListViews";
inline constexpr char kTextView[] = "WordTextViewButton";    // "Text"
inline constexpr char kTableView[] = "WordTableViewButton";  // "Table"

// The table view: the filter, Stop and Export, and the table itself.
inline constexpr char kTablePanel[] = "WordTablePanel";
inline constexpr char kFilterLabel[] = "WordFilterLabel";
inline constexpr char kFilter[] = "WordFilterBox";              // "Filter:"
inline constexpr char kFilterKind[] = "WordFilterKindBox";      // Wildcard or Regex
inline constexpr char kFilterMessage[] = "WordFilterMessageLabel";  // why a pattern is refused
inline constexpr char kStop[] = "WordTableStopButton";          // "Stop"
inline constexpr char kExport[] = "WordExportButton";           // "Export..."
inline constexpr char kExportTsv[] = "WordExportTsvAction";
inline constexpr char kExportCsv[] = "WordExportCsvAction";
inline constexpr char kExportJsonLines[] = "WordExportJsonLinesAction";
inline constexpr char kTable[] = "WordTable";

}  // namespace wordloom::app::word_list_page_names
