#include "concordance/hit_table_panel.h"

#include <QHBoxLayout>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "concordance/concordance_page_names.h"
#include "ui/controls.h"
#include "ui/parameter_controls.h"
#include "ui/table_controls.h"
#include "ui/hit_table_model.h"
#include "ui/highlight_delegate.h"
#include "ui/hit_table_view.h"

namespace wordloom::app {

namespace names = concordance_page_names;

namespace {

constexpr int kNoSortField = -1;
constexpr std::array<int, 2> kMaxContext = {20, 120};  // words, characters a side

QHBoxLayout* Row(QWidget* owner) {
  auto* layout = new QHBoxLayout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  return layout;
}

}  // namespace

HitTablePanel::HitTablePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QString::fromLatin1(names::kTablePanel));
  model_ = new HitTableModel(this);
  view_ = Named(new HitTableView(model_, this), names::kTable);
  // The contexts draw the highlighted word; the left one is still cut short at its left end.
  view_->setItemDelegateForColumn(HitTableModel::kLeft, new HighlightDelegate(Qt::ElideLeft, view_));
  view_->setItemDelegateForColumn(HitTableModel::kRight, new HighlightDelegate(Qt::ElideRight, view_));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(CreateSearchRow());
  layout->addWidget(CreateArrangeArea());
  layout->addWidget(view_, 1);
  setFocusProxy(view_);

  connect(view_, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { emit hitActivated(index.row()); });
  UpdateControls();
}

QWidget* HitTablePanel::CreateSearchRow() {
  auto* row = new QWidget(this);
  QLabel* modeLabel = Label(names::kSearchLabel, QStringLiteral("Search:"), row);
  modeBox_ = SearchModeBox(names::kSearchMode, row);
  modeLabel->setBuddy(modeBox_);
  QLabel* contextLabel = Label(names::kContextLabel, QStringLiteral("Context:"), row);
  contextSizeBox_ = NumberBox(names::kContextSize, 1, kMaxContext[0], contextSizes_[0], row);
  contextLabel->setBuddy(contextSizeBox_);
  contextUnitBox_ = DropDown(
      names::kContextUnit,
      {{"words", static_cast<int>(ContextUnit::Words)}, {"characters", static_cast<int>(ContextUnit::Characters)}},
      row);
  arrangeToggle_ = Named(new QToolButton(row), names::kArrangeToggle);
  arrangeToggle_->setText(QStringLiteral("Sort and thin"));
  arrangeToggle_->setToolTip(QStringLiteral("Shows the sort levels and the thinning of the table"));
  arrangeToggle_->setCheckable(true);
  exportButton_ = ExportButton({names::kExport, names::kExportTsv, names::kExportCsv, names::kExportJsonLines},
                               QStringLiteral("Writes every row of the table to a file"), row,
                               [this](TableFormat format) { emit exportRequested(format); });

  QHBoxLayout* layout = Row(row);
  layout->addWidget(modeLabel);
  layout->addWidget(modeBox_);
  layout->addSpacing(12);
  layout->addWidget(contextLabel);
  layout->addWidget(contextSizeBox_);
  layout->addWidget(contextUnitBox_);
  layout->addStretch();
  layout->addWidget(arrangeToggle_);
  layout->addWidget(exportButton_);

  connect(modeBox_, &QComboBox::currentIndexChanged, this, [this] { emit modeChanged(Mode()); });
  connect(contextSizeBox_, &QSpinBox::valueChanged, this, [this] { model_->SetContext(Context()); });
  // Each unit keeps its own size, within its own bounds.
  connect(contextUnitBox_, &QComboBox::currentIndexChanged, this, [this](int unit) {
    const QSignalBlocker blocker(contextSizeBox_);
    contextSizes_[static_cast<size_t>(1 - unit)] = contextSizeBox_->value();
    contextSizeBox_->setMaximum(kMaxContext[static_cast<size_t>(unit)]);
    contextSizeBox_->setValue(contextSizes_[static_cast<size_t>(unit)]);
    model_->SetContext(Context());
  });
  return row;
}

// Two rows, shown on demand, so that the page needs no more room than the text view.
QWidget* HitTablePanel::CreateArrangeArea() {
  auto* area = Named(new QWidget(this), names::kArrangeArea);
  auto* sortRow = new QWidget(area);
  QLabel* sortLabel = Label(names::kSortLabel, QStringLiteral("Sort:"), sortRow);
  QHBoxLayout* sortLayout = Row(sortRow);
  sortLayout->addWidget(sortLabel);
  for (size_t level = 0; level < sortBoxes_.size(); ++level) {
    QComboBox* box = DropDown(names::kSortFields[level], {{"(none)", kNoSortField}}, sortRow);
    for (int field = static_cast<int>(SortField::Key); field <= static_cast<int>(SortField::Line); ++field) {
      QString caption = QString::fromStdString(SortFieldName(static_cast<SortField>(field)));
      if (caption.size() > 2) caption = caption.left(1) + caption.mid(1).toLower();  // "Key", "File", "Line"
      box->addItem(caption, field);
    }
    box->setToolTip(
        QStringLiteral("Sorts by the key, a word to its left (L1 is next to it) or right, the file or the line"));
    QCheckBox* descending = Check(names::kSortDescending[level], QStringLiteral("desc"), sortRow);
    descending->setToolTip(QStringLiteral("Sorts this level from the end"));
    sortBoxes_[level] = box;
    descendingChecks_[level] = descending;
    sortLayout->addWidget(box);
    sortLayout->addWidget(descending);
  }
  sortLabel->setBuddy(sortBoxes_[0]);
  sortLayout->addStretch();

  auto* thinningRow = new QWidget(area);
  QLabel* thinningLabel = Label(names::kThinningLabel, QStringLiteral("Show:"), thinningRow);
  thinningBox_ = DropDown(names::kThinning,
                          {{"all hits", static_cast<int>(Thinning::Kind::None)},
                           {"a random sample of", static_cast<int>(Thinning::Kind::Sample)},
                           {"every n-th hit, n =", static_cast<int>(Thinning::Kind::Every)}},
                          thinningRow);
  thinningLabel->setBuddy(thinningBox_);
  thinningCountBox_ = NumberBox(names::kThinningCount, 1, std::numeric_limits<int>::max(), 100, thinningRow);
  QLabel* seedLabel = Label(names::kSeedLabel, QStringLiteral("seed"), thinningRow);
  seedBox_ = NumberBox(names::kSeed, 0, std::numeric_limits<int>::max(), 1, thinningRow);
  seedBox_->setToolTip(QStringLiteral("The same seed draws the same sample"));
  seedLabel->setBuddy(seedBox_);
  arrangeButton_ = Button(names::kArrange, QStringLiteral("Apply"), thinningRow);
  arrangeButton_->setToolTip(QStringLiteral("Sorts and thins the hits as chosen"));
  QHBoxLayout* thinningLayout = Row(thinningRow);
  for (QWidget* control : std::initializer_list<QWidget*>{thinningLabel, thinningBox_, thinningCountBox_, seedLabel,
                                                          seedBox_, arrangeButton_}) {
    thinningLayout->addWidget(control);
  }
  thinningLayout->addStretch();

  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(sortRow);
  layout->addWidget(thinningRow);
  area->hide();

  connect(arrangeToggle_, &QToolButton::toggled, area, &QWidget::setVisible);
  connect(thinningBox_, &QComboBox::currentIndexChanged, this, &HitTablePanel::UpdateControls);
  connect(arrangeButton_, &QPushButton::clicked, this, &HitTablePanel::arrangeRequested);
  return area;
}

SearchMode HitTablePanel::Mode() const { return ModeOf(modeBox_); }

void HitTablePanel::SetMode(SearchMode mode) { modeBox_->setCurrentIndex(modeBox_->findData(static_cast<int>(mode))); }

ContextWindow HitTablePanel::Context() const {
  ContextWindow window;
  window.unit = static_cast<ContextUnit>(contextUnitBox_->currentData().toInt());
  window.size = contextSizeBox_->value();
  return window;
}

std::vector<SortLevel> HitTablePanel::SortLevels() const {
  std::vector<SortLevel> levels;
  for (size_t level = 0; level < sortBoxes_.size(); ++level) {
    const int field = sortBoxes_[level]->currentData().toInt();
    if (field == kNoSortField) continue;
    levels.push_back(SortLevel{static_cast<SortField>(field), descendingChecks_[level]->isChecked()});
  }
  return levels;
}

Thinning HitTablePanel::ThinningChosen() const {
  Thinning thinning;
  thinning.kind = static_cast<Thinning::Kind>(thinningBox_->currentData().toInt());
  thinning.n = thinningCountBox_->value();
  thinning.seed = static_cast<uint64_t>(seedBox_->value());
  return thinning;
}

void HitTablePanel::ShowHits(std::shared_ptr<const HitStore> store, std::shared_ptr<const std::vector<int64_t>> rows,
                             TextEncoding encoding, const QString& highlight) {
  limit_.reset();
  model_->Show(std::move(store), std::move(rows), encoding);
  model_->SetContext(Context());
  model_->SetHighlight(highlight);
  UpdateControls();
}

void HitTablePanel::ShowArrangement(std::shared_ptr<const std::vector<int64_t>> rows) {
  model_->Arrange(std::move(rows));
}

void HitTablePanel::clear() {
  model_->clear();
  UpdateControls();
}

void HitTablePanel::SetRunning(bool running) {
  running_ = running;
  UpdateControls();
}

void HitTablePanel::UpdateControls() {
  const Thinning::Kind thinning = static_cast<Thinning::Kind>(thinningBox_->currentData().toInt());
  thinningCountBox_->setEnabled(thinning != Thinning::Kind::None);
  seedBox_->setEnabled(thinning == Thinning::Kind::Sample);
  const bool hits = model_->store() != nullptr;
  arrangeButton_->setEnabled(hits && !running_);
  exportButton_->setEnabled(hits && !running_);
}

}  // namespace wordloom::app
