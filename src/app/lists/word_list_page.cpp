#include "lists/word_list_page.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "lists/word_list_page_names.h"
#include "lists/word_table_panel.h"
#include "shell/main_window_names.h"
#include "ui/controls.h"
#include "ui/table_controls.h"
#include "ui/output_pane.h"

namespace wordloom::app {

namespace names = main_window_names;
namespace table_names = word_list_page_names;

namespace {

}  // namespace

WordListPage::WordListPage(QWidget* parent) : QWidget(parent) {
  wordListButton_ = Button(names::kWordList, QStringLiteral("&Word List"), this);
  wordListButton_->setToolTip(QStringLiteral("Lists the words in the order chosen on the KeyWords toolbar"));

  QGroupBox* layoutFrame = Frame(names::kLayoutFrame, QStringLiteral("Layout"), this);
  layoutBox_ = DropDown(names::kLayout,
                        {{"Columns Left Aligned", static_cast<int>(WordListLayout::ColumnsLeft)},
                         {"Columns Right Aligned", static_cast<int>(WordListLayout::ColumnsRight)},
                         {"Packed", static_cast<int>(WordListLayout::Packed)},
                         {"One Column", static_cast<int>(WordListLayout::OneColumn)}},
                        layoutFrame);
  frequenciesCheck_ = Check(names::kFrequencies, QStringLiteral("Frequencies"), layoutFrame);
  auto* layoutLayout = new QHBoxLayout(layoutFrame);
  layoutLayout->addWidget(layoutBox_);
  layoutLayout->addWidget(frequenciesCheck_);

  QGroupBox* selectFrame = Frame(names::kSelectFrame, QStringLiteral("Select"), this);
  allWordsOption_ = Option(names::kListAllWords, QStringLiteral("All"), selectFrame);
  keyWordsOption_ = Option(names::kListKeyWords, QStringLiteral("KeyWords"), selectFrame);
  allWordsOption_->setChecked(true);
  auto* selectLayout = new QHBoxLayout(selectFrame);
  selectLayout->addWidget(allWordsOption_);
  selectLayout->addWidget(keyWordsOption_);

  countBox_ = ResultBox(names::kWordListCount, this);
  countBox_->setMaximumWidth(200);
  countBox_->setFocusPolicy(Qt::NoFocus);

  auto* controls = new QHBoxLayout;
  controls->addWidget(wordListButton_);
  controls->addWidget(layoutFrame);
  controls->addWidget(selectFrame);
  controls->addStretch();

  pane_ = new OutputPane(QString::fromLatin1(names::kWordListPane), this);
  QLabel* caption = Label(names::kWordListLabel, QStringLiteral("Word List:"), this);
  caption->setBuddy(pane_);

  tablePanel_ = new WordTablePanel(this);
  const ViewChoice choice = MakeViewChoice({table_names::kViews, table_names::kTextView, table_names::kTableView},
                                            QStringLiteral("Shows the word list as text"),
                                            QStringLiteral("Shows the words as a table to sort, filter and export"), pane_, tablePanel_, this);
  textViewButton_ = choice.text;
  tableViewButton_ = choice.table;
  views_ = choice.views;

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  auto* captionRow = new QHBoxLayout;
  captionRow->addWidget(caption);
  captionRow->addStretch();
  captionRow->addWidget(countBox_);
  captionRow->addWidget(textViewButton_);
  captionRow->addWidget(tableViewButton_);
  layout->addLayout(captionRow);
  layout->addWidget(views_, 1);

  connect(wordListButton_, &QPushButton::clicked, this, &WordListPage::wordListRequested);
}

WordListQuery WordListPage::Query(int order, bool rhyme) const {
  WordListQuery query;
  query.order = order;
  query.rhyme = rhyme;
  query.layout = static_cast<WordListLayout>(layoutBox_->currentData().toInt());
  query.frequencies = frequenciesCheck_->isChecked();
  query.keyWords = !allWordsOption_->isChecked();
  return query;
}

WordTableQuery WordListPage::TableQuery(int order, bool rhyme) const {
  WordTableQuery query;
  query.keyWords = !allWordsOption_->isChecked();
  query.order = order;
  query.rhyme = rhyme;
  return query;
}

bool WordListPage::TableShown() const { return tableViewButton_->isChecked(); }

void WordListPage::ShowCount(const QString& count) { countBox_->setText(count); }

void WordListPage::SetRunning(bool running, bool stoppable) {
  wordListButton_->setEnabled(!running);
  tablePanel_->SetRunning(running, stoppable);
}

}  // namespace wordloom::app
