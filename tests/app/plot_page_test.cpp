// The Plot page driven through its controls: two keys plotted by file and by speaker give
// wordloom-cli's dispersion, a strip a part; the plot saved as PNG and SVG as wordloom-cli draws
// it, a failed save, and a printout; and a click on a mark showing the key's hits in the
// Concordance page's table with the mark's first hit selected.
#include "analysis/plot_page.h"
#include "analysis/plot_page_names.h"
#include "analysis/plot_view.h"
#include "concordance/concordance_page_names.h"
#include "ui/code_page.h"
#include "ui/hit_table_model.h"
#include "ui/hit_table_view.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;
namespace plot = plot_page_names;

// Keys plotted over the parts of `by` (0: the files, else a reference letter), as wordloom-cli's
// `--by cliBy` counts them.
struct PlotCase { const char* keys; int by; const char* cliBy; };

constexpr int kLetterS = 19;

class PlotPageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samples = SamplePath(QStringLiteral("samples.wlm"));

  PlotPage* Page() const { return f->Find<PlotPage>(plot::kPage); }
  PlotView* View() const { return f->Find<PlotView>(plot::kView); }
  // The sample project open, the Plot page on show, the keys typed and plotted.
  void Plot(const QString& keys, int by) {
    f->Open(samples);
    f->window->resize(900, 700);
    f->window->show();
    f->Find<QTabWidget>(names::kPages)->setCurrentWidget(Page());
    auto* keysBox = f->Find<QLineEdit>(plot::kKeys);
    keysBox->clear();
    QTest::keyClicks(keysBox, keys);
    auto* byBox = f->Find<QComboBox>(plot::kBy);
    byBox->setCurrentIndex(byBox->findData(by));
    f->Click(plot::kPlot);
    QVERIFY(Page()->result());
  }
  // wordloom-cli's dispersion of `key`: part, tokens and hits of each part.
  QList<QStringList> CliParts(const QString& key, const char* by) const {
    const QByteArray tsv = f->Cli({"dispersion", samples, "--keys", key, "--by", QString::fromLatin1(by)});
    QList<QStringList> parts;
    for (const QByteArray& line : tsv.split('\n').mid(1)) {
      const QStringList cells = AsPaneText(line).split(u'\t');
      if (cells.size() > 3 && cells[0] != u'*') parts << cells.mid(0, 3);
    }
    return parts;
  }
  static QList<QStringList> ShownParts(const PlotSeries& series) {
    QList<QStringList> parts;
    for (const DispersionPart& part : series.result.parts) {
      parts << QStringList{Decode1252(part.name), QString::number(part.tokens), QString::number(part.hits)};
    }
    return parts;
  }
  // The strip of the search `series` over the part named `part`.
  const PlotStrip* StripOf(size_t series, const std::string& part) const {
    const DispersionPlot& shown = Page()->result()->plot;
    for (const PlotStrip& strip : View()->layout().strips) {
      if (strip.series == series && shown.series[series].result.parts[strip.part].name == part) return &strip;
    }
    return nullptr;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  void EachKeyIsAGroupOfStripsCountedAsTheEngineCounts_data() {
    QTest::addColumn<PlotCase>("c");
    QTest::newRow("by file") << PlotCase{"the lantern", 0, "file"};
    QTest::newRow("by speaker") << PlotCase{"the lantern", kLetterS, "S"};
  }
  void EachKeyIsAGroupOfStripsCountedAsTheEngineCounts() {
    QFETCH(PlotCase, c);
    Plot(QString::fromLatin1(c.keys), c.by);
    auto* pages = f->Find<QTabWidget>(names::kPages);
    QCOMPARE(pages->tabText(pages->indexOf(Page())), QStringLiteral("Plot"));
    QCOMPARE(pages->tabText(pages->indexOf(Page()) - 1), QStringLiteral("Clusters"));
    QCOMPARE(pages->tabText(pages->indexOf(Page()) + 1), QStringLiteral("Keyness"));
    // "By" offers the letters the project uses first, as the citation letters show them.
    const QString used = f->Find<QLineEdit>(names::kCitationLetters)->text();
    QVERIFY(used.contains(u'S'));
    auto* byBox = f->Find<QComboBox>(plot::kBy);
    for (qsizetype i = 0; i < used.size(); ++i) QCOMPARE(byBox->itemText(static_cast<int>(i) + 1), QString(used[i]));

    const DispersionPlot& shown = Page()->result()->plot;
    const QStringList keys = QString::fromLatin1(c.keys).split(u' ');
    QCOMPARE(shown.series.size(), size_t(keys.size()));
    size_t strips = 0;
    for (size_t s = 0; s < shown.series.size(); ++s) {
      const PlotSeries& series = shown.series[s];
      QCOMPARE(QString::fromStdString(series.key), keys[static_cast<qsizetype>(s)]);
      const QList<QStringList> expected = CliParts(keys[static_cast<qsizetype>(s)], c.cliBy);
      QVERIFY(expected.size() > 1);
      QCOMPARE(ShownParts(series), expected);
      for (const DispersionPart& part : series.result.parts) {
        const PlotStrip* strip = StripOf(s, part.name);
        QVERIFY(strip);
        int64_t marked = 0;
        for (const PlotMark& mark : strip->marks) marked += mark.hits;
        QCOMPARE(marked, part.hits);
        ++strips;
      }
    }
    QCOMPARE(View()->layout().strips.size(), strips);
    QCOMPARE(f->Find<QLineEdit>(plot::kCount)->text(), PlotCountText(shown));
  }

  // Saved as wordloom-cli draws the same plot; a save that fails says why and writes nothing;
  // a printout is a PDF here.
  void APlotIsSavedAsTheToolDrawsItAndPrinted() {
    Plot(QStringLiteral("lantern"), kLetterS);
    for (const char* type : {"svg", "png"}) {
      const QString saved = f->Path(QStringLiteral("plot.") + QString::fromLatin1(type));
      const QString drawn = f->Path(QStringLiteral("cli.") + QString::fromLatin1(type));
      f->Cli({"plot", samples, "--keys", "lantern", "--by", "S", "--out", drawn});
      f->prompts.fileNames << saved;
      f->Click(plot::kSave);
      QCOMPARE(f->Label(names::kPathPanel), QStringLiteral("Saved the plot to %1").arg(saved));
      if (qstrcmp(type, "svg") == 0) {
        QCOMPARE(ReadFile(saved), ReadFile(drawn));
      } else {
        const QImage image(saved);
        QCOMPARE(image.width(), kPlotPictureWidth);
        QCOMPARE(image.convertToFormat(QImage::Format_RGB32), QImage(drawn).convertToFormat(QImage::Format_RGB32));
      }
    }

    const QString nowhere = f->Path(QStringLiteral("missing/plot.png"));
    const qsizetype told = f->prompts.messages.size();
    f->prompts.fileNames << nowhere;
    f->Click(plot::kSave);
    QCOMPARE(f->prompts.messages.size(), told + 1);
    QVERIFY2(f->prompts.messages.last().startsWith(QStringLiteral("Could not save the plot to %1: ").arg(nowhere)),
             qPrintable(f->prompts.messages.last()));
    QVERIFY(!QFileInfo::exists(nowhere));

    f->prompts.pdfPath = f->Path(QStringLiteral("plot.pdf"));
    f->Click(plot::kPrint);
    QVERIFY(ReadFile(f->prompts.pdfPath).startsWith("%PDF"));
  }

  // The mark's tool tip names its part and hits; a click shows the key's hits in the table,
  // the mark's first hit selected: the one of its part (by the citation of the speaker, or
  // the file) that many hits of the part come after.
  void AClickedMarkSelectsItsFirstHitInTheTable_data() {
    QTest::addColumn<PlotCase>("c");
    QTest::newRow("by file") << PlotCase{"the lantern", 0, "file"};
    QTest::newRow("by speaker") << PlotCase{"the lantern", kLetterS, "S"};
  }
  void AClickedMarkSelectsItsFirstHitInTheTable() {
    QFETCH(PlotCase, c);
    Plot(QString::fromLatin1(c.keys), c.by);
    f->Find<QLineEdit>(names::kCitationLetters)->setText(QStringLiteral("S"));
    const DispersionPlot& shown = Page()->result()->plot;
    // The last mark of the key "the" in the named part with the most hits: past its first hit.
    std::string part;
    int64_t most = 0;
    for (const DispersionPart& candidate : shown.series[0].result.parts) {
      if (!candidate.name.empty() && candidate.hits > most) part = candidate.name, most = candidate.hits;
    }
    const PlotStrip* strip = StripOf(0, part);
    QVERIFY(strip && strip->marks.size() > 1);
    const PlotMark mark = strip->marks.back();
    QVERIFY(mark.firstHit > 0);

    PlotView* view = View();
    view->verticalScrollBar()->setValue(strip->box.top() - 20);
    const QPoint point = view->ViewportPoint(QPointF(strip->MarkX(mark.column), strip->box.center().y()));
    QVERIFY(view->viewport()->rect().contains(point));
    const QString hits = mark.hits == 1 ? QStringLiteral("1 hit") : QStringLiteral("%1 hits").arg(mark.hits);
    QCOMPARE(view->ToolTipAt(point), QStringLiteral("%1: %2").arg(Decode1252(part), hits));
    QVERIFY(view->ToolTipAt(QPoint(1, 1)).isEmpty());

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    f->WaitForPass();
    QCOMPARE(f->Find<QTabWidget>(names::kPages)->currentIndex(), 0);
    QCOMPARE(f->Find<QLineEdit>(names::kKeys)->text(), QStringLiteral("the"));
    namespace hits_names = concordance_page_names;
    auto* table = f->Find<HitTableView>(hits_names::kTable);
    const auto* model = qobject_cast<HitTableModel*>(table->model());
    QCOMPARE(int64_t{model->rowCount()}, shown.series[0].result.hits);
    const int selected = table->currentIndex().row();
    QVERIFY(selected >= 0);
    QVERIFY(table->selectionModel()->isRowSelected(selected, QModelIndex()));
    const HitStore& store = *model->store();
    const auto inPart = [&](int64_t row) {
      return c.by == 0 ? store.files()[static_cast<size_t>(store.FileNumber(row))] == part
                       : std::string(store.Citation(row)) == " " + part;
    };
    const int64_t chosen = model->StoreRow(selected);
    QVERIFY(inPart(chosen));
    int64_t before = 0;
    for (int64_t row = 0; row < chosen; ++row) before += inPart(row);
    QCOMPARE(before, mark.firstHit);
  }
};

WORDLOOM_APP_TEST(PlotPageTest);

}  // namespace wordloom::app::test

#include "plot_page_test.moc"
