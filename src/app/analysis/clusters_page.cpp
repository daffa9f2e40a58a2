#include "analysis/clusters_page.h"

#include <QBoxLayout>
#include <limits>

#include "ui/parameter_controls.h"
#include "analysis/analysis_rows.h"
#include "analysis/clusters_page_names.h"
#include "ui/code_page.h"

namespace wordloom::app {

namespace names = clusters_page_names;

ClustersPage::ClustersPage(QWidget* parent)
    : AnalysisPage({names::kPage, names::kRun, names::kStop, names::kCount, names::kCopy, names::kExport,
                    names::kExportTsv, names::kExportCsv, names::kExportJsonLines, names::kTable},
                   NgramTableColumns(),
                   QStringLiteral("Lists the runs of words of the texts, or those that hold the search"), parent) {
  QLabel* searchLabel = Label(names::kSearchLabel, QStringLiteral("Searc&h:"), this);
  searchBox_ = TextBox(names::kSearch, this);
  searchBox_->setToolTip(QStringLiteral("Empty: every n-gram; else only the n-grams that hold a match"));
  searchBox_->setClearButtonEnabled(true);
  searchLabel->setBuddy(searchBox_);
  modeBox_ = SearchModeBox(names::kSearchMode, this);
  QLabel* positionLabel = Label(names::kPositionLabel, QStringLiteral("&Position:"), this);
  positionBox_ = DropDown(names::kPosition,
                          {{"Left", static_cast<int>(ClusterPosition::Left)},
                           {"Right", static_cast<int>(ClusterPosition::Right)},
                           {"Any", static_cast<int>(ClusterPosition::Any)}},
                          this);
  positionBox_->setCurrentIndex(positionBox_->findData(static_cast<int>(ClusterPosition::Any)));  // as the tool's default
  positionBox_->setToolTip(QStringLiteral("Where the match stands in the cluster: first, last or anywhere"));
  positionLabel->setBuddy(positionBox_);
  QBoxLayout* search = parameters();
  for (QWidget* control : std::initializer_list<QWidget*>{searchLabel, searchBox_, modeBox_, positionLabel,
                                                          positionBox_}) {
    search->addWidget(control, control == searchBox_ ? 1 : 0);
  }

  const NgramOptions defaults;
  QLabel* fromLabel = Label(names::kFromLabel, QStringLiteral("&Words:"), this);
  fromBox_ = NumberBox(names::kFrom, kLeastGram + 1, kMostGram, defaults.minN, this);
  fromBox_->setToolTip(QStringLiteral("The fewest words of a row"));
  fromLabel->setBuddy(fromBox_);
  QLabel* toLabel = Label(names::kToLabel, QStringLiteral("&to"), this);
  toBox_ = NumberBox(names::kTo, defaults.minN, kMostGram, defaults.maxN, this);
  toBox_->setToolTip(QStringLiteral("The most words of a row"));
  toLabel->setBuddy(toBox_);
  QLabel* minimumLabel = Label(names::kMinimumLabel, QStringLiteral("&Minimum:"), this);
  minimumBox_ = NumberBox(names::kMinimum, 1, std::numeric_limits<int>::max(), static_cast<int>(defaults.minimum),
                          this);
  minimumBox_->setToolTip(QStringLiteral("The fewest times a row must occur to be listed"));
  minimumLabel->setBuddy(minimumBox_);
  QBoxLayout* lengths = AddParameterRow();
  for (QWidget* control :
       std::initializer_list<QWidget*>{fromLabel, fromBox_, toLabel, toBox_, minimumLabel, minimumBox_}) {
    lengths->addWidget(control);
  }
  lengths->addStretch();

  setFocusProxy(searchBox_);
  connect(searchBox_, &QLineEdit::returnPressed, this, &AnalysisPage::runRequested);
  KeepLengthsInStep();
}

void ClustersPage::KeepLengthsInStep() {
  const auto update = [this] {
    const bool clusters = ClustersChosen();
    modeBox_->setEnabled(clusters);
    positionBox_->setEnabled(clusters);
    fromBox_->setMinimum(clusters ? kLeastGram : kLeastGram + 1);
    toBox_->setMinimum(fromBox_->value());
  };
  connect(searchBox_, &QLineEdit::textChanged, this, update);
  connect(fromBox_, &QSpinBox::valueChanged, this, update);
  update();
}

bool ClustersPage::ClustersChosen() const { return !searchBox_->text().trimmed().isEmpty(); }

HitQuery ClustersPage::Query(TextEncoding encoding) const {
  HitQuery query;
  query.keys = EncodeText(searchBox_->text(), encoding);
  query.mode = ModeOf(modeBox_);
  return query;
}

ClusterPosition ClustersPage::Position() const {
  return static_cast<ClusterPosition>(positionBox_->currentData().toInt());
}

NgramOptions ClustersPage::Options() const {
  NgramOptions options;
  options.minN = fromBox_->value();
  options.maxN = toBox_->value();
  options.minimum = minimumBox_->value();
  return options;
}

}  // namespace wordloom::app
