// Object names of the Clusters page (n-grams, and clusters around a search), as tests find
// them: controls of our own, named for their role.
#pragma once

namespace wordloom::app::clusters_page_names {

inline constexpr char kPage[] = "ClustersPage";
// The optional search: empty lists every n-gram, else the clusters that hold a match.
inline constexpr char kSearchLabel[] = "ClusterSearchLabel";
inline constexpr char kSearch[] = "ClusterSearchBox";          // "Search:"
inline constexpr char kSearchMode[] = "ClusterSearchModeBox";  // Word ... Phrase
inline constexpr char kPositionLabel[] = "ClusterPositionLabel";
inline constexpr char kPosition[] = "ClusterPositionBox";      // "Position:" Left, Right, Any
// The lengths and the rows listed.
inline constexpr char kFromLabel[] = "ClusterFromLabel";
inline constexpr char kFrom[] = "ClusterFromBox";              // "Words:" from
inline constexpr char kToLabel[] = "ClusterToLabel";
inline constexpr char kTo[] = "ClusterToBox";                  // "to"
inline constexpr char kMinimumLabel[] = "ClusterMinimumLabel";
inline constexpr char kMinimum[] = "ClusterMinimumBox";        // "Minimum:" frequency
// The run, the count, Copy and Export, and the table.
inline constexpr char kRun[] = "ClustersRunButton";            // "Run"
inline constexpr char kStop[] = "ClustersStopButton";          // "Stop"
inline constexpr char kCount[] = "ClustersCountBox";
inline constexpr char kCopy[] = "ClustersCopyButton";          // "Copy"
inline constexpr char kExport[] = "ClustersExportButton";      // "Export..."
inline constexpr char kExportTsv[] = "ClustersExportTsvAction";
inline constexpr char kExportCsv[] = "ClustersExportCsvAction";
inline constexpr char kExportJsonLines[] = "ClustersExportJsonLinesAction";
inline constexpr char kTable[] = "ClusterTable";

}  // namespace wordloom::app::clusters_page_names
