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

#include "lists/keywords_dialog_names.h"
#include "scan/status_texts.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/entry_list_model.h"

namespace wordloom::app {
namespace {

namespace names = keywords_dialog_names;

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

// A "Select" frame of "All" and "None" for `list`, and any more buttons.
QGroupBox* SelectFrame(const char* name, const char* allName, const char* noneName, QListView* list, QWidget* parent) {
  QGroupBox* frame = Frame(name, QStringLiteral("Select"), parent);
  QPushButton* all = Button(allName, QStringLiteral("All"), frame);
  QPushButton* none = Button(noneName, QStringLiteral("None"), frame);
  QObject::connect(all, &QPushButton::clicked, list, &QListView::selectAll);
  QObject::connect(none, &QPushButton::clicked, list, &QListView::clearSelection);
  auto* row = new QHBoxLayout(frame);
  row->addWidget(all);
  row->addWidget(none);
  return frame;
}

}  // namespace

KeyWordsDialog::KeyWordsDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QString::fromLatin1(names::kDialog));
  setWindowTitle(QStringLiteral("KeyWords Required"));
  const TextEncoding& encoding = session_.project.rules.encoding;
  vocabulary_ = new EntryListModel(session_.lists, nullptr, encoding, this);
  keyWords_ = new EntryListModel(session_.lists, &session_.lists.KeyWords, encoding, this);
  vocabularyList_ = EntryView(names::kVocabularyList, vocabulary_, this);
  keyWordsList_ = EntryView(names::kKeyWordsList, keyWords_, this);
  vocabularyCount_ = ResultBox(names::kVocabularyCount, this);
  keyWordsCount_ = ResultBox(names::kKeyWordsCount, this);

  QGroupBox* vocabularySelect =
      SelectFrame(names::kVocabularySelect, names::kVocabularyAll, names::kVocabularyNone, vocabularyList_, this);
  QGroupBox* keyWordsSelect =
      SelectFrame(names::kKeyWordsSelect, names::kKeyWordsAll, names::kKeyWordsNone, keyWordsList_, this);
  QPushButton* clear = Button(names::kClear, QStringLiteral("Clear"), keyWordsSelect);
  keyWordsSelect->layout()->addWidget(clear);

  addOption_ = Option(names::kAdd, QStringLiteral("Add"), this);
  QRadioButton* removeOption = Option(names::kRemove, QStringLiteral("Remove"), this);
  addOption_->setChecked(true);
  auto* middle = new QVBoxLayout;
  auto* directions = new QHBoxLayout;
  directions->addWidget(addOption_);
  directions->addWidget(removeOption);
  directions->addStretch();
  middle->addLayout(directions);
  middle->addWidget(CreateMoveFrame());
  middle->addStretch();

  QPushButton* ok = Button(names::kOk, QStringLiteral("OK"), this);
  ok->setDefault(true);
  QPushButton* cancel = Button(names::kCancel, QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* columns = new QHBoxLayout;
  columns->addLayout(ListColumn(Label(names::kVocabularyCaption, QStringLiteral("Vocabulary"), this), vocabularyList_,
                                vocabularyCount_, vocabularySelect),
                     1);
  columns->addLayout(middle);
  columns->addLayout(ListColumn(Label(names::kKeyWordsCaption, QStringLiteral("KeyWords Required"), this),
                                keyWordsList_, keyWordsCount_, keyWordsSelect),
                     1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(buttons);

  connect(vocabularyList_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    const auto position = static_cast<EntryPosition>(index.row());
    Move([position](KeyWordsEditor& editor) { editor.InsertKeyWord(position); });
  });
  connect(keyWordsList_, &QListView::doubleClicked, this, [this] {
    if (!keyWordsList_->currentIndex().isValid()) return;
    const size_t row = static_cast<size_t>(keyWordsList_->currentIndex().row());
    Move([row](KeyWordsEditor& editor) { editor.SelectionMove(MoveDirection::Remove, {row}); });
  });
  connect(clear, &QPushButton::clicked, this, [this] { Move([](KeyWordsEditor& editor) { editor.Clear(); }); });
  connect(ok, &QPushButton::clicked, this, [this] {
    KeyWordsEditor(session_.lists, session_.tables).Commit();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  Refresh();
}

QWidget* KeyWordsDialog::CreateMoveFrame() {
  QGroupBox* moveFrame = Frame(names::kMoveFrame, QStringLiteral("Add by"), this);
  connect(addOption_, &QRadioButton::toggled, moveFrame,
          [moveFrame](bool add) { moveFrame->setTitle(add ? QStringLiteral("Add by") : QStringLiteral("Remove by")); });

  // Each row moves the words its box selects when its "Do" button is pressed.
  const auto addRow = [this](QGridLayout* grid, const char* labelName, const QString& caption, const char* boxName,
                             const char* buttonName, const QString& initial, auto move) {
    QWidget* frame = grid->parentWidget();
    QLineEdit* box = TextBox(boxName, frame);
    box->setText(initial);
    QPushButton* button = Button(buttonName, QStringLiteral("Do"), frame);
    AddMoveRow(grid, labelName, caption, box, button);
    connect(button, &QPushButton::clicked, this, [this, box, move] {
      const std::string text = EncodeText(box->text(), session_.project.rules.encoding);
      const MoveDirection direction = Direction();
      Move([&](KeyWordsEditor& editor) { move(editor, direction, text); });
    });
  };
  const auto pattern = [](PatternKind kind) {
    return [kind](KeyWordsEditor& editor, MoveDirection direction, const std::string& text) {
      editor.PatternMove(direction, kind, text);
    };
  };
  const auto frequency = [](FrequencyTest test) {
    return [test](KeyWordsEditor& editor, MoveDirection direction, const std::string& text) {
      editor.FrequencyMove(direction, test, text);
    };
  };

  QGroupBox* patternFrame = Frame(names::kPatternFrame, QStringLiteral("Pattern"), moveFrame);
  auto* patterns = new QGridLayout(patternFrame);
  addRow(patterns, names::kPrefixCaption, QStringLiteral("Prefix"), names::kPrefix, names::kPrefixMove, QString(),
         pattern(PatternKind::Prefix));
  addRow(patterns, names::kSuffixCaption, QStringLiteral("Suffix"), names::kSuffix, names::kSuffixMove, QString(),
         pattern(PatternKind::Suffix));
  addRow(patterns, names::kAnywhereCaption, QStringLiteral("Anywhere"), names::kAnywhere, names::kAnywhereMove,
         QString(), pattern(PatternKind::Anywhere));

  QGroupBox* frequencyFrame = Frame(names::kFrequencyFrame, QStringLiteral("Frequency"), moveFrame);
  auto* frequencies = new QGridLayout(frequencyFrame);
  addRow(frequencies, names::kGreaterCaption, QStringLiteral(">"), names::kGreater, names::kGreaterMove,
         QStringLiteral("10"), frequency(FrequencyTest::Greater));
  addRow(frequencies, names::kLessCaption, QStringLiteral("<"), names::kLess, names::kLessMove, QStringLiteral("10"),
         frequency(FrequencyTest::Less));
  addRow(frequencies, names::kEqualCaption, QStringLiteral("="), names::kEqual, names::kEqualMove, QStringLiteral("1"),
         frequency(FrequencyTest::Equal));

  QPushButton* selection = Button(names::kSelectionMove, QStringLiteral("Selection"), moveFrame);
  // A second button for the same move, kept hidden.
  QPushButton* notSelection = Button(names::kNotMove, QStringLiteral("not"), moveFrame);
  notSelection->hide();
  connect(selection, &QPushButton::clicked, this, &KeyWordsDialog::MoveSelection);
  connect(notSelection, &QPushButton::clicked, this, &KeyWordsDialog::MoveSelection);
  auto* layout = new QVBoxLayout(moveFrame);
  layout->addWidget(patternFrame);
  layout->addWidget(frequencyFrame);
  layout->addWidget(selection);
  layout->addWidget(notSelection);
  return moveFrame;
}

void KeyWordsDialog::Refresh() {
  vocabulary_->Update();
  keyWords_->Update();
  vocabularyCount_->setText(CountText(session_.lists.Vocabulary.size()));
  keyWordsCount_->setText(QString::fromStdString(KeyWordsEditor(session_.lists, session_.tables).CountText()));
}

void KeyWordsDialog::showEvent(QShowEvent* event) {
  Refresh();
  QDialog::showEvent(event);
}

MoveDirection KeyWordsDialog::Direction() const {
  return addOption_->isChecked() ? MoveDirection::Add : MoveDirection::Remove;
}

void KeyWordsDialog::Move(const std::function<void(KeyWordsEditor&)>& move) {
  KeyWordsEditor editor(session_.lists, session_.tables);
  keyWords_->Update([&] { move(editor); });
  keyWordsCount_->setText(QString::fromStdString(editor.CountText()));
}

void KeyWordsDialog::MoveSelection() {
  const MoveDirection direction = Direction();
  const std::vector<size_t> rows = SelectedRows(direction == MoveDirection::Add ? vocabularyList_ : keyWordsList_);
  Move([&](KeyWordsEditor& editor) { editor.SelectionMove(direction, rows); });
}

}  // namespace wordloom::app
