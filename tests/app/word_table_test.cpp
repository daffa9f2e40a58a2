// The Word List page's table view driven through its controls: its rows and exports compared
// with wordloom-cli's tables, sorting by a header, the filter, copying, and a word's concordance.
#include "concordance/concordance_page_names.h"
#include "concordance/word_pattern.h"
#include "lists/word_list_page_names.h"
#include "ui/hit_table_model.h"
#include "ui/hit_table_view.h"
#include "ui/row_table_view.h"
#include "ui/word_table_model.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;
namespace table = word_list_page_names;

// A table run on `project` (its outputs in UTF-8 or Windows-1252): the controls set and "Word
// List" pressed. The table then shows the rows of wordloom-cli's TSV table for `cli`, and the
// table exported through `exportAction` is its table in `format`.
struct WordTableCase { const char* project; bool utf8; QStringList cli; QList<QPair<const char*, QVariant>> controls;
                       const char* exportAction; const char* format; };

class WordTableTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samples = SamplePath(QStringLiteral("samples.wlm"));
  const QString unicode = SamplePath(QStringLiteral("unicode/unicode.wlm"));

  WordTableModel* Model() const {
    return qobject_cast<WordTableModel*>(f->Find<RowTableView>(table::kTable)->model());
  }
  void Set(const char* name, const QVariant& value) {
    auto* control = f->Find<QWidget>(name);
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->clear(), QTest::keyClicks(box, value.toString());
    else if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setChecked(value.toBool());
    else qobject_cast<QComboBox*>(control)->setCurrentIndex(value.toInt());
  }
  // The project open and shown, the table on show, the controls set, the table made.
  void Run(const QString& project, const QList<QPair<const char*, QVariant>>& controls = {}) {
    f->Open(project);
    f->window->show();
    f->Find<QTabWidget>(names::kPages)->setCurrentIndex(1);
    f->Find<QAbstractButton>(table::kTableView)->click();
    for (const auto& [name, value] : controls) Set(name, value);
    f->Click(names::kWordList);
  }
  // wordloom-cli's word table of `project` in `format`, its count line in `counts`.
  QByteArray CliTable(const QString& project, const QStringList& cli, const char* format,
                      QString* counts = nullptr) const {
    QByteArray errors;
    const QByteArray tsv =
        f->Cli(QStringList{"wordlist", project} + cli + QStringList{"--format", QString::fromLatin1(format)}, &errors);
    if (counts) *counts = QString::fromLatin1(errors).split(u'\n', Qt::SkipEmptyParts).last();
    return tsv;
  }
  QList<QStringList> Shown() const {
    QList<QStringList> rows;
    for (int row = 0; row < Model()->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < WordTableModel::kColumnCount; ++column) cells << Model()->Text(row, column);
      rows << cells;
    }
    return rows;
  }
  // Clicks a column's header, as the user sorts by it.
  void ClickHeader(int column) {
    QHeaderView* header = f->Find<RowTableView>(table::kTable)->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  void TableRunsShowAndExportWhatTheEngineLists_data() {
    QTest::addColumn<WordTableCase>("c");
    QTest::newRow("alphabetic") << WordTableCase{"samples.wlm", false, {}, {}, table::kExportTsv, "tsv"};
    QTest::newRow("decreasing frequency, rhyme")
        << WordTableCase{"samples.wlm", false, {"--order", "4", "--rhyme"},
                         {{names::kListOrder, 3}, {names::kRhyme, true}}, table::kExportCsv, "csv"};
    QTest::newRow("key words by length")
        << WordTableCase{"samples.wlm", false, {"--keywords", "--order", "5"},
                         {{names::kListKeyWords, true}, {names::kListOrder, 4}}, table::kExportJsonLines, "jsonl"};
    QTest::newRow("UTF-8, descending") << WordTableCase{"unicode/unicode.wlm", true, {"--order", "2"},
                                                        {{names::kListOrder, 1}}, table::kExportJsonLines, "jsonl"};
  }
  void TableRunsShowAndExportWhatTheEngineLists() {
    QFETCH(WordTableCase, c);
    const QString project = SamplePath(QString::fromLatin1(c.project));
    Run(project, c.controls);
    QString counts;
    const QList<QStringList> expected = TsvRows(CliTable(project, c.cli, "tsv", &counts), c.utf8);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(Shown(), expected);
    QCOMPARE(f->Find<QLineEdit>(names::kWordListCount)->text(), counts);
    QCOMPARE(f->Pane(names::kWordListPane), QString());  // the text view keeps its own runs
    const QString exported = f->Path(QStringLiteral("words.") + QString::fromLatin1(c.format));
    f->prompts.fileNames << exported;
    f->Trigger(c.exportAction);
    f->WaitForPass();
    QCOMPARE(ReadFile(exported), CliTable(project, c.cli, c.format));
    QCOMPARE(f->Label(names::kPathPanel), QStringLiteral("Exported %1 words to %2").arg(expected.size()).arg(exported));
  }

  // A header sorts by its column, the rank breaking ties, as the frequency orders do; the
  // filter keeps the rows whose words match, in that order; a bad pattern says why and keeps
  // the rows; copying and exporting give what is on show.
  void HeadersSortAndTheFilterKeepsWhatMatches() {
    Run(samples);
    const QList<QStringList> alphabetic = Shown();
    QHash<QString, QString> rankOf;
    for (const QStringList& row : alphabetic) rankOf[row[1]] = row[0];
    // The frequency orders' rows, each with its rank in the alphabetic table.
    const auto ranked = [&](const char* order) {
      QList<QStringList> rows = TsvRows(CliTable(samples, {"--order", order}, "tsv"));
      for (QStringList& row : rows) row[0] = rankOf[row[1]];
      return rows;
    };
    ClickHeader(WordTableModel::kFrequency);  // the most frequent first
    QCOMPARE(Shown(), ranked("4"));
    ClickHeader(WordTableModel::kFrequency);
    const QList<QStringList> increasing = ranked("3");
    QCOMPARE(Shown(), increasing);

    Set(table::kFilter, QStringLiteral("TH*"));
    QList<QStringList> kept;
    for (const QStringList& row : increasing) {
      if (row[1].startsWith(QStringLiteral("th"))) kept << row;
    }
    QVERIFY(kept.size() > 1);
    QCOMPARE(Shown(), kept);
    Set(table::kFilterKind, 1);
    Set(table::kFilter, QStringLiteral("Th.*"));
    QCOMPARE(Shown(), kept);
    f->Find<QLineEdit>(table::kFilter)->setText(QStringLiteral("th(e"));  // pasted over the last pattern
    std::unique_ptr<WordPattern> refused;
    const Status refusal = WordPattern::Regex("th(e", nullptr, refused);
    QCOMPARE(f->Label(table::kFilterMessage), QString::fromStdString(refusal.message()));
    QVERIFY(!f->Label(table::kFilterMessage).isEmpty());
    QCOMPARE(Shown(), kept);
    Set(table::kFilter, QStringLiteral("th(e|ere's)"));
    QCOMPARE(f->Label(table::kFilterMessage), QString());
    QCOMPARE(Model()->rowCount(), 2);

    auto* view = f->Find<RowTableView>(table::kTable);
    view->setFocus();
    view->selectAll();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QString shown;
    for (const QStringList& row : Shown()) shown += row.join(u'\t') + u'\n';
    QCOMPARE(QApplication::clipboard()->text(), shown);
    const QString exported = f->Path(QStringLiteral("words.tsv"));
    f->prompts.fileNames << exported;
    f->Trigger(table::kExportTsv);
    f->WaitForPass();
    const QString header = QStringLiteral("rank\tword\tfrequency\tper_million\trange\n");
    QCOMPARE(QString::fromLatin1(ReadFile(exported)), header + shown);

    Set(table::kFilter, QString());
    QCOMPARE(Shown(), increasing);
  }

  // A double-click on a word shows its concordance in the Concordance page's table, whatever
  // the page's match and search mode were.
  void ADoubleClickedWordShowsItsConcordance() {
    Run(unicode);
    namespace hits = concordance_page_names;
    Set(names::kMatchKeyWords, true);
    Set(hits::kSearchMode, 5);  // Regex
    const QString word = QStringLiteral("starý");
    int row = 0;
    while (row < Model()->rowCount() && Model()->Text(row, WordTableModel::kWord) != word) ++row;
    QVERIFY(row < Model()->rowCount());
    auto* view = f->Find<RowTableView>(table::kTable);
    const QModelIndex index = Model()->index(row, WordTableModel::kWord);
    view->scrollTo(index);
    // As the system sends a double-click: a click, then the double-click and its release.
    const QPoint middle = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, middle);
    f->WaitForPass();
    QCOMPARE(f->Find<QTabWidget>(names::kPages)->currentIndex(), 0);
    QCOMPARE(f->Find<QLineEdit>(names::kKeys)->text(), word);
    QVERIFY(f->Find<QRadioButton>(names::kMatchWord)->isChecked());
    QCOMPARE(f->Find<QComboBox>(hits::kSearchMode)->currentIndex(), 0);
    QVERIFY(f->Find<QAbstractButton>(hits::kTableView)->isChecked());
    const auto* found = qobject_cast<HitTableModel*>(f->Find<HitTableView>(hits::kTable)->model());
    const QByteArray cli = f->Cli({"kwic", unicode, "--keys", word, "--format", "tsv"});
    QCOMPARE(found->rowCount(), Model()->Text(row, WordTableModel::kFrequency).toInt());
    QCOMPARE(found->rowCount(), TsvRows(cli, true).size());
    for (int hit = 0; hit < found->rowCount(); ++hit) QCOMPARE(found->Text(hit, HitTableModel::kKey).toLower(), word);
  }
};

WORDLOOM_APP_TEST(WordTableTest);

}  // namespace wordloom::app::test

#include "word_table_test.moc"
