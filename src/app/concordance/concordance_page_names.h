// Object names of the Concordance page's table view and the file view, as tests find them:
// controls of our own, named for their role. The page's earlier controls keep their names in
// main_window_names.h.
#pragma once

namespace wordloom::app::concordance_page_names {

// Switching the page between the text pane and the hit table.
inline constexpr char kViews[] = "ConcordanceViews";
inline constexpr char kTextView[] = "TextViewButton";    // "Text"
inline constexpr char kTableView[] = "TableViewButton";  // "Table"

// The table view: how hits are searched, shown, ordered and thinned, and the table itself.
inline constexpr char kTablePanel[] = "HitTablePanel";
inline constexpr char kSearchLabel[] = "SearchLabel";
inline constexpr char kSearchMode[] = "SearchModeBox";          // "Search:"
inline constexpr char kContextLabel[] = "ContextLabel";
inline constexpr char kContextUnit[] = "ContextUnitBox";        // words or characters
inline constexpr char kContextSize[] = "ContextSizeBox";
inline constexpr char kArrangeToggle[] = "ArrangeToggleButton";  // "Sort and thin": shows the area below
inline constexpr char kArrangeArea[] = "ArrangeArea";
inline constexpr char kSortLabel[] = "SortLabel";
inline constexpr const char* kSortFields[] = {"SortBox1", "SortBox2", "SortBox3"};
inline constexpr const char* kSortDescending[] = {"DescendingCheck1", "DescendingCheck2", "DescendingCheck3"};
inline constexpr char kThinningLabel[] = "ThinningLabel";
inline constexpr char kThinning[] = "ThinningBox";              // all, a random sample, every n-th
inline constexpr char kThinningCount[] = "ThinningCountBox";    // the sample's size or the step
inline constexpr char kSeedLabel[] = "SeedLabel";
inline constexpr char kSeed[] = "SeedBox";
inline constexpr char kArrange[] = "ArrangeButton";             // "Apply"
inline constexpr char kExport[] = "ExportButton";               // "Export..."
inline constexpr char kExportTsv[] = "ExportTsvAction";
inline constexpr char kExportCsv[] = "ExportCsvAction";
inline constexpr char kExportJsonLines[] = "ExportJsonLinesAction";
inline constexpr char kTable[] = "HitTable";

// The file view: a hit's text with line numbers, moving from hit to hit.
inline constexpr char kFileView[] = "FileView";
inline constexpr char kFileName[] = "FileNameLabel";
inline constexpr char kFileText[] = "FileText";
inline constexpr char kPreviousHit[] = "PreviousHitButton";     // "Previous hit"
inline constexpr char kNextHit[] = "NextHitButton";             // "Next hit"
inline constexpr char kHitPosition[] = "HitPositionLabel";      // "Hit 2 of 5"
inline constexpr char kReferences[] = "ReferencesLabel";        // the reference values at the cursor

}  // namespace wordloom::app::concordance_page_names
