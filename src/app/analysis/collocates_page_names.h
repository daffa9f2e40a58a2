// Object names of the Collocates page, as tests find them: controls of our own, named for
// their role.
#pragma once

namespace wordloom::app::collocates_page_names {

inline constexpr char kPage[] = "CollocatesPage";
// The node: its search and how the search matches.
inline constexpr char kSearchLabel[] = "CollocateSearchLabel";
inline constexpr char kSearch[] = "CollocateSearchBox";          // "Search:"
inline constexpr char kSearchMode[] = "CollocateSearchModeBox";  // Word ... Phrase
// The window and the rows listed.
inline constexpr char kLeftLabel[] = "CollocateLeftLabel";
inline constexpr char kLeft[] = "CollocateLeftBox";        // "Left:" words
inline constexpr char kRightLabel[] = "CollocateRightLabel";
inline constexpr char kRight[] = "CollocateRightBox";      // "Right:" words
inline constexpr char kMinimumLabel[] = "CollocateMinimumLabel";
inline constexpr char kMinimum[] = "CollocateMinimumBox";  // "Minimum:" co-occurrences
inline constexpr char kSortLabel[] = "CollocateSortLabel";
inline constexpr char kSortBy[] = "CollocateSortBox";      // "Sort by:" MI, t, logDice, LL, Frequency
// The run, the count, Copy and Export, and the table.
inline constexpr char kRun[] = "CollocatesRunButton";      // "Run"
inline constexpr char kStop[] = "CollocatesStopButton";    // "Stop"
inline constexpr char kCount[] = "CollocatesCountBox";
inline constexpr char kCopy[] = "CollocatesCopyButton";    // "Copy"
inline constexpr char kExport[] = "CollocatesExportButton";  // "Export..."
inline constexpr char kExportTsv[] = "CollocatesExportTsvAction";
inline constexpr char kExportCsv[] = "CollocatesExportCsvAction";
inline constexpr char kExportJsonLines[] = "CollocatesExportJsonLinesAction";
inline constexpr char kTable[] = "CollocateTable";

}  // namespace wordloom::app::collocates_page_names
