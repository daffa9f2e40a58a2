// Object names of the Plot page, as tests find them: controls of our own, named for their role.
#pragma once

namespace wordloom::app::plot_page_names {

inline constexpr char kPage[] = "PlotPage";
// The searches: the keys, how they match, and the parts they are counted over.
inline constexpr char kKeysLabel[] = "PlotKeysLabel";
inline constexpr char kKeys[] = "PlotKeysBox";            // "Keys:" one search a key
inline constexpr char kSearchMode[] = "PlotSearchModeBox";  // Word ... Phrase
inline constexpr char kByLabel[] = "PlotByLabel";
inline constexpr char kBy[] = "PlotByBox";                // "By:" File, or a reference letter
// The run, the count, saving and printing, and the picture.
inline constexpr char kPlot[] = "PlotButton";             // "Plot"
inline constexpr char kStop[] = "PlotStopButton";         // "Stop"
inline constexpr char kCount[] = "PlotCountBox";
inline constexpr char kSave[] = "PlotSaveButton";         // "Save..."
inline constexpr char kPrint[] = "PlotPrintButton";       // "Print..."
inline constexpr char kView[] = "PlotView";

}  // namespace wordloom::app::plot_page_names
