// HitTableView: the table of hits, a row at a time.
//
// A RowTableView (whole rows, one height, copying as tab-separated text) whose left context is
// cut short at its left end, so the words next to the key stay in sight, and whose columns
// take their widths from the font, never from the rows.
#pragma once

#include "ui/row_table_view.h"

namespace wordloom::app {

class HitTableModel;

class HitTableView : public RowTableView {
  Q_OBJECT
 public:
  HitTableView(HitTableModel* model, QWidget* parent = nullptr);
};

}  // namespace wordloom::app
