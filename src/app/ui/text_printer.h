// Printing an output text: one printed line for each line of the file, page after page.
//
// The text is read from its file line by line, so a printout shows what the output wrote and
// memory does not grow with the file. Tabs are expanded; lines wider than the page are cut
// at its edge, as a line printer would.
#pragma once

#include <QFont>
#include <QString>

class QPrinter;

namespace wordloom::app {

// Prints the file at `path` in `font`; false with the message to show when it cannot be read
// or the printer cannot be started.
bool PrintTextFile(const QString& path, const QFont& font, QPrinter& printer, QString& error);

}  // namespace wordloom::app
