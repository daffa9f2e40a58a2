// The KeyWords Required dialog: every button and double-click against the same move made by
// the engine's KeyWordsEditor on a copy of the lists.
#include <memory>

#include "app_test.h"
#include "lists/keywords_dialog.h"
#include "lists/keywords_dialog_names.h"
#include "ui/code_page.h"

namespace wordloom::app::test {

namespace names = keywords_dialog_names;

class KeyWordsDialogTest : public QObject {
  Q_OBJECT

 private:
  Session session;
  std::unique_ptr<KeyWordsDialog> dialog;

  template <typename T = QWidget> T* Find(const char* name) const { return dialog->findChild<T*>(QString::fromLatin1(name)); }
  QString Text(const char* box) const { return Find<QLineEdit>(box)->text(); }
  void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
  QItemSelectionModel* Selection(const char* list) const { return Find<QListView>(list)->selectionModel(); }
  void Select(const char* list, std::initializer_list<int> rows) {
    for (int row : rows) Selection(list)->select(Find<QListView>(list)->model()->index(row, 0), QItemSelectionModel::Select);
  }
  void DoubleClick(const char* list, int row) {
    QListView* view = Find<QListView>(list);
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    // A real double-click: press and release, then the double-click and its release.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
  }
  QStringList Shown(const char* list) const { return Rows(Find<QListView>(list)->model()); }
  // Checks the key words shown and held against `move` made on a copy of the lists before `act`.
  void Verify(const std::function<void(KeyWordsEditor&)>& move, const std::function<void()>& act) {
    WordLists copy = session.lists;
    KeyWordsEditor editor(copy, session.tables);
    move(editor);
    act();
    QStringList words;
    for (const Entry& entry : copy.Entries(copy.KeyWords)) words << DecodeText(entry.word, session.project.rules.encoding);
    QCOMPARE(Shown(names::kKeyWordsList), words);
    QCOMPARE(session.lists.KeyWords, copy.KeyWords);
    QCOMPARE(Text(names::kKeyWordsCount), QStringLiteral("%1 words").arg(words.size()));
  }

 private slots:
  void init() {
    session = Session();
    session.project.rules.alphabet += "\xe9";
    session.tables = BuildCharTables(session.project.rules);
    session.lists.Vocabulary = {{"ab", 3}, {"abab", 2}, {"abc", 12}, {"b", 1}, {"cab", 4},
                                {"caf\xe9", 5}, {"dab", 1}, {"ox", 10}, {"zebra", 25}};
    (dialog = std::make_unique<KeyWordsDialog>(session))->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
  }
  void cleanup() { dialog.reset(), VerifyNoWindowLeft(); }

  void OpensWithItsDefaultsAndReloadsWhenShown() {
    QCOMPARE(Text(names::kGreater) + Text(names::kLess) + Text(names::kEqual), QStringLiteral("10101"));
    QVERIFY(Find(names::kNotMove)->isHidden() && Find<QPushButton>(names::kOk)->isDefault());
    QCOMPARE(Shown(names::kVocabularyList).at(5), QStringLiteral("caf\u00e9"));
    QCOMPARE(Find<QListView>(names::kVocabularyList)->model()->index(8, 0).data(Qt::UserRole), QVariant(25));
    dialog->hide();
    session.lists.Vocabulary.push_back({"zoo", 7}), session.lists.KeyWords = EntryView({9});
    dialog->show();
    QCOMPARE(Shown(names::kVocabularyList).last() + Text(names::kVocabularyCount), QStringLiteral("zoo10 words"));
    QCOMPARE(Shown(names::kKeyWordsList).join(',') + Text(names::kKeyWordsCount), QStringLiteral("zoo1 words"));
  }

  void EveryMoveButtonMatchesTheEditor() {
    using enum PatternKind;
    using enum FrequencyTest;
    const std::tuple<const char*, const char*, const char*, std::function<void(KeyWordsEditor&, MoveDirection)>> cases[] = {
        {names::kPrefixMove, names::kPrefix, "ab", [](auto& e, auto d) { e.PatternMove(d, Prefix, "ab"); }},
        {names::kSuffixMove, names::kSuffix, "ab", [](auto& e, auto d) { e.PatternMove(d, Suffix, "ab"); }},
        {names::kAnywhereMove, names::kAnywhere, "\u00c9", [](auto& e, auto d) { e.PatternMove(d, Anywhere, "\xc9"); }},
        {names::kPrefixMove, names::kPrefix, "", [](auto&, auto) {}},
        {names::kGreaterMove, names::kGreater, "10", [](auto& e, auto d) { e.FrequencyMove(d, Greater, "10"); }},
        {names::kLessMove, names::kLess, "4", [](auto& e, auto d) { e.FrequencyMove(d, Less, "4"); }},
        {names::kEqualMove, names::kEqual, "2.5", [](auto& e, auto d) { e.FrequencyMove(d, Equal, "2"); }},
    };  // the button, its box, the text typed there, and the move expected
    for (const MoveDirection direction : {MoveDirection::Add, MoveDirection::Remove}) {
      const bool add = direction == MoveDirection::Add;
      Click(add ? names::kAdd : names::kRemove);
      for (const auto& [button, box, text, move] : cases) {
        // Adding starts from one key word, removing from the whole vocabulary.
        session.lists.KeyWords = add ? EntryView({2}) : EntryView::Whole(session.lists.Vocabulary.size());
        dialog->Refresh();
        Find<QLineEdit>(box)->setText(QString::fromUtf8(text));
        Verify([&](KeyWordsEditor& editor) { move(editor, direction); }, [&] { Click(button); });
        if (QTest::currentTestFailed()) return qWarning("%s \"%s\"", button, text);
      }
    }
  }

  // A UTF-8 project's words are shown, and the patterns typed for them made, in UTF-8.
  void AUtf8ProjectsWordsAreUtf8() {
    dialog->hide();
    session.project.rules.encoding = TextEncoding::Utf8;
    session.lists.Vocabulary = {{"\xCE\xBA\xCE\xB1\xCF\x86\xCE\xAD", 2}, {"\xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xBF\xCF\x82", 3},
                                {"\xE4\xB8\xAD\xE6\x96\x87", 1}};  // καφέ κόσμος 中文
    session.lists.KeyWords = EntryView();
    dialog->show();
    QCOMPARE(Shown(names::kVocabularyList),
             QStringList({"\u03BA\u03B1\u03C6\u03AD", "\u03BA\u03CC\u03C3\u03BC\u03BF\u03C2", "\u4E2D\u6587"}));
    Find<QLineEdit>(names::kAnywhere)->setText(QStringLiteral("\u4E2D"));
    Verify([](auto& e) { e.PatternMove(MoveDirection::Add, PatternKind::Anywhere, "\xE4\xB8\xAD"); },
           [&] { Click(names::kAnywhereMove); });
    QCOMPARE(Shown(names::kKeyWordsList), QStringList({"\u4E2D\u6587"}));
  }

  void SelectionsDoubleClicksAndClearMoveTheChosenEntries() {
    Select(names::kVocabularyList, {1, 5, 8});
    Verify([](auto& e) { e.SelectionMove(MoveDirection::Add, {1, 5, 8}); }, [&] { Click(names::kSelectionMove); });
    Verify([](auto& e) { e.InsertKeyWord(0); }, [&] { DoubleClick(names::kVocabularyList, 0); });
    Verify([](auto&) {}, [&] { DoubleClick(names::kVocabularyList, 0); });  // already a key word
    Click(names::kRemove), Select(names::kKeyWordsList, {0, 2});
    // The hidden button makes the same move as "Selection".
    Verify([](auto& e) { e.SelectionMove(MoveDirection::Remove, {0, 2}); }, [&] { Find<QPushButton>(names::kNotMove)->click(); });
    Verify([](auto& e) { e.SelectionMove(MoveDirection::Remove, {1}); }, [&] { DoubleClick(names::kKeyWordsList, 1); });
    Verify([](auto& e) { e.Clear(); }, [&] { Click(names::kClear); });
    Click(names::kAdd), Click(names::kVocabularyAll);
    Verify([](auto& e) { e.SelectionMove(MoveDirection::Add, {0, 1, 2, 3, 4, 5, 6, 7, 8}); }, [&] { Click(names::kSelectionMove); });
    Click(names::kKeyWordsAll);
    QCOMPARE(Selection(names::kKeyWordsList)->selectedRows().size(), 9);
    Click(names::kKeyWordsNone), Click(names::kVocabularyNone);
    QVERIFY(!Selection(names::kKeyWordsList)->hasSelection() && !Selection(names::kVocabularyList)->hasSelection());
  }

  void OkCommitsAndCancelKeepsTheEditsUncommitted() {
    session.lists.KeyWords = session.lists.KeyWordsList = EntryView({7});
    Find<QLineEdit>(names::kPrefix)->setText(QStringLiteral("ca"));
    Click(names::kPrefixMove);
    QSignalSpy accepted(dialog.get(), &QDialog::accepted);
    Click(names::kCancel);
    QVERIFY(dialog->isHidden() && accepted.isEmpty() && session.lists.KeyWordsList == EntryView({7}));
    dialog->show();
    QCOMPARE(Shown(names::kKeyWordsList), QStringList({"cab", "caf\u00e9", "ox"}));
    Click(names::kOk);
    QVERIFY(dialog->isHidden() && accepted.size() == 1);
    QCOMPARE(session.lists.KeyWordsList, session.lists.KeyWords);
  }
};

WORDLOOM_APP_TEST(KeyWordsDialogTest);

}  // namespace wordloom::app::test

#include "keywords_dialog_test.moc"
