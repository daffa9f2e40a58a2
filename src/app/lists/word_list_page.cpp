#include "lists/word_list_page.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/controls.h"
#include "ui/output_pane.h"

namespace wordloom::app {

WordListPage::WordListPage(QWidget* parent) : QWidget(parent) {
  Command6 = Button("Command6", QStringLiteral("Word List"), this);
  Command6->setToolTip(QStringLiteral("Lists the words in the order chosen on the KeyWords toolbar"));

  QGroupBox* Frame1 = Frame("Frame1", QStringLiteral("Layout"), this);
  Combo1 = DropDown("Combo1", {{"Columns Left Aligned", 3}, {"Columns Right Aligned", 2}, {"Packed", 1}, {"One Column", 0}},
                    Frame1);
  Check1 = Check("Check1", QStringLiteral("Frequencies"), Frame1);
  auto* layoutLayout = new QHBoxLayout(Frame1);
  layoutLayout->addWidget(Combo1);
  layoutLayout->addWidget(Check1);

  QGroupBox* Frame2 = Frame("Frame2", QStringLiteral("Select"), this);
  Option7 = Option("Option7", QStringLiteral("All"), Frame2);
  Option8 = Option("Option8", QStringLiteral("KeyWords"), Frame2);
  Option7->setChecked(true);
  auto* selectLayout = new QHBoxLayout(Frame2);
  selectLayout->addWidget(Option7);
  selectLayout->addWidget(Option8);

  Text5 = ResultBox("Text5", this);
  Text5->setMaximumWidth(200);

  auto* controls = new QHBoxLayout;
  controls->addWidget(Command6);
  controls->addWidget(Frame1);
  controls->addWidget(Frame2);
  controls->addStretch();

  RichTextBox2 = new OutputPane(QStringLiteral("RichTextBox2"), this);
  QLabel* caption = Label("Label5", QStringLiteral("Word List:"), this);
  caption->setBuddy(RichTextBox2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  auto* captionRow = new QHBoxLayout;
  captionRow->addWidget(caption);
  captionRow->addStretch();
  captionRow->addWidget(Text5);
  layout->addLayout(captionRow);
  layout->addWidget(RichTextBox2, 1);
}

WordListQuery WordListPage::Query(int order, bool rhyme) const {
  WordListQuery query;
  query.order = order;
  query.rhyme = rhyme;
  query.layout = static_cast<WordListLayout>(Combo1->currentData().toInt());
  query.frequencies = Check1->isChecked();
  query.keyWords = !Option7->isChecked();
  return query;
}

}  // namespace wordloom::app
