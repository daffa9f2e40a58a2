// The Concordance page's table view driven through its controls: its rows, their contexts and
// order, and its exports compared with wordloom-cli's tables; copying; the file view.
#include "concordance/concordance_page_names.h"
#include "concordance/file_view.h"
#include "ui/hit_table_model.h"
#include "ui/hit_table_view.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;
namespace table = concordance_page_names;

// A table run: the controls set (a box typed into, a button checked, a list's row or a number
// chosen) and the button pressed. The table then shows the rows of wordloom-cli's TSV table for
// `cli` (plus "--cite SL"), and the table exported through `exportAction` is its table in `format`.
struct TableCase { QStringList cli; const char* button; QList<QPair<const char*, QVariant>> controls;
                   const char* exportAction; const char* format; };

class HitTableTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samples = SamplePath(QStringLiteral("samples.wlm"));

  HitTableModel* Model() const { return qobject_cast<HitTableModel*>(f->Find<HitTableView>(table::kTable)->model()); }
  void Set(const char* name, const QVariant& value) {
    auto* control = f->Find<QWidget>(name);
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->clear(), QTest::keyClicks(box, value.toString());
    else if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setChecked(value.toBool());
    else if (auto* number = qobject_cast<QSpinBox*>(control)) number->setValue(value.toInt());
    else qobject_cast<QComboBox*>(control)->setCurrentIndex(value.toInt());
  }
  // The samples open, the table on show, the controls set, the button pressed.
  void Run(const char* button, const QList<QPair<const char*, QVariant>>& controls) {
    f->Open(samples);
    f->Find<QAbstractButton>(table::kTableView)->click();
    f->Find<QAbstractButton>(table::kArrangeToggle)->click();
    Set(names::kCitationLetters, QStringLiteral("SL"));
    for (const auto& [name, value] : controls) Set(name, value);
    f->Click(button);
  }
  // wordloom-cli's table for `cli` on the samples, its counts line (or its message) in `counts`.
  QByteArray CliTable(const QStringList& cli, const char* format, QString* counts = nullptr) const {
    QByteArray errors;
    const QByteArray table = f->Cli(QStringList{cli[0], samples} + cli.mid(1) +
                                    QStringList{"--cite", "SL", "--format", QString::fromLatin1(format)}, &errors);
    const QStringList lines = QString::fromLatin1(errors).split(u'\n', Qt::SkipEmptyParts);
    if (counts) *counts = lines.isEmpty() ? QString() : lines.last();
    return table;
  }
  // The table's rows as a TSV table holds them: the file's path, the line, the citation and
  // the contexts.
  QList<QStringList> Shown() const {
    const HitTableModel* model = Model();
    QList<QStringList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
      QStringList cells{model->index(row, HitTableModel::kFile).data(Qt::ToolTipRole).toString()};
      for (int column = HitTableModel::kLine; column <= HitTableModel::kRight; ++column) cells << model->Text(row, column);
      rows << cells;
    }
    return rows;
  }
  static QList<QStringList> TsvRows(const QByteArray& tsv) {
    QList<QStringList> rows;
    for (const QByteArray& line : tsv.split('\n').mid(1)) {
      if (!line.isEmpty()) rows << AsPaneText(line).split(u'\t').mid(0, 6);  // without the offset
    }
    return rows;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  void TableRunsShowAndExportWhatTheEngineGathers_data() {
    using namespace table;
    QTest::addColumn<TableCase>("c");
    QTest::newRow("kwic, five words") << TableCase{{"kwic", "--keys", "lantern the", "--context-words", "5"}, names::kKwic,
                                                   {{names::kKeys, "lantern the"}}, kExportTsv, "tsv"};
    // Sort boxes: (none), Key, L1..L5, R1..R5, File, Line.
    QTest::newRow("three sort levels") << TableCase{
        {"kwic", "--keys", "the", "--context-words", "3", "--sort", "R1,L1-,LINE"}, names::kKwic,
        {{names::kKeys, "the"}, {kContextSize, 3}, {kSortFields[0], 7}, {kSortFields[1], 2}, {kSortDescending[1], true},
         {kSortFields[2], 13}},
        kExportCsv, "csv"};
    QTest::newRow("characters, a sample") << TableCase{
        {"kwic", "--keys", "the", "--context", "24", "--sample", "7", "--seed", "3"}, names::kKwic,
        {{names::kKeys, "the"}, {kContextUnit, 1}, {kContextSize, 12}, {kThinning, 1}, {kThinningCount, 7}, {kSeed, 3}},
        kExportJsonLines, "jsonl"};
    QTest::newRow("regular expression") << TableCase{
        {"kwic", "--keys", "lant.*s", "--search", "regex", "--context-words", "5"}, names::kKwic,
        {{names::kKeys, "lant.*s"}, {kSearchMode, 5}}, kExportTsv, "tsv"};
    QTest::newRow("phrase") << TableCase{{"kwic", "--keys", "the * of", "--search", "phrase", "--context-words", "5"},
                                         names::kKwic, {{names::kKeys, "the * of"}, {kSearchMode, 6}}, kExportTsv, "tsv"};
    // The match option chooses the same search mode.
    QTest::newRow("line, anywhere, every second") << TableCase{
        {"line", "--keys", "harbour", "--search", "anywhere", "--every", "2"}, names::kLine,
        {{names::kKeys, "harbour"}, {names::kMatchAnywhere, true}, {kThinning, 2}, {kThinningCount, 2}},
        kExportCsv, "csv"};
  }
  void TableRunsShowAndExportWhatTheEngineGathers() {
    QFETCH(TableCase, c);
    Run(c.button, c.controls);
    QString counts;
    const QList<QStringList> expected = TsvRows(CliTable(c.cli, "tsv", &counts));
    if (expected.isEmpty()) {  // a run the engine refuses shows its message
      QCOMPARE(f->prompts.messages.takeLast(), counts);
      return;
    }
    QCOMPARE(Shown(), expected);
    QCOMPARE(f->Find<QLineEdit>(names::kConcordanceCounts)->text(), counts);
    QCOMPARE(f->Pane(names::kConcordancePane), QString());  // the text view keeps its own runs
    const QString exported = f->Path(QStringLiteral("hits.") + QString::fromLatin1(c.format));
    f->prompts.fileNames << exported;
    f->Trigger(c.exportAction);
    f->WaitForPass();
    QCOMPARE(ReadFile(exported), CliTable(c.cli, c.format));
  }

  // A new context redraws the rows at once; Apply sorts them anew; copying gives the rows
  // chosen as tab-separated text.
  void ContextSortAndCopyActOnTheShownHits() {
    Run(names::kKwic, {{names::kKeys, "the"}});
    QSignalSpy redrawn(Model(), &QAbstractItemModel::dataChanged);
    Set(table::kContextSize, 2);
    QCOMPARE(redrawn.size(), 1);
    QCOMPARE(Shown(), TsvRows(CliTable({"kwic", "--keys", "the", "--context-words", "2"}, "tsv")));
    Set(table::kContextUnit, 1);
    Set(table::kContextSize, 9);
    QCOMPARE(Shown(), TsvRows(CliTable({"kwic", "--keys", "the", "--context", "18"}, "tsv")));
    for (const auto& [name, value] : QList<QPair<const char*, QVariant>>{{table::kSortFields[0], 3},
                                                                          {table::kSortFields[1], 12},
                                                                          {table::kSortDescending[1], true},
                                                                          {table::kSortFields[2], 8}}) {
      Set(name, value);
    }
    f->Click(table::kArrange);
    const QList<QStringList> sorted = TsvRows(CliTable({"kwic", "--keys", "the", "--context", "18", "--sort", "L2,FILE-,R2"}, "tsv"));
    QCOMPARE(Shown(), sorted);
    auto* view = f->Find<HitTableView>(table::kTable);
    view->setFocus();
    view->selectionModel()->select(QItemSelection(Model()->index(1, 0), Model()->index(2, 0)),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QString copied;
    for (int row = 1; row <= 2; ++row) {
      copied += Model()->Text(row, HitTableModel::kNumber) + u'\t' + QFileInfo(sorted[row][0]).fileName() + u'\t' +
                sorted[row].mid(1).join(u'\t') + u'\n';
    }
    QCOMPARE(QApplication::clipboard()->text(), copied);
  }

  // An invalid pattern shows the engine's message and leaves the table as it was; an export
  // that cannot replace its file leaves the file as it was, and nothing beside it.
  void FailuresAreReportedAndLeaveNothingBehind() {
    Run(names::kKwic, {{names::kKeys, "lantern"}});
    const QList<QStringList> shown = Shown();
    Set(names::kKeys, QStringLiteral("(lantern"));
    Set(table::kSearchMode, 5);
    f->Click(names::kKwic);
    QByteArray errors;
    f->Cli({"kwic", samples, "--keys", "(lantern", "--search", "regex", "--format", "tsv"}, &errors);
    QCOMPARE(f->prompts.messages.takeLast(), QString::fromLatin1(errors).split(u'\n', Qt::SkipEmptyParts).last());
    QCOMPARE(Shown(), shown);
    QVERIFY(f->Find<QRadioButton>(names::kMatchWord)->isChecked());  // a mode of the table's own
    const QString readOnly = WriteFile(f->Path(QStringLiteral("hits.tsv")), "earlier hits\n");
    QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    f->prompts.fileNames << readOnly;
    f->Trigger(table::kExportTsv);
    f->WaitForPass();
    QCOMPARE(f->prompts.messages.takeLast(),
             QStringLiteral("Could not export the hits to %1: the file is read-only.").arg(readOnly));
    QCOMPARE(ReadFile(readOnly), QByteArray("earlier hits\n"));
    QCOMPARE(QDir(f->folder.path()).entryList({QStringLiteral("*hits.tsv*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("hits.tsv")});
  }

  // A UTF-8 text with a byte-order mark and every kind of line end: Enter on a row opens the
  // text at its hit, selected, and the buttons move through the file's hits in the text's order
  // whatever the table's.
  void TheFileViewOpensAtTheHitAndStepsThroughTheFile() {
    const QString text = WriteFile(f->Path(QStringLiteral("tale.txt")),
                                   "\xEF\xBB\xBF<A 1> lantern\r\xC5\xBE" "elez lantern\r\n<A 2> the lantern\n\r\nLantern\r\n");
    const QString project = f->Path(QStringLiteral("tale.wlm"));
    f->Cli({"new", project, "--refs", "type1", text});
    f->Open(project);
    f->Find<QAbstractButton>(table::kTableView)->click();
    Set(names::kKeys, QStringLiteral("lantern"));
    Set(names::kCitationLetters, QStringLiteral("L"));
    Set(table::kSortFields[0], 13);  // the table by line, the last first
    Set(table::kSortDescending[0], true);
    f->Click(names::kKwic);
    auto* view = f->Find<HitTableView>(table::kTable);
    QCOMPARE(Model()->rowCount(), 4);
    view->setCurrentIndex(Model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Return);
    auto* fileView = f->window->findChild<FileView*>(table::kFileView);
    QVERIFY(fileView && fileView->isVisible());
    auto* shown = f->FindIn<QPlainTextEdit>(table::kFileView, table::kFileText);
    const QString citation = Model()->Text(1, HitTableModel::kCitation).trimmed();
    // Each hit: its line, its column and its text, as the view selects it.
    const QList<std::tuple<int, int, QString>> hits{
        {1, 6, "lantern"}, {2, 6, "lantern"}, {3, 10, "lantern"}, {5, 0, "Lantern"}};
    const auto verifyAt = [&](int hit) {
      const QTextCursor cursor = shown->textCursor();
      const auto& [line, column, key] = hits[hit];
      QCOMPARE(cursor.block().blockNumber() + 1, line);
      QCOMPARE(cursor.selectionStart() - cursor.block().position(), column);
      QCOMPARE(cursor.selectedText(), key);
      QCOMPARE(f->FindIn<QLabel>(table::kFileView, table::kHitPosition)->text(), QStringLiteral("Hit %1 of 4").arg(hit + 1));
    };
    verifyAt(2);
    QCOMPARE(f->FindIn<QLabel>(table::kFileView, table::kReferences)->text(), QStringLiteral("A: 2   L: ") + citation);
    auto* next = f->FindIn<QPushButton>(table::kFileView, table::kNextHit);
    auto* previous = f->FindIn<QPushButton>(table::kFileView, table::kPreviousHit);
    QTest::mouseClick(next, Qt::LeftButton);
    verifyAt(3);
    QVERIFY(!next->isEnabled());
    for (int hit = 2; hit >= 0; --hit) QTest::mouseClick(previous, Qt::LeftButton), verifyAt(hit);
    QVERIFY(!previous->isEnabled());
    QVERIFY(f->FindIn<QLabel>(table::kFileView, table::kReferences)->text().startsWith(QStringLiteral("A: 1   L: ")));
  }
};

WORDLOOM_APP_TEST(HitTableTest);

}  // namespace wordloom::app::test

#include "hit_table_test.moc"
