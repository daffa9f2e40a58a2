#include "analysis/keyness_page.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <limits>

#include "ui/parameter_controls.h"
#include "analysis/analysis_rows.h"
#include "analysis/keyness_page_names.h"

namespace wordloom::app {

namespace names = keyness_page_names;

namespace {

// The usual critical values of LL (one degree of freedom) and what they stand for.
constexpr std::pair<double, const char*> kThresholds[] = {
    {3.84, "3.84 (p < 0.05)"}, {6.63, "6.63 (p < 0.01)"}, {10.83, "10.83 (p < 0.001)"}, {15.13, "15.13 (p < 0.0001)"}};

}  // namespace

KeynessPage::KeynessPage(QWidget* parent)
    : AnalysisPage({names::kPage, names::kRun, names::kStop, names::kCount, names::kCopy, names::kExport,
                    names::kExportTsv, names::kExportCsv, names::kExportJsonLines, names::kTable},
                   KeynessTableColumns(),
                   QStringLiteral("Lists the words used markedly more or less than in the reference"), parent) {
  QLabel* referenceLabel = Label(names::kReferenceLabel, QStringLiteral("Reference:"), this);
  referenceBox_ = ResultBox(names::kReference, this);
  referenceBox_->setPlaceholderText(QStringLiteral("(none: add a project, a .tsv word list or text files)"));
  referenceBox_->setFocusPolicy(Qt::NoFocus);
  addReferenceButton_ = Button(names::kAddReference, QStringLiteral("&Add..."), this);
  addReferenceButton_->setToolTip(
      QStringLiteral("Adds a project file, a word list (word, tab, frequency a line) or a text file to the reference"));
  clearReferenceButton_ = Button(names::kClearReference, QStringLiteral("C&lear"), this);
  clearReferenceButton_->setToolTip(QStringLiteral("Empties the reference"));
  QBoxLayout* reference = parameters();
  reference->addWidget(referenceLabel);
  reference->addWidget(referenceBox_, 1);
  reference->addWidget(addReferenceButton_);
  reference->addWidget(clearReferenceButton_);

  QLabel* minimumLabel = Label(names::kMinimumLabel, QStringLiteral("&Minimum:"), this);
  minimumBox_ = NumberBox(names::kMinimum, 1, std::numeric_limits<int>::max(),
                          static_cast<int>(KeynessOptions().minimum), this);
  minimumBox_->setToolTip(QStringLiteral("The fewest times a word must occur in the project to be listed"));
  minimumLabel->setBuddy(minimumBox_);
  QLabel* thresholdLabel = Label(names::kThresholdLabel, QStringLiteral("&Threshold:"), this);
  thresholdBox_ = Named(new QComboBox(this), names::kThreshold);
  for (const auto& [value, caption] : kThresholds) thresholdBox_->addItem(QString::fromLatin1(caption), value);
  thresholdBox_->setToolTip(QStringLiteral("The least log-likelihood listed, and the chance of it arising by accident"));
  thresholdLabel->setBuddy(thresholdBox_);
  QBoxLayout* limits = AddParameterRow();
  for (QWidget* control : std::initializer_list<QWidget*>{minimumLabel, minimumBox_, thresholdLabel, thresholdBox_}) {
    limits->addWidget(control);
  }
  limits->addStretch();

  connect(addReferenceButton_, &QPushButton::clicked, this, &KeynessPage::referenceRequested);
  connect(clearReferenceButton_, &QPushButton::clicked, this, [this] {
    references_.clear();
    ShowReferences();
  });
  ShowReferences();
}

void KeynessPage::AddReference(const QString& path) {
  if (path.isEmpty() || references_.contains(path)) return;
  references_ << path;
  ShowReferences();
}

// The names, with the full paths as the tool tip.
void KeynessPage::ShowReferences() {
  QStringList shown;
  for (const QString& path : references_) shown << QFileInfo(path).fileName();
  referenceBox_->setText(shown.join(QStringLiteral("; ")));
  referenceBox_->setToolTip(references_.join(u'\n'));
  clearReferenceButton_->setEnabled(!references_.isEmpty());
}

KeynessOptions KeynessPage::Options() const {
  KeynessOptions options;
  options.minimum = minimumBox_->value();
  options.threshold = thresholdBox_->currentData().toDouble();
  return options;
}

}  // namespace wordloom::app
