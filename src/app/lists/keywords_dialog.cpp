#include "lists/keywords_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <vector>

#include "scan/status_texts.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/entry_list_model.h"

namespace wordloom::app {
namespace {

// The rows of the view's selection, read from its ranges so that "All" over a large list
// costs no index list.
std::vector<size_t> SelectedRows(const QListView* list) {
  std::vector<size_t> rows;
  for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(static_cast<size_t>(row));
  }
  return rows;
}

QString CountText(size_t count) { return QString::fromStdString(WordCountText(static_cast<int64_t>(count))); }

// One row of a move frame: its caption, the box it reads and its "Do" button.
void AddMoveRow(QGridLayout* grid, const char* labelName, const QString& caption, QLineEdit* box, QPushButton* button) {
  const int row = grid->rowCount();
  grid->addWidget(Label(labelName, caption, box->parentWidget()), row, 0);
  grid->addWidget(box, row, 1);
  grid->addWidget(button, row, 2);
  grid->setColumnStretch(1, 1);  // the box takes the spare width, not the button
  box->setMinimumWidth(80);
}

QListView* EntryView(const char* name, EntryListModel* model, QWidget* parent) {
  auto* list = Named(new QListView(parent), name);
  list->setModel(model);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setUniformItemSizes(true);  // lays out 200,000 rows without measuring each
  list->setMinimumSize(180, 260);
  return list;
}

// A list with its caption above, and its count and Select frame below.
QVBoxLayout* ListColumn(QLabel* caption, QListView* list, QLineEdit* count, QGroupBox* select) {
  auto* column = new QVBoxLayout;
  column->addWidget(caption);
  column->addWidget(list, 1);
  column->addWidget(count);
  column->addWidget(select);
  return column;
}

}  // namespace

KeyWordsDialog::KeyWordsDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("KeyWords Required"));
  vocabulary_ = new EntryListModel(session_.lists.Vocabulary, this);
  keyWords_ = new EntryListModel(session_.lists.KeyWords, this);

  Frame4 = Frame("Frame4", QStringLiteral("Select"), this);
  Command6 = Button("Command6", QStringLiteral("All"), Frame4);
  Command7 = Button("Command7", QStringLiteral("None"), Frame4);
  auto* select1 = new QHBoxLayout(Frame4);
  select1->addWidget(Command6);
  select1->addWidget(Command7);

  Frame5 = Frame("Frame5", QStringLiteral("Select"), this);
  Command15 = Button("Command15", QStringLiteral("All"), Frame5);
  Command16 = Button("Command16", QStringLiteral("None"), Frame5);
  Command5 = Button("Command5", QStringLiteral("Clear"), Frame5);
  auto* select2 = new QHBoxLayout(Frame5);
  select2->addWidget(Command15);
  select2->addWidget(Command16);
  select2->addWidget(Command5);

  List1 = EntryView("List1", vocabulary_, this);
  List2 = EntryView("List2", keyWords_, this);
  Text7 = ResultBox("Text7", this);
  Text8 = ResultBox("Text8", this);

  Option1 = Option("Option1", QStringLiteral("Add"), this);
  Option2 = Option("Option2", QStringLiteral("Remove"), this);
  Option1->setChecked(true);
  auto* middle = new QVBoxLayout;
  auto* directions = new QHBoxLayout;
  directions->addWidget(Option1);
  directions->addWidget(Option2);
  directions->addStretch();
  middle->addLayout(directions);
  middle->addWidget(CreateMoveFrame());
  middle->addStretch();

  Command2 = Button("Command2", QStringLiteral("OK"), this);
  Command2->setDefault(true);
  Command1 = Button("Command1", QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Command2);
  buttons->addWidget(Command1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(ListColumn(Label("Label1", QStringLiteral("Vocabulary"), this), List1, Text7, Frame4), 1);
  columns->addLayout(middle);
  columns->addLayout(ListColumn(Label("Label2", QStringLiteral("KeyWords Required"), this), List2, Text8, Frame5), 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(buttons);

  connect(Option1, &QRadioButton::toggled, this,
          [this](bool add) { Frame1->setTitle(add ? QStringLiteral("Add by") : QStringLiteral("Remove by")); });
  const auto patternMove = [this](QPushButton* button, PatternKind kind, QLineEdit* box) {
    connect(button, &QPushButton::clicked, this, [this, kind, box] {
      const std::string pattern = Encode1252(box->text());
      Move([&](KeyWordsEditor& editor) { editor.PatternMove(Direction(), kind, pattern); });
    });
  };
  patternMove(Command11, PatternKind::Prefix, Text4);
  patternMove(Command13, PatternKind::Suffix, Text5);
  patternMove(Command14, PatternKind::Anywhere, Text6);
  const auto frequencyMove = [this](QPushButton* button, FrequencyTest test, QLineEdit* box) {
    connect(button, &QPushButton::clicked, this, [this, test, box] {
      const std::string threshold = Encode1252(box->text());
      Move([&](KeyWordsEditor& editor) { editor.FrequencyMove(Direction(), test, threshold); });
    });
  };
  frequencyMove(Command8, FrequencyTest::Greater, Text1);
  frequencyMove(Command9, FrequencyTest::Less, Text2);
  frequencyMove(Command10, FrequencyTest::Equal, Text3);
  connect(Command4, &QPushButton::clicked, this, &KeyWordsDialog::MoveSelection);
  connect(Command12, &QPushButton::clicked, this, &KeyWordsDialog::MoveSelection);

  connect(List1, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    const Entry& entry = session_.lists.Vocabulary[static_cast<size_t>(index.row())];
    Move([&](KeyWordsEditor& editor) { editor.InsertKeyWord(entry); });
  });
  connect(List2, &QListView::doubleClicked, this, [this] {
    if (!List2->currentIndex().isValid()) return;
    const size_t row = static_cast<size_t>(List2->currentIndex().row());
    Move([row](KeyWordsEditor& editor) { editor.SelectionMove(MoveDirection::Remove, {row}); });
  });

  connect(Command6, &QPushButton::clicked, List1, &QListView::selectAll);
  connect(Command7, &QPushButton::clicked, List1, &QListView::clearSelection);
  connect(Command15, &QPushButton::clicked, List2, &QListView::selectAll);
  connect(Command16, &QPushButton::clicked, List2, &QListView::clearSelection);
  connect(Command5, &QPushButton::clicked, this, [this] { Move([](KeyWordsEditor& editor) { editor.Clear(); }); });
  connect(Command2, &QPushButton::clicked, this, [this] {
    KeyWordsEditor(session_.lists, session_.tables).Commit();
    accept();
  });
  connect(Command1, &QPushButton::clicked, this, &QDialog::reject);

  Refresh();
}

QGroupBox* KeyWordsDialog::CreateMoveFrame() {
  Frame1 = Frame("Frame1", QStringLiteral("Add by"), this);

  Frame3 = Frame("Frame3", QStringLiteral("Pattern"), Frame1);
  Text4 = TextBox("Text4", Frame3);
  Text5 = TextBox("Text5", Frame3);
  Text6 = TextBox("Text6", Frame3);
  Command11 = Button("Command11", QStringLiteral("Do"), Frame3);
  Command13 = Button("Command13", QStringLiteral("Do"), Frame3);
  Command14 = Button("Command14", QStringLiteral("Do"), Frame3);
  auto* pattern = new QGridLayout(Frame3);
  AddMoveRow(pattern, "Label3", QStringLiteral("Prefix"), Text4, Command11);
  AddMoveRow(pattern, "Label4", QStringLiteral("Suffix"), Text5, Command13);
  AddMoveRow(pattern, "Label5", QStringLiteral("Anywhere"), Text6, Command14);

  Frame2 = Frame("Frame2", QStringLiteral("Frequency"), Frame1);
  Text1 = TextBox("Text1", Frame2);
  Text2 = TextBox("Text2", Frame2);
  Text3 = TextBox("Text3", Frame2);
  Text1->setText(QStringLiteral("10"));
  Text2->setText(QStringLiteral("10"));
  Text3->setText(QStringLiteral("1"));
  Command8 = Button("Command8", QStringLiteral("Do"), Frame2);
  Command9 = Button("Command9", QStringLiteral("Do"), Frame2);
  Command10 = Button("Command10", QStringLiteral("Do"), Frame2);
  auto* frequency = new QGridLayout(Frame2);
  AddMoveRow(frequency, "Label6", QStringLiteral(">"), Text1, Command8);
  AddMoveRow(frequency, "Label7", QStringLiteral("<"), Text2, Command9);
  AddMoveRow(frequency, "Label8", QStringLiteral("="), Text3, Command10);

  Command4 = Button("Command4", QStringLiteral("Selection"), Frame1);
  Command12 = Button("Command12", QStringLiteral("not"), Frame1);
  Command12->hide();
  auto* layout = new QVBoxLayout(Frame1);
  layout->addWidget(Frame3);
  layout->addWidget(Frame2);
  layout->addWidget(Command4);
  layout->addWidget(Command12);
  return Frame1;
}

void KeyWordsDialog::Refresh() {
  vocabulary_->Update();
  keyWords_->Update();
  Text7->setText(CountText(session_.lists.Vocabulary.size()));
  Text8->setText(QString::fromStdString(KeyWordsEditor(session_.lists, session_.tables).CountText()));
}

void KeyWordsDialog::showEvent(QShowEvent* event) {
  Refresh();
  QDialog::showEvent(event);
}

MoveDirection KeyWordsDialog::Direction() const {
  return Option1->isChecked() ? MoveDirection::Add : MoveDirection::Remove;
}

void KeyWordsDialog::Move(const std::function<void(KeyWordsEditor&)>& move) {
  KeyWordsEditor editor(session_.lists, session_.tables);
  keyWords_->Update([&] { move(editor); });
  Text8->setText(QString::fromStdString(editor.CountText()));
}

void KeyWordsDialog::MoveSelection() {
  const MoveDirection direction = Direction();
  const std::vector<size_t> rows = SelectedRows(direction == MoveDirection::Add ? List1 : List2);
  Move([&](KeyWordsEditor& editor) { editor.SelectionMove(direction, rows); });
}

}  // namespace wordloom::app
