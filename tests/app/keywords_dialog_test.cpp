// The KeyWords Required dialog: every button and double-click against the same move made by
// the engine's KeyWordsEditor on a copy of the lists.
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "app_test.h"
#include "lists/keywords_dialog.h"
#include "ui/code_page.h"

namespace wordloom::app::test {
namespace {

struct ButtonCase {
  const char* button;
  const char* box;
  const char* text;  // typed into the box
  std::function<void(KeyWordsEditor&, MoveDirection)> move;
};

QStringList Words(const EntryList& list) {
  QStringList words;
  for (const Entry& entry : list) words << Decode1252(entry.word);
  return words;
}

QStringList Shown(const QListView* list) {
  QStringList words;
  for (int row = 0; row < list->model()->rowCount(); ++row) words << list->model()->index(row, 0).data().toString();
  return words;
}

}  // namespace

class KeyWordsDialogTest : public QObject {
  Q_OBJECT

 private:
  Session session;
  std::unique_ptr<KeyWordsDialog> dialog;

  template <typename T>
  T* Find(const char* name) const {
    return dialog->findChild<T*>(QString::fromLatin1(name));
  }
  void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
  void DoubleClick(QListView* list, int row) {
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    // A real double-click: press and release, then the double-click and its release.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  }
  void Select(QListView* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int row : rows) list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
  }
  // The key words after `move` on a copy of the lists as they are now.
  EntryList Expected(const std::function<void(KeyWordsEditor&)>& move) const {
    WordLists copy = session.lists;
    KeyWordsEditor editor(copy, session.tables);
    move(editor);
    return copy.KeyWords;
  }
  void VerifyKeyWords(const EntryList& expected) {
    QCOMPARE(Shown(dialog->List2), Words(expected));
    QCOMPARE(session.lists.KeyWords, expected);
    QCOMPARE(dialog->Text8->text(), QStringLiteral("%1 words").arg(expected.size()));
  }

 private slots:
  void init() {
    ScanRules rules;
    rules.alphabet += "\xe9";
    session = Session();
    session.tables = BuildCharTables(rules);
    session.lists.Vocabulary = {{"ab", 3},      {"abab", 2}, {"abc", 12}, {"b", 1},     {"cab", 4},
                                {"caf\xe9", 5}, {"dab", 1},  {"ox", 10},  {"zebra", 25}};
    const SortKeyOrder keys(session.tables, 0);
    std::sort(session.lists.Vocabulary.begin(), session.lists.Vocabulary.end(),
              [&](const Entry& a, const Entry& b) { return keys.Less(a.word, b.word); });
    dialog = std::make_unique<KeyWordsDialog>(session);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
  }
  void cleanup() {
    dialog.reset();
    VerifyNoWindowLeft();
  }

  void OpensWithItsCaptionsAndDefaults() {
    QCOMPARE(dialog->objectName(), QStringLiteral("Form3"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("KeyWords Required"));
    QCOMPARE(dialog->Text1->text() + dialog->Text2->text() + dialog->Text3->text(), QStringLiteral("10101"));
    QVERIFY(dialog->Text4->text().isEmpty() && dialog->Text5->text().isEmpty() && dialog->Text6->text().isEmpty());
    QVERIFY(dialog->Command12->isHidden());
    QVERIFY(dialog->Command2->isDefault());
    QCOMPARE(dialog->Text7->text(), QStringLiteral("9 words"));
    QCOMPARE(dialog->Text8->text(), QStringLiteral("0 words"));
    QCOMPARE(Shown(dialog->List1), Words(session.lists.Vocabulary));
    QCOMPARE(dialog->List1->model()->index(5, 0).data().toString(), QStringLiteral("caf\u00e9"));
    QCOMPARE(dialog->List1->model()->index(8, 0).data(Qt::UserRole), QVariant(25));

    Session empty;
    KeyWordsDialog fresh(empty);
    QCOMPARE(fresh.Text7->text(), QStringLiteral("0 words"));
    QCOMPARE(fresh.Text8->text(), QStringLiteral("0 words"));
  }

  void TheOptionsNameTheDirection() {
    QVERIFY(dialog->Option1->isChecked());
    QCOMPARE(dialog->Frame1->title(), QStringLiteral("Add by"));
    Click("Option2");
    QCOMPARE(dialog->Frame1->title(), QStringLiteral("Remove by"));
    Click("Option1");
    QCOMPARE(dialog->Frame1->title(), QStringLiteral("Add by"));
  }

  void EveryMoveButtonMatchesTheEditor() {
    using enum PatternKind;
    using enum FrequencyTest;
    const ButtonCase cases[] = {
        {"Command11", "Text4", "ab", [](auto& e, auto d) { e.PatternMove(d, Prefix, "ab"); }},
        {"Command13", "Text5", "ab", [](auto& e, auto d) { e.PatternMove(d, Suffix, "ab"); }},
        {"Command14", "Text6", "b", [](auto& e, auto d) { e.PatternMove(d, Anywhere, "b"); }},
        {"Command14", "Text6", "\u00e9", [](auto& e, auto d) { e.PatternMove(d, Anywhere, "\xe9"); }},
        {"Command11", "Text4", "", [](auto&, auto) {}},
        {"Command8", "Text1", "10", [](auto& e, auto d) { e.FrequencyMove(d, Greater, "10"); }},
        {"Command9", "Text2", "4", [](auto& e, auto d) { e.FrequencyMove(d, Less, "4"); }},
        {"Command10", "Text3", "1", [](auto& e, auto d) { e.FrequencyMove(d, Equal, "1"); }},
        {"Command10", "Text3", "2.5", [](auto& e, auto d) { e.FrequencyMove(d, Equal, "2"); }},
        {"Command10", "Text3", "3.5", [](auto& e, auto d) { e.FrequencyMove(d, Equal, "4"); }},
    };
    for (const MoveDirection direction : {MoveDirection::Add, MoveDirection::Remove}) {
      Click(direction == MoveDirection::Add ? "Option1" : "Option2");
      for (const ButtonCase& c : cases) {
        const QByteArray what = QByteArray(c.button) + " " + c.text;
        // Adding starts from a few key words, removing from the whole vocabulary.
        const bool add = direction == MoveDirection::Add;
        session.lists.KeyWords = add ? EntryList{session.lists.Vocabulary[2]} : session.lists.Vocabulary;
        dialog->Refresh();
        Find<QLineEdit>(c.box)->setText(QString::fromUtf8(c.text));
        const EntryList expected = Expected([&](KeyWordsEditor& editor) { c.move(editor, direction); });
        Click(c.button);
        QVERIFY2(session.lists.KeyWords == expected, what.constData());
        VerifyKeyWords(expected);
        if (QTest::currentTestFailed()) return;
      }
    }
  }

  void SelectionAndDoubleClicksMoveTheChosenEntries() {
    Select(dialog->List1, {1, 5, 8});
    EntryList expected = Expected([](KeyWordsEditor& e) { e.SelectionMove(MoveDirection::Add, {1, 5, 8}); });
    Click("Command4");
    VerifyKeyWords(expected);
    QCOMPARE(Shown(dialog->List2).at(1), QStringLiteral("caf\u00e9"));

    expected = Expected([&](KeyWordsEditor& e) { e.InsertKeyWord(session.lists.Vocabulary[0]); });
    DoubleClick(dialog->List1, 0);
    VerifyKeyWords(expected);
    DoubleClick(dialog->List1, 0);  // already a key word: no change
    VerifyKeyWords(expected);

    Click("Option2");
    Select(dialog->List2, {0, 2});
    expected = Expected([](KeyWordsEditor& e) { e.SelectionMove(MoveDirection::Remove, {0, 2}); });
    dialog->Command12->click();  // hidden, but the same move as Selection
    VerifyKeyWords(expected);

    expected = Expected([](KeyWordsEditor& e) { e.SelectionMove(MoveDirection::Remove, {1}); });
    DoubleClick(dialog->List2, 1);
    VerifyKeyWords(expected);
  }

  void SelectAllNoneAndClear() {
    session.lists.CopyVocabularyToAll();
    dialog->Refresh();
    Click("Command6");
    QCOMPARE(dialog->List1->selectionModel()->selectedRows().size(), 9);
    Click("Command7");
    QVERIFY(!dialog->List1->selectionModel()->hasSelection());
    Click("Command15");
    QCOMPARE(dialog->List2->selectionModel()->selectedRows().size(), 9);
    Click("Command16");
    QVERIFY(!dialog->List2->selectionModel()->hasSelection());
    Click("Command5");
    VerifyKeyWords({});
    Click("Command6");
    Click("Command4");
    VerifyKeyWords(session.lists.Vocabulary);
  }

  void OkCommitsAndCancelKeepsTheEditsUncommitted() {
    session.lists.KeyWordsList = {{"ox", 10}};
    dialog->Text4->setText(QStringLiteral("ca"));
    Click("Command11");
    QSignalSpy accepted(dialog.get(), &QDialog::accepted);
    Click("Command1");
    QVERIFY(dialog->isHidden());
    QCOMPARE(accepted.size(), 0);
    QCOMPARE(Words(session.lists.KeyWordsList), QStringList({"ox"}));
    dialog->show();
    QCOMPARE(Shown(dialog->List2), QStringList({"cab", "caf\u00e9"}));
    Click("Command2");
    QVERIFY(dialog->isHidden());
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(session.lists.KeyWordsList, session.lists.KeyWords);
  }

  void ShowingOrRefreshingReloadsTheLists() {
    session.lists.Vocabulary.push_back({"zoo", 7});
    session.lists.KeyWords = {{"zoo", 7}};
    dialog->Refresh();
    QCOMPARE(dialog->Text7->text(), QStringLiteral("10 words"));
    QCOMPARE(Shown(dialog->List1).last(), QStringLiteral("zoo"));
    QCOMPARE(dialog->Text8->text(), QStringLiteral("1 words"));
    dialog->hide();
    session.lists.Clear();
    dialog->show();
    QCOMPARE(dialog->List1->model()->rowCount(), 0);
    QCOMPARE(dialog->Text7->text(), QStringLiteral("0 words"));
    QCOMPARE(dialog->Text8->text(), QStringLiteral("0 words"));
  }
};

WORDLOOM_APP_TEST(KeyWordsDialogTest);

}  // namespace wordloom::app::test

#include "keywords_dialog_test.moc"
