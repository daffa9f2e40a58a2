// The "Collocates" page: a node search, the window of words on either side of its hits, the
// least co-occurrence listed and the measure the list is sorted by, and the table of the
// collocates. A double-click on a collocate shows the node's hits that have it in their window.
#pragma once

#include "analysis/analysis.h"
#include "analysis/analysis_page.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace wordloom::app {

class CollocatesPage : public AnalysisPage {
  Q_OBJECT
 public:
  explicit CollocatesPage(QWidget* parent = nullptr);

  // The node's search, its keys in `encoding`.
  HitQuery Query(TextEncoding encoding) const;
  CollocateOptions Options() const;

 private:
  QLineEdit* searchBox_;
  QComboBox* modeBox_;
  QSpinBox* leftBox_;
  QSpinBox* rightBox_;
  QSpinBox* minimumBox_;
  QComboBox* sortBox_;
};

}  // namespace wordloom::app
