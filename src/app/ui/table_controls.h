// The controls the output pages share for their tables: the "Text" / "Table" choice over a
// stack of the text pane and the table, and the "Export..." button with its formats.
#pragma once

#include <QString>
#include <functional>

#include "base/table_writer.h"

class QPushButton;
class QStackedWidget;
class QToolButton;
class QWidget;

namespace wordloom::app {

struct ViewChoiceNames {
  const char* views;
  const char* text;
  const char* table;
};

struct ViewChoice {
  QToolButton* text;
  QToolButton* table;
  QStackedWidget* views;  // the pane first, the table second
};

// Two checkable buttons, "Text" (checked) and "Table", that show `pane` or `table`.
ViewChoice MakeViewChoice(const ViewChoiceNames& names, const QString& textTip, const QString& tableTip,
                          QWidget* pane, QWidget* table, QWidget* parent);

struct ExportNames {
  const char* button;
  const char* tsv;
  const char* csv;
  const char* jsonLines;
};

// "Export..." with a menu of the three formats; `chosen` gets the one the user picks.
QPushButton* ExportButton(const ExportNames& names, const QString& tip, QWidget* parent,
                          std::function<void(TableFormat)> chosen);

}  // namespace wordloom::app
