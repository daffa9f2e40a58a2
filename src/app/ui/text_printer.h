// Printing an output: one printed line for each line of the output, page after page.
//
// The lines are read through the output's own open file a block at a time, so a printout
// shows exactly what the pane shows, even when the scratch file has since been replaced, and
// memory does not grow with the output. Lines are decoded by the output's encoding and shown
// as the pane shows them (tabs to 8-column stops); lines wider than the page are cut at its
// edge, as a line printer would.
#pragma once

#include <QFont>
#include <QString>

class QPrinter;

namespace wordloom::app {

class OutputFile;

// Prints `file` in `font`; false with the message to show when it cannot be read or the
// printer cannot be started.
bool PrintTextFile(const OutputFile& file, const QFont& font, QPrinter& printer, QString& error);

}  // namespace wordloom::app
