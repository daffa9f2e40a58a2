// The "Clusters" page: n-grams, the runs of n words of the texts, or with a search the
// clusters, the n-grams that hold a match of it at their start, end or anywhere; their
// lengths, the least frequency listed, and the table. A double-click on a row shows its hits.
#pragma once

#include "analysis/analysis.h"
#include "analysis/analysis_page.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace wordloom::app {

class ClustersPage : public AnalysisPage {
  Q_OBJECT
 public:
  explicit ClustersPage(QWidget* parent = nullptr);

  // True when a search was typed: the run lists clusters, not every n-gram.
  bool ClustersChosen() const;
  // The search, its keys in `encoding`.
  HitQuery Query(TextEncoding encoding) const;
  ClusterPosition Position() const;
  NgramOptions Options() const;

 private:
  // N-grams are 2 words or longer, clusters may be single words.
  void KeepLengthsInStep();

  QLineEdit* searchBox_;
  QComboBox* modeBox_;
  QComboBox* positionBox_;
  QSpinBox* fromBox_;
  QSpinBox* toBox_;
  QSpinBox* minimumBox_;
};

}  // namespace wordloom::app
