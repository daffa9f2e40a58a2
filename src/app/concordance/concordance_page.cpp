#include "concordance/concordance_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "concordance/concordance_page_names.h"
#include "concordance/hit_table_panel.h"
#include "shell/main_window_names.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/table_controls.h"
#include "ui/output_pane.h"

namespace wordloom::app {

namespace names = main_window_names;
namespace table_names = concordance_page_names;

namespace {

// The match options of typed keys and the search modes that do the same.
constexpr std::array<SearchMode, 4> kOptionModes = {SearchMode::Word, SearchMode::Prefix, SearchMode::Suffix,
                                                    SearchMode::Anywhere};

}  // namespace

ConcordancePage::ConcordancePage(QWidget* parent) : QWidget(parent) {
  QGroupBox* runFrame = Frame(names::kRunFrame, QString(), this);
  kwicButton_ = Button(names::kKwic, QStringLiteral("&Kwic"), runFrame);
  kwicButton_->setToolTip(QStringLiteral("Every place where a key is a word of the texts, in its context"));
  lineButton_ = Button(names::kLine, QStringLiteral("&Line"), runFrame);
  lineButton_->setToolTip(QStringLiteral("Every numbered line where a key occurs"));
  stopButton_ = Button(names::kStop, QStringLiteral("&Stop"), runFrame);
  stopButton_->setToolTip(QStringLiteral("Stops the run; what was found so far is shown"));
  stopButton_->setEnabled(false);
  concordanceOption_ = Option(names::kConcordanceOutput, QStringLiteral("Concordance"), runFrame);
  indexOption_ = Option(names::kIndexOutput, QStringLiteral("Index"), runFrame);
  concordanceOption_->setChecked(true);
  orderBox_ = DropDown(names::kCitationOrder, {{"As it occurs", 1}, {"Left context", 2}, {"Right context", 3}}, runFrame);
  runFrame->setFlat(true);
  auto* outputKind = new QWidget(runFrame);
  auto* kindLayout = new QHBoxLayout(outputKind);
  kindLayout->setContentsMargins(0, 0, 0, 0);
  kindLayout->addWidget(concordanceOption_);
  kindLayout->addWidget(indexOption_);
  auto* runLayout = new QHBoxLayout(runFrame);
  runLayout->setContentsMargins(0, 0, 0, 0);
  runLayout->addWidget(kwicButton_);
  runLayout->addWidget(lineButton_);
  runLayout->addWidget(stopButton_);
  runLayout->addWidget(outputKind);
  runLayout->addWidget(orderBox_);
  runLayout->addStretch();

  auto* keysArea = Named(new QWidget(this), names::kKeysArea);
  QLabel* keysLabel = Label(names::kKeysLabel, QStringLiteral("Keys:"), keysArea);
  keysEdit_ = TextBox(names::kKeys, keysArea);
  keysEdit_->setToolTip(QStringLiteral("The keys to look for, separated by spaces"));
  keysLabel->setBuddy(keysEdit_);
  wordOption_ = Option(names::kMatchWord, QStringLiteral("word"), keysArea);
  prefixOption_ = Option(names::kMatchPrefix, QStringLiteral("prefix"), keysArea);
  suffixOption_ = Option(names::kMatchSuffix, QStringLiteral("suffix"), keysArea);
  anywhereOption_ = Option(names::kMatchAnywhere, QStringLiteral("anywhere"), keysArea);
  keyWordsOption_ = Option(names::kMatchKeyWords, QStringLiteral("KeyWords"), keysArea);
  keyWordsOption_->setToolTip(QStringLiteral("The keys are the chosen key words"));
  wordOption_->setChecked(true);
  citationLettersEdit_ = TextBox(names::kCitationLetters, keysArea);
  citationLettersEdit_->setValidator(new UpperLetterValidator(citationLettersEdit_));
  citationLettersEdit_->setMaxLength(26);
  citationLettersEdit_->setToolTip(QStringLiteral("The reference letters to cite, in order (L is the line number)"));
  citationLettersEdit_->setMaximumWidth(120);
  countsBox_ = ResultBox(names::kConcordanceCounts, keysArea);
  countsBox_->setFocusPolicy(Qt::NoFocus);
  auto* keysLayout = new QGridLayout(keysArea);
  keysLayout->setContentsMargins(0, 0, 0, 0);
  keysLayout->addWidget(keysLabel, 0, 0);
  keysLayout->addWidget(keysEdit_, 0, 1, 1, 5);
  keysLayout->addWidget(wordOption_, 1, 1);
  keysLayout->addWidget(prefixOption_, 1, 2);
  keysLayout->addWidget(suffixOption_, 1, 3);
  keysLayout->addWidget(anywhereOption_, 1, 4);
  keysLayout->addWidget(keyWordsOption_, 1, 5);
  keysLayout->addWidget(Label(names::kCiteLabel, QStringLiteral("Cite:"), keysArea), 2, 0);
  keysLayout->addWidget(citationLettersEdit_, 2, 1, 1, 2);
  keysLayout->addWidget(countsBox_, 2, 3, 1, 3);
  keysLayout->setColumnStretch(5, 1);

  pane_ = new OutputPane(QString::fromLatin1(names::kConcordancePane), this);
  QLabel* paneLabel = Label(names::kConcordanceLabel, QStringLiteral("Concordance:"), this);
  paneLabel->setBuddy(pane_);

  tablePanel_ = new HitTablePanel(this);
  const ViewChoice choice = MakeViewChoice({table_names::kViews, table_names::kTextView, table_names::kTableView},
                                            QStringLiteral("Shows the concordance as text"),
                                            QStringLiteral("Shows the hits as a table to sort, thin, open and export"), pane_, tablePanel_, this);
  textViewButton_ = choice.text;
  tableViewButton_ = choice.table;
  views_ = choice.views;
  auto* viewBar = new QHBoxLayout;
  viewBar->addWidget(paneLabel);
  viewBar->addStretch();
  viewBar->addWidget(textViewButton_);
  viewBar->addWidget(tableViewButton_);

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  layout->addWidget(runFrame);
  layout->addWidget(keysArea);
  layout->addLayout(viewBar);
  layout->addWidget(views_, 1);
  // The keys come first in the tab order: the user types them, then runs.
  setFocusProxy(keysEdit_);
  const QList<QWidget*> tabOrder = {keysEdit_,   wordOption_,       prefixOption_,        suffixOption_,
                                    anywhereOption_, keyWordsOption_, citationLettersEdit_, kwicButton_,
                                    lineButton_, stopButton_,      concordanceOption_,   indexOption_,
                                    orderBox_,   textViewButton_,  tableViewButton_,     pane_,
                                    tablePanel_};
  for (qsizetype i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(kwicButton_, &QPushButton::clicked, this, &ConcordancePage::kwicRequested);
  connect(lineButton_, &QPushButton::clicked, this, &ConcordancePage::lineRequested);
  connect(stopButton_, &QPushButton::clicked, this, &ConcordancePage::stopRequested);
  // Enter in the keys box runs Kwic, the page's main action.
  connect(keysEdit_, &QLineEdit::returnPressed, kwicButton_, &QPushButton::click);
  OnDoubleClick(keyWordsOption_, [this] { emit keyWordsDialogRequested(); });
  KeepMatchInStep();
}

// Choosing word, prefix, suffix or anywhere in either place chooses it in the other; the
// other search modes are the table's own, and leave the options as they are.
void ConcordancePage::KeepMatchInStep() {
  const std::array<QRadioButton*, 4> options = {wordOption_, prefixOption_, suffixOption_, anywhereOption_};
  for (size_t i = 0; i < options.size(); ++i) {
    connect(options[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) tablePanel_->SetMode(kOptionModes[i]);
    });
  }
  connect(tablePanel_, &HitTablePanel::modeChanged, this, [options](SearchMode mode) {
    for (size_t i = 0; i < options.size(); ++i) {
      if (kOptionModes[i] == mode) options[i]->setChecked(true);
    }
  });
}

ConcordanceQuery ConcordancePage::Query(ConcordanceKind kind, TextEncoding encoding) const {
  ConcordanceQuery query;
  query.kind = kind;
  query.keys = EncodeText(keysEdit_->text(), encoding);
  query.keyWords = keyWordsOption_->isChecked();
  if (prefixOption_->isChecked()) query.match = MatchKind::Prefix;
  if (suffixOption_->isChecked()) query.match = MatchKind::Suffix;
  if (anywhereOption_->isChecked()) query.match = MatchKind::Anywhere;
  if (query.keyWords) query.match = MatchKind::Word;
  query.index = indexOption_->isChecked();
  query.order = static_cast<CitationOrder>(orderBox_->currentData().toInt());
  query.citationLetters = Encode1252(citationLettersEdit_->text());  // the letters A to Z
  return query;
}

HitQuery ConcordancePage::TableQuery(ConcordanceKind kind, TextEncoding encoding) const {
  HitQuery query;
  query.kind = kind;
  query.keys = EncodeText(keysEdit_->text(), encoding);
  query.mode = tablePanel_->Mode();
  query.keyWords = keyWordsOption_->isChecked();
  query.citationLetters = Encode1252(citationLettersEdit_->text());  // the letters A to Z
  return query;
}

bool ConcordancePage::TableShown() const { return tableViewButton_->isChecked(); }

void ConcordancePage::SetKeys(const QString& keys) { keysEdit_->setText(keys); }
void ConcordancePage::SetCitationLetters(const QString& letters) { citationLettersEdit_->setText(letters); }
void ConcordancePage::SearchWordsInTable() {
  wordOption_->setChecked(true);
  tablePanel_->SetMode(SearchMode::Word);
  tableViewButton_->setChecked(true);
}

void ConcordancePage::ShowCounts(const QString& counts) { countsBox_->setText(counts); }
void ConcordancePage::FocusKeys() { keysEdit_->setFocus(); }

void ConcordancePage::SetRunning(bool running, bool stoppable) {
  kwicButton_->setEnabled(!running);
  lineButton_->setEnabled(!running);
  stopButton_->setEnabled(running && stoppable);
  tablePanel_->SetRunning(running);
}

}  // namespace wordloom::app
