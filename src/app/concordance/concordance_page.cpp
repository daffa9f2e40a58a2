#include "concordance/concordance_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/output_pane.h"

namespace wordloom::app {

ConcordancePage::ConcordancePage(QWidget* parent) : QWidget(parent) {
  QGroupBox* Frame4 = Frame("Frame4", QString(), this);
  Command5 = Button("Command5", QStringLiteral("Kwic"), Frame4);
  Command5->setToolTip(QStringLiteral("Every place where a key is a word of the texts, in its context"));
  Command2 = Button("Command2", QStringLiteral("Line"), Frame4);
  Command2->setToolTip(QStringLiteral("Every numbered line where a key occurs"));
  Command4 = Button("Command4", QStringLiteral("Stop"), Frame4);
  Command4->setToolTip(QStringLiteral("Stops the run; what was found so far is shown"));
  Command4->setEnabled(false);
  Option5 = Option("Option5", QStringLiteral("Concordance"), Frame4);
  Option6 = Option("Option6", QStringLiteral("Index"), Frame4);
  Option5->setChecked(true);
  Combo3 = DropDown("Combo3", {{"As it occurs", 1}, {"Left context", 2}, {"Right context", 3}}, Frame4);
  Frame4->setFlat(true);
  auto* outputKind = new QWidget(Frame4);
  auto* kindLayout = new QHBoxLayout(outputKind);
  kindLayout->setContentsMargins(0, 0, 0, 0);
  kindLayout->addWidget(Option5);
  kindLayout->addWidget(Option6);
  auto* runLayout = new QHBoxLayout(Frame4);
  runLayout->setContentsMargins(0, 0, 0, 0);
  runLayout->addWidget(Command5);
  runLayout->addWidget(Command2);
  runLayout->addWidget(Command4);
  runLayout->addWidget(outputKind);
  runLayout->addWidget(Combo3);
  runLayout->addStretch();

  auto* Picture2 = Named(new QWidget(this), "Picture2");
  QLabel* Label1 = Label("Label1", QStringLiteral("Keys:"), Picture2);
  Text1 = TextBox("Text1", Picture2);
  Text1->setToolTip(QStringLiteral("The keys to look for, separated by spaces"));
  Label1->setBuddy(Text1);
  Option3 = Option("Option3", QStringLiteral("word"), Picture2);
  Option1 = Option("Option1", QStringLiteral("prefix"), Picture2);
  Option2 = Option("Option2", QStringLiteral("suffix"), Picture2);
  Option4 = Option("Option4", QStringLiteral("anywhere"), Picture2);
  Option9 = Option("Option9", QStringLiteral("KeyWords"), Picture2);
  Option9->setToolTip(QStringLiteral("The keys are the chosen key words"));
  Option3->setChecked(true);
  Text7 = TextBox("Text7", Picture2);
  Text7->setValidator(new UpperLetterValidator(Text7));
  Text7->setMaxLength(26);
  Text7->setToolTip(QStringLiteral("The reference letters to cite, in order (L is the line number)"));
  Text7->setMaximumWidth(120);
  Text6 = ResultBox("Text6", Picture2);
  auto* keysLayout = new QGridLayout(Picture2);
  keysLayout->setContentsMargins(0, 0, 0, 0);
  keysLayout->addWidget(Label1, 0, 0);
  keysLayout->addWidget(Text1, 0, 1, 1, 5);
  keysLayout->addWidget(Option3, 1, 1);
  keysLayout->addWidget(Option1, 1, 2);
  keysLayout->addWidget(Option2, 1, 3);
  keysLayout->addWidget(Option4, 1, 4);
  keysLayout->addWidget(Option9, 1, 5);
  keysLayout->addWidget(Label("Label3", QStringLiteral("Cite:"), Picture2), 2, 0);
  keysLayout->addWidget(Text7, 2, 1, 1, 2);
  keysLayout->addWidget(Text6, 2, 3, 1, 3);
  keysLayout->setColumnStretch(5, 1);

  RichTextBox1 = new OutputPane(QStringLiteral("RichTextBox1"), this);
  QLabel* Label2 = Label("Label2", QStringLiteral("Concordance:"), this);
  Label2->setBuddy(RichTextBox1);

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  layout->addWidget(Frame4);
  layout->addWidget(Picture2);
  layout->addWidget(Label2);
  layout->addWidget(RichTextBox1, 1);

  // Enter in the keys box runs Kwic, the page's main action.
  connect(Text1, &QLineEdit::returnPressed, Command5, &QPushButton::click);
}

ConcordanceQuery ConcordancePage::Query(ConcordanceKind kind) const {
  ConcordanceQuery query;
  query.kind = kind;
  query.keys = Encode1252(Text1->text());
  query.keyWords = Option9->isChecked();
  if (Option1->isChecked()) query.match = MatchKind::Prefix;
  if (Option2->isChecked()) query.match = MatchKind::Suffix;
  if (Option4->isChecked()) query.match = MatchKind::Anywhere;
  if (query.keyWords) query.match = MatchKind::Word;
  query.index = Option6->isChecked();
  query.order = static_cast<CitationOrder>(Combo3->currentData().toInt());
  query.citationLetters = Encode1252(Text7->text());
  return query;
}

}  // namespace wordloom::app
