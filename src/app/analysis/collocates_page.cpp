#include "analysis/collocates_page.h"

#include <QBoxLayout>
#include <limits>

#include "ui/parameter_controls.h"
#include "analysis/analysis_rows.h"
#include "analysis/collocates_page_names.h"
#include "ui/code_page.h"

namespace wordloom::app {

namespace names = collocates_page_names;

CollocatesPage::CollocatesPage(QWidget* parent)
    : AnalysisPage({names::kPage, names::kRun, names::kStop, names::kCount, names::kCopy, names::kExport,
                    names::kExportTsv, names::kExportCsv, names::kExportJsonLines, names::kTable},
                   CollocateTableColumns(),
                   QStringLiteral("Lists the words found near the hits of the search, with their measures"), parent) {
  QLabel* searchLabel = Label(names::kSearchLabel, QStringLiteral("Searc&h:"), this);
  searchBox_ = TextBox(names::kSearch, this);
  searchBox_->setToolTip(QStringLiteral("The node: the words whose neighbours are counted"));
  searchLabel->setBuddy(searchBox_);
  modeBox_ = SearchModeBox(names::kSearchMode, this);
  QBoxLayout* search = parameters();
  search->addWidget(searchLabel);
  search->addWidget(searchBox_, 1);
  search->addWidget(modeBox_);

  QLabel* leftLabel = Label(names::kLeftLabel, QStringLiteral("&Left:"), this);
  leftBox_ = NumberBox(names::kLeft, 0, kMostCollocateSpan, CollocateOptions().left, this);
  leftBox_->setToolTip(QStringLiteral("Words to the left of each hit that are counted"));
  leftLabel->setBuddy(leftBox_);
  QLabel* rightLabel = Label(names::kRightLabel, QStringLiteral("R&ight:"), this);
  rightBox_ = NumberBox(names::kRight, 0, kMostCollocateSpan, CollocateOptions().right, this);
  rightBox_->setToolTip(QStringLiteral("Words to the right of each hit that are counted"));
  rightLabel->setBuddy(rightBox_);
  QLabel* minimumLabel = Label(names::kMinimumLabel, QStringLiteral("&Minimum:"), this);
  minimumBox_ = NumberBox(names::kMinimum, 1, std::numeric_limits<int>::max(),
                          static_cast<int>(CollocateOptions().minimum), this);
  minimumBox_->setToolTip(QStringLiteral("The fewest times a word must stand in the window to be listed"));
  minimumLabel->setBuddy(minimumBox_);
  QLabel* sortLabel = Label(names::kSortLabel, QStringLiteral("S&ort by:"), this);
  sortBox_ = DropDown(names::kSortBy,
                      {{"MI", static_cast<int>(CollocateMeasure::MI)},
                       {"t", static_cast<int>(CollocateMeasure::T)},
                       {"logDice", static_cast<int>(CollocateMeasure::LogDice)},
                       {"LL", static_cast<int>(CollocateMeasure::LL)},
                       {"Frequency", static_cast<int>(CollocateMeasure::Frequency)}},
                      this);
  sortBox_->setCurrentIndex(sortBox_->findData(static_cast<int>(CollocateOptions().sortBy)));
  sortBox_->setToolTip(QStringLiteral("The measure the collocates are ranked by, the highest first"));
  sortLabel->setBuddy(sortBox_);
  QBoxLayout* window = AddParameterRow();
  for (QWidget* control : std::initializer_list<QWidget*>{leftLabel, leftBox_, rightLabel, rightBox_, minimumLabel,
                                                          minimumBox_, sortLabel, sortBox_}) {
    window->addWidget(control);
  }
  window->addStretch();

  setFocusProxy(searchBox_);
  connect(searchBox_, &QLineEdit::returnPressed, this, &AnalysisPage::runRequested);
}

HitQuery CollocatesPage::Query(TextEncoding encoding) const {
  HitQuery query;
  query.keys = EncodeText(searchBox_->text(), encoding);
  query.mode = ModeOf(modeBox_);
  return query;
}

CollocateOptions CollocatesPage::Options() const {
  CollocateOptions options;
  options.left = leftBox_->value();
  options.right = rightBox_->value();
  options.minimum = minimumBox_->value();
  options.sortBy = static_cast<CollocateMeasure>(sortBox_->currentData().toInt());
  return options;
}

}  // namespace wordloom::app
