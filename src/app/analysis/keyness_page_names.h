// Object names of the Keyness page, as tests find them: controls of our own, named for their
// role.
#pragma once

namespace wordloom::app::keyness_page_names {

inline constexpr char kPage[] = "KeynessPage";
// The reference corpus: project files, word lists and text files, added one at a time.
inline constexpr char kReferenceLabel[] = "KeynessReferenceLabel";
inline constexpr char kReference[] = "KeynessReferenceBox";        // what was chosen
inline constexpr char kAddReference[] = "KeynessAddReferenceButton";  // "Add..."
inline constexpr char kClearReference[] = "KeynessClearReferenceButton";  // "Clear"
// The rows listed.
inline constexpr char kMinimumLabel[] = "KeynessMinimumLabel";
inline constexpr char kMinimum[] = "KeynessMinimumBox";            // "Minimum:" frequency
inline constexpr char kThresholdLabel[] = "KeynessThresholdLabel";
inline constexpr char kThreshold[] = "KeynessThresholdBox";        // "Threshold:" the least LL
// The run, the count, Copy and Export, and the table.
inline constexpr char kRun[] = "KeynessRunButton";                 // "Run"
inline constexpr char kStop[] = "KeynessStopButton";               // "Stop"
inline constexpr char kCount[] = "KeynessCountBox";
inline constexpr char kCopy[] = "KeynessCopyButton";               // "Copy"
inline constexpr char kExport[] = "KeynessExportButton";           // "Export..."
inline constexpr char kExportTsv[] = "KeynessExportTsvAction";
inline constexpr char kExportCsv[] = "KeynessExportCsvAction";
inline constexpr char kExportJsonLines[] = "KeynessExportJsonLinesAction";
inline constexpr char kTable[] = "KeynessTable";

}  // namespace wordloom::app::keyness_page_names
