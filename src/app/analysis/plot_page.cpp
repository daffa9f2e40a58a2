#include "analysis/plot_page.h"

#include <QBoxLayout>
#include <QLocale>
#include <QPrinter>

#include "ui/parameter_controls.h"
#include "analysis/plot_page_names.h"
#include "analysis/plot_view.h"
#include "scan/scan_state.h"
#include "ui/code_page.h"

namespace wordloom::app {

namespace names = plot_page_names;

namespace {

QString Counted(int64_t count, const char* one, const char* many) {
  static const QLocale english(QLocale::English, QLocale::UnitedStates);
  return english.toString(static_cast<qlonglong>(count)) + u' ' + QLatin1String(count == 1 ? one : many);
}

}  // namespace

QString PlotCountText(const DispersionPlot& plot) {
  int64_t hits = 0;
  for (const PlotSeries& series : plot.series) hits += series.result.hits;
  // Every search is counted over the same parts: those holding tokens.
  const size_t parts = plot.series.empty() ? 0 : plot.series.front().result.parts.size();
  return QStringLiteral("%1, %2 in %3")
      .arg(Counted(static_cast<int64_t>(plot.series.size()), "key", "keys"), Counted(hits, "hit", "hits"),
           Counted(static_cast<int64_t>(parts), "part", "parts"));
}

PlotPage::PlotPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QString::fromLatin1(names::kPage));
  QLabel* keysLabel = Label(names::kKeysLabel, QStringLiteral("&Keys:"), this);
  keysEdit_ = TextBox(names::kKeys, this);
  keysEdit_->setToolTip(QStringLiteral("The keys to plot, separated by spaces: each is its own search and its own "
                                       "group of strips (a phrase or a regular expression is one key)"));
  keysLabel->setBuddy(keysEdit_);
  modeBox_ = SearchModeBox(names::kSearchMode, this);
  QLabel* byLabel = Label(names::kByLabel, QStringLiteral("&By:"), this);
  byBox_ = Named(new QComboBox(this), names::kBy);
  byBox_->setToolTip(QStringLiteral("The parts: the files, or the values of a reference letter (such as each "
                                    "speaker of a play)"));
  byLabel->setBuddy(byBox_);
  SetUsedLetters(QString());

  auto* search = new QHBoxLayout;
  search->addWidget(keysLabel);
  search->addWidget(keysEdit_, 1);
  search->addWidget(modeBox_);
  search->addWidget(byLabel);
  search->addWidget(byBox_);

  view_ = Named(new PlotView(this), names::kView);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  layout->addLayout(search);
  layout->addWidget(CreateButtonRow());
  layout->addWidget(view_, 1);

  setFocusProxy(keysEdit_);
  connect(keysEdit_, &QLineEdit::returnPressed, this, [this] {
    if (plotButton_->isEnabled()) emit plotRequested();
  });
  connect(view_, &PlotView::markClicked, this, &PlotPage::markClicked);
  UpdateControls();
}

PlotPage::~PlotPage() = default;

QWidget* PlotPage::CreateButtonRow() {
  auto* row = new QWidget(this);
  plotButton_ = Button(names::kPlot, QStringLiteral("&Plot"), row);
  plotButton_->setToolTip(QStringLiteral("Plots where each key's hits fall in each part"));
  stopButton_ = Button(names::kStop, QStringLiteral("&Stop"), row);
  stopButton_->setToolTip(QStringLiteral("Stops the run; the plot stays as it was"));
  countBox_ = ResultBox(names::kCount, row);
  countBox_->setFocusPolicy(Qt::NoFocus);
  saveButton_ = Button(names::kSave, QStringLiteral("Sa&ve..."), row);
  saveButton_->setToolTip(QStringLiteral("Saves the plot as a PNG or SVG picture"));
  printButton_ = Button(names::kPrint, QStringLiteral("P&rint..."), row);
  printButton_->setToolTip(QStringLiteral("Prints the plot, as wide as the page"));

  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(plotButton_);
  layout->addWidget(stopButton_);
  layout->addWidget(countBox_, 1);
  layout->addWidget(saveButton_);
  layout->addWidget(printButton_);

  connect(plotButton_, &QPushButton::clicked, this, &PlotPage::plotRequested);
  connect(stopButton_, &QPushButton::clicked, this, &PlotPage::stopRequested);
  connect(saveButton_, &QPushButton::clicked, this, &PlotPage::saveRequested);
  connect(printButton_, &QPushButton::clicked, this, &PlotPage::printRequested);
  return row;
}

std::vector<std::string> PlotPage::Keys(TextEncoding encoding) const {
  const SearchMode mode = Mode();
  const QString typed = keysEdit_->text().trimmed();
  const QStringList keys = mode == SearchMode::Phrase || mode == SearchMode::Regex
                               ? QStringList{typed}
                               : typed.split(u' ', Qt::SkipEmptyParts);
  std::vector<std::string> encoded;
  for (const QString& key : keys) {
    if (!key.isEmpty()) encoded.push_back(EncodeText(key, encoding));
  }
  return encoded;
}

SearchMode PlotPage::Mode() const { return ModeOf(modeBox_); }

int PlotPage::Letter() const { return byBox_->currentData().toInt(); }

void PlotPage::SetUsedLetters(const QString& letters) {
  const int chosen = byBox_->count() > 0 ? Letter() : 0;
  byBox_->clear();
  byBox_->addItem(QStringLiteral("File"), 0);
  QString order;
  for (QChar letter : letters) {
    if (letter >= u'A' && letter <= u'Z' && !order.contains(letter)) order += letter;
  }
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    if (!order.contains(QChar(letter))) order += QChar(letter);
  }
  for (QChar letter : order) byBox_->addItem(QString(letter), letter.unicode() - u'A' + 1);
  byBox_->setCurrentIndex(std::max(0, byBox_->findData(chosen)));
}

void PlotPage::ShowPlot(std::shared_ptr<const PlotResult> result) {
  result_ = std::move(result);
  countBox_->setText(result_ ? PlotCountText(result_->plot) : QString());
  view_->SetPlot(result_ ? std::shared_ptr<const DispersionPlot>(result_, &result_->plot) : nullptr);
  UpdateControls();
}

void PlotPage::clear() { ShowPlot(nullptr); }

void PlotPage::SetRunning(bool running, bool stoppable) {
  running_ = running;
  stoppable_ = stoppable;
  UpdateControls();
}

QPrinter& PlotPage::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void PlotPage::UpdateControls() {
  plotButton_->setEnabled(!running_);
  stopButton_->setEnabled(running_ && stoppable_);
  // Printing waits for the pass, as the printer dialogs would; a picture is saved at once.
  saveButton_->setEnabled(result_ != nullptr);
  printButton_->setEnabled(result_ != nullptr && !running_);
}

}  // namespace wordloom::app
