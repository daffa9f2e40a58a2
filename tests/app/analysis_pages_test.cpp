// The Collocates, Clusters and Keyness pages driven through their controls: their rows, counts
// and exports compared with wordloom-cli's tables, sorting by a header and copying, and a row's
// hits in the Concordance page's table.
#include "analysis/analysis.h"
#include "analysis/analysis_rows.h"
#include "analysis/clusters_page_names.h"
#include "analysis/collocates_page_names.h"
#include "analysis/keyness_page_names.h"
#include "concordance/concordance_page_names.h"
#include "ui/hit_table_model.h"
#include "ui/hit_table_view.h"
#include "ui/code_page.h"
#include "ui/row_table_view.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;
namespace collocates = collocates_page_names;
namespace clusters = clusters_page_names;
namespace keyness = keyness_page_names;
namespace hits = concordance_page_names;

// What the tests find on every page.
struct PageNames { const char* page; const char* run; const char* count; const char* table; const char* tsv;
                   const char* csv; const char* jsonLines; };
constexpr PageNames kCollocatesPage{collocates::kPage, collocates::kRun, collocates::kCount, collocates::kTable,
                                    collocates::kExportTsv, collocates::kExportCsv, collocates::kExportJsonLines};
constexpr PageNames kClustersPage{clusters::kPage, clusters::kRun, clusters::kCount, clusters::kTable,
                                  clusters::kExportTsv, clusters::kExportCsv, clusters::kExportJsonLines};
constexpr PageNames kKeynessPage{keyness::kPage, keyness::kRun, keyness::kCount, keyness::kTable,
                                 keyness::kExportTsv, keyness::kExportCsv, keyness::kExportJsonLines};

using Controls = QList<QPair<const char*, QVariant>>;

// A run of `page` on `project` (UTF-8 or Windows-1252) with its controls set and the files of
// `references` added: the table shows the rows of wordloom-cli's TSV table for `cli`, the count
// is its summary, and each export is its table in that format.
struct PageCase { const PageNames* page; const char* project; bool utf8; QStringList cli; Controls controls;
                  QStringList references; const char* noun; };

// A word list of a made-up reference: "the" rarer than in the samples, "sea" never seen there.
const QByteArray kWordList = "the\t400\nof\t300\n\nsea\t90\nharbour\t2\nzebra\t50\n";

class AnalysisPagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const PageNames* page_ = nullptr;

  const AnalysisTableModel* Model() const {
    return qobject_cast<AnalysisTableModel*>(f->Find<RowTableView>(page_->table)->model());
  }
  void Set(const char* name, const QVariant& value) {
    auto* control = f->Find<QWidget>(name);
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->setText(value.toString());
    else if (auto* number = qobject_cast<QSpinBox*>(control)) number->setValue(value.toInt());
    else qobject_cast<QComboBox*>(control)->setCurrentIndex(value.toInt());
  }
  QString Reference(const QString& name) const {
    return name == QStringLiteral("list.tsv") ? WriteFile(f->Path(name), kWordList) : SamplePath(name);
  }
  // The project open, the page on show, its controls set and references added, the table made.
  void Run(const PageCase& c) {
    page_ = c.page;
    f->Open(SamplePath(QString::fromLatin1(c.project)));
    f->window->show();
    f->Find<QTabWidget>(names::kPages)->setCurrentWidget(f->Find<QWidget>(c.page->page));
    for (const auto& [name, value] : c.controls) Set(name, value);
    for (const QString& reference : c.references) {
      f->prompts.fileNames << Reference(reference);
      f->Click(keyness::kAddReference);
    }
    f->Click(c.page->run);
  }
  // wordloom-cli's table for the case in `format`, its summary line in `counts`.
  QByteArray CliTable(const PageCase& c, const char* format, QString* counts = nullptr) const {
    QStringList arguments{c.cli[0], SamplePath(QString::fromLatin1(c.project))};
    arguments << c.cli.mid(1);
    for (const QString& reference : c.references) arguments << QStringLiteral("--reference") << Reference(reference);
    QByteArray errors;
    const QByteArray table = f->Cli(arguments + QStringList{"--format", QString::fromLatin1(format)}, &errors);
    const QStringList lines = QString::fromUtf8(errors).split(u'\n', Qt::SkipEmptyParts);
    if (counts) *counts = lines.isEmpty() ? QString() : lines.last();
    return table;
  }
  QList<QStringList> Shown() const {
    QList<QStringList> rows;
    for (int row = 0; row < Model()->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < Model()->columnCount(); ++column) cells << Model()->Text(row, column);
      rows << cells;
    }
    return rows;
  }
  void ClickHeader(int column) {
    QHeaderView* header = f->Find<RowTableView>(page_->table)->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  }
  // As the system sends a double-click: a click, then the double-click and its release.
  void DoubleClick(int row) {
    auto* view = f->Find<RowTableView>(page_->table);
    const QModelIndex index = Model()->index(row, 1);
    view->scrollTo(index);
    const QPoint middle = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, middle);
    f->WaitForPass();
  }
  const HitTableModel* Hits() const {
    return qobject_cast<HitTableModel*>(f->Find<HitTableView>(hits::kTable)->model());
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  void PagesShowAndExportWhatTheEngineLists_data() {
    QTest::addColumn<PageCase>("c");
    QTest::newRow("collocates") << PageCase{&kCollocatesPage, "samples.wlm", false, {"collocates", "--keys", "the"},
                                            {{collocates::kSearch, "the"}}, {}, "collocate"};
    QTest::newRow("collocates, wildcard, narrow window, by MI")
        << PageCase{&kCollocatesPage, "samples.wlm", false,
                    {"collocates", "--keys", "s*", "--search", "wildcard", "--left", "0", "--right", "2", "--min", "2",
                     "--sort", "mi"},
                    {{collocates::kSearch, "s*"}, {collocates::kSearchMode, 4}, {collocates::kLeft, 0},
                     {collocates::kRight, 2}, {collocates::kMinimum, 2}, {collocates::kSortBy, 0}},
                    {}, "collocate"};
    QTest::newRow("collocates, UTF-8") << PageCase{&kCollocatesPage, "unicode/unicode.wlm", true,
                                                   {"collocates", "--keys", "και", "--min", "1"},
                                                   {{collocates::kSearch, "και"}, {collocates::kMinimum, 1}}, {},
                                                   "collocate"};
    QTest::newRow("n-grams") << PageCase{&kClustersPage, "samples.wlm", false, {"ngrams"}, {}, {}, "n-gram"};
    QTest::newRow("clusters, right, 1 to 4")
        << PageCase{&kClustersPage, "samples.wlm", false,
                    {"clusters", "--keys", "wind", "--position", "right", "--n", "1..4", "--min", "1"},
                    {{clusters::kSearch, "wind"}, {clusters::kPosition, 1}, {clusters::kFrom, 1}, {clusters::kTo, 4},
                     {clusters::kMinimum, 1}},
                    {}, "cluster"};
    QTest::newRow("keyness, a text and a word list")
        << PageCase{&kKeynessPage, "samples.wlm", false, {"keyness"}, {}, {"orchard.txt", "list.tsv"}, "key word"};
    QTest::newRow("keyness, a project, high threshold, UTF-8")
        << PageCase{&kKeynessPage, "unicode/unicode.wlm", true, {"keyness", "--min", "2", "--threshold", "6.63"},
                    {{keyness::kMinimum, 2}, {keyness::kThreshold, 1}}, {"samples.wlm"}, "key word"};
  }
  void PagesShowAndExportWhatTheEngineLists() {
    QFETCH(PageCase, c);
    Run(c);
    QVERIFY2(f->prompts.messages.isEmpty(), qPrintable(f->prompts.messages.join(u'\n')));
    QString counts;
    const QList<QStringList> expected = TsvRows(CliTable(c, "tsv", &counts), c.utf8);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(Shown(), expected);
    QCOMPARE(f->Find<QLineEdit>(c.page->count)->text(), counts);
    const std::pair<const char*, const char*> exports[] = {
        {c.page->tsv, "tsv"}, {c.page->csv, "csv"}, {c.page->jsonLines, "jsonl"}};
    for (const auto& [action, format] : exports) {
      const QString exported = f->Path(QStringLiteral("table.") + QString::fromLatin1(format));
      f->prompts.fileNames << exported;
      f->Trigger(action);
      f->WaitForPass();
      QCOMPARE(ReadFile(exported), CliTable(c, format));
      QCOMPARE(f->Label(names::kPathPanel),
               QStringLiteral("Exported %1 %2%3 to %4")
                   .arg(expected.size())
                   .arg(QString::fromLatin1(c.noun), expected.size() == 1 ? "" : "s", exported));
    }
  }

  // A number's header puts the largest first, then the smallest; the word's sorts in the
  // project's order; ties keep the listed order. Copy takes every row when none is selected.
  void HeadersSortAndCopyTakesTheRowsOnShow() {
    const PageCase c{&kCollocatesPage, "samples.wlm", false, {"collocates", "--keys", "the"},
                     {{collocates::kSearch, "the"}}, {}, "collocate"};
    Run(c);
    const QList<QStringList> listed = Shown();
    const auto sorted = [&](int column, bool descending) {
      QList<QStringList> rows = listed;
      std::stable_sort(rows.begin(), rows.end(), [&](const QStringList& a, const QStringList& b) {
        return descending ? a[column].toDouble() > b[column].toDouble() : a[column].toDouble() < b[column].toDouble();
      });
      return rows;
    };
    ClickHeader(kCollocateFrequency);
    QCOMPARE(Shown(), sorted(kCollocateFrequency, true));
    ClickHeader(kCollocateFrequency);
    QCOMPARE(Shown(), sorted(kCollocateFrequency, false));
    ClickHeader(kCollocateWord);
    QHash<QString, qsizetype> place;
    for (size_t p = 0; p < f->session.lists.Vocabulary.size(); ++p) {
      place[Decode1252(f->session.lists.Vocabulary[p].word)] = static_cast<qsizetype>(p);
    }
    QList<QStringList> byWord = listed;
    std::sort(byWord.begin(), byWord.end(),
              [&](const QStringList& a, const QStringList& b) { return place[a[1]] < place[b[1]]; });
    QCOMPARE(Shown(), byWord);
    ClickHeader(kCollocateRank);
    QCOMPARE(Shown(), listed);

    f->Find<RowTableView>(c.page->table)->clearSelection();
    f->Find<QPushButton>(collocates::kCopy)->click();
    QString copied;
    for (const QStringList& row : listed) copied += row.join(u'\t') + u'\n';
    QCOMPARE(QApplication::clipboard()->text(), copied);
  }

  // Words used more than in the reference and words used less show in two colours; a
  // reference that cannot be read says why and leaves the table as it was.
  void KeynessColoursItsDirectionsAndARefusedReferenceKeepsTheTable() {
    Run({&kKeynessPage, "samples.wlm", false, {}, {}, {"list.tsv"}, ""});
    const QList<QStringList> shown = Shown();
    QHash<QString, QVariant> colours;
    for (int row = 0; row < Model()->rowCount(); ++row) {
      const QVariant colour = Model()->index(row, kKeynessWord).data(Qt::ForegroundRole);
      QVERIFY(colour.isValid());
      QCOMPARE(colours.value(shown[row][kKeynessDirection], colour), colour);
      colours[shown[row][kKeynessDirection]] = colour;
    }
    QCOMPARE(colours.size(), 2);
    QVERIFY(colours[QStringLiteral("+")] != colours[QStringLiteral("-")]);

    const QString malformed = WriteFile(f->Path(QStringLiteral("bad.tsv")), "the\t5\nsea five\n");
    f->prompts.fileNames << malformed;
    f->Click(keyness::kAddReference);
    f->Click(keyness::kRun);
    QCOMPARE(f->prompts.messages.size(), 1);
    QVERIFY2(f->prompts.messages[0].contains(malformed), qPrintable(f->prompts.messages[0]));
    QCOMPARE(Shown(), shown);
  }

  // A row's hits fill the Concordance page's table: a key word's concordance, an n-gram's
  // phrase, a collocate's node hits that have it in their window, marked in their contexts.
  void ARowShowsItsHitsInTheConcordanceTable() {
    Run({&kKeynessPage, "samples.wlm", false, {}, {}, {"orchard.txt"}, ""});
    const QString word = Model()->Text(0, kKeynessWord);
    DoubleClick(0);
    QCOMPARE(f->Find<QTabWidget>(names::kPages)->currentIndex(), 0);
    QCOMPARE(f->Find<QLineEdit>(names::kKeys)->text(), word);
    QCOMPARE(f->Find<QComboBox>(hits::kSearchMode)->currentIndex(), 0);
    QCOMPARE(Hits()->rowCount(), Model()->Text(0, kKeynessFrequency).toInt());

    Run({&kClustersPage, "samples.wlm", false, {}, {}, {}, ""});
    const QString ngram = Model()->Text(0, kNgramWords);
    auto* view = f->Find<RowTableView>(clusters::kTable);
    view->setCurrentIndex(Model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Return);
    f->WaitForPass();
    QCOMPARE(f->Find<QLineEdit>(names::kKeys)->text(), ngram);
    QCOMPARE(f->Find<QComboBox>(hits::kSearchMode)->currentIndex(), 6);  // Phrase
    QCOMPARE(Hits()->rowCount(), Model()->Text(0, kNgramFrequency).toInt());

    Run({&kCollocatesPage, "samples.wlm", false, {}, {{collocates::kSearch, "the"}}, {}, ""});
    const int row = 2;
    const QString collocate = Model()->Text(row, kCollocateWord);
    const EntryPosition entry = CollocatesRunOf(Model()->rows().get())->result.rows[Model()->ListedRow(row)].entry;
    DoubleClick(row);
    HitQuery the;
    the.keys = "the";
    std::unique_ptr<NodeSearch> search;
    QVERIFY(NodeSearch::Make(f->session, the, search).ok());
    std::vector<int64_t> expected;
    QVERIFY(CollocateHits(f->session, *search, CollocateOptions(), entry, expected).ok());
    QCOMPARE(Hits()->rowCount(), static_cast<int>(expected.size()));
    // The context is five words a side, as the window is: the collocate is in every row's.
    const auto marked = [&](int hit, int column) {
      return !Hits()->index(hit, column).data(HitTableModel::kHighlightRole).value<QList<int>>().isEmpty();
    };
    for (int hit = 0; hit < Hits()->rowCount(); ++hit) {
      QVERIFY2(marked(hit, HitTableModel::kLeft) || marked(hit, HitTableModel::kRight),
               qPrintable(collocate + QStringLiteral(" is not marked in row %1").arg(hit)));
    }
    // Sorting the table arranges those hits only.
    f->Find<QComboBox>(hits::kSortFields[0])->setCurrentIndex(2);
    f->Click(hits::kArrange);
    f->WaitForPass();
    QCOMPARE(Hits()->rowCount(), static_cast<int>(expected.size()));
  }
};

WORDLOOM_APP_TEST(AnalysisPagesTest);

}  // namespace wordloom::app::test

#include "analysis_pages_test.moc"
