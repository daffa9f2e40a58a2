// The "Keyness" page: the reference corpus (project files, "word<TAB>frequency" word lists
// and text files, added one at a time), the least frequency and the least LL listed, and the
// table of the words used more (+) or less (-) than in the reference. A double-click on a
// word shows its concordance.
#pragma once

#include <QStringList>

#include "analysis/analysis.h"
#include "analysis/analysis_page.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace wordloom::app {

class KeynessPage : public AnalysisPage {
  Q_OBJECT
 public:
  explicit KeynessPage(QWidget* parent = nullptr);

  // The reference's files, in the order added.
  const QStringList& References() const { return references_; }
  void AddReference(const QString& path);
  KeynessOptions Options() const;

 signals:
  // "Add...": the main window asks for a file and hands it to AddReference.
  void referenceRequested();

 private:
  void ShowReferences();

  QLineEdit* referenceBox_;
  QPushButton* addReferenceButton_;
  QPushButton* clearReferenceButton_;
  QSpinBox* minimumBox_;
  QComboBox* thresholdBox_;
  QStringList references_;
};

}  // namespace wordloom::app
