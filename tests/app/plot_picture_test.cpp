// The dispersion plot's picture from hand-made results: a strip a part with each hit on its
// pixel column, the same geometry in the PNG and the SVG, texts decoded from the project's
// encoding and escaped, and saves that fail leaving no file and any old one as it was.
#include <sys/stat.h>

#include <QXmlStreamReader>
#include <cmath>

#include "app_test.h"
#include "plot/plot_picture.h"

namespace wordloom::app::test {

using namespace Qt::StringLiterals;

namespace {

DispersionPart Part(std::string name, int64_t tokens, std::vector<float> places) {
  DispersionPart part;
  part.name = std::move(name);
  part.tokens = tokens;
  part.hits = static_cast<int64_t>(places.size());
  part.places = std::move(places);
  return part;
}

PlotSeries Series(std::string key, std::vector<DispersionPart> parts) {
  PlotSeries series;
  series.key = std::move(key);
  for (const DispersionPart& part : parts) series.result.hits += part.hits;
  series.result.parts = std::move(parts);
  return series;
}

// Two searches over two files of a UTF-8 project: "the" with hits at both ends and twice in the
// middle, "<A&B>" named in another script.
DispersionPlot TwoSearches() {
  DispersionPlot plot;
  plot.encoding = TextEncoding::Utf8;
  plot.series.push_back(Series("the", {Part("a.txt", 100, {0.0f, 0.5f, 0.5f, 1.0f}), Part("b.txt", 50, {})}));
  plot.series.push_back(Series("<A&B>", {Part("\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 <A&B>", 3, {0.25f})}));
  return plot;
}

QStringList Texts(const PlotLayout& layout) {
  QStringList texts;
  for (const PlotText& text : layout.texts) texts << text.text;
  return texts;
}

// The SVG's text elements, read back as an XML reader sees them; fails the test when the
// document is not well-formed.
QStringList SvgTexts(const std::string& svg, int* rects = nullptr, int* lines = nullptr) {
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  QStringList texts;
  int rectCount = 0, lineCount = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"text") texts << xml.readElementText();
    rectCount += xml.name() == u"rect";
    lineCount += xml.name() == u"line";
  }
  if (xml.hasError()) qWarning() << "SVG not well-formed:" << xml.errorString() << xml.lineNumber();
  if (rects) *rects = rectCount;
  if (lines) *lines = lineCount;
  return xml.hasError() ? QStringList{QStringLiteral("(malformed)")} : texts;
}

}  // namespace

class PlotPictureTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { VerifyNoWindowLeft(); }

  // One strip a part, all boxes in one column and stacked; each place on the pixel column it
  // falls on (0 on the first, 1 on the last), two hits on one column one mark; a click picks it.
  void EachPartIsAStripWithItsHitsOnTheirColumns() {
    const DispersionPlot plot = TwoSearches();
    const PlotLayout layout = LayOutPlot(plot, 600, PlotFont());
    QCOMPARE(layout.size.width(), 600);
    QCOMPARE(layout.strips.size(), size_t{3});
    const PlotStrip& a = layout.strips[0];
    const int columns = a.Columns();
    QVERIFY(columns > 100);
    for (size_t i = 0; i < layout.strips.size(); ++i) {
      QCOMPARE(layout.strips[i].box.left(), a.box.left());
      QCOMPARE(layout.strips[i].box.width(), a.box.width());
      if (i > 0) QVERIFY(layout.strips[i].box.top() > layout.strips[i - 1].box.bottom());
    }
    QCOMPARE(layout.strips[2].series, size_t{1});
    QVERIFY(layout.strips[1].marks.empty());

    const std::vector<std::pair<int, int64_t>> expected = {{0, 1}, {columns / 2, 2}, {columns - 1, 1}};
    QCOMPARE(a.marks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      QCOMPARE(a.marks[i].column, expected[i].first);
      QCOMPARE(a.marks[i].hits, expected[i].second);
    }
    QCOMPARE(a.marks[2].firstHit, int64_t{3});
    for (const auto& [place, column] : std::vector<std::pair<double, int>>{
             {0, 0}, {1e-9, 0}, {std::nextafter(1.0, 0.0), columns - 1}, {1, columns - 1}, {1.5, columns - 1}}) {
      QCOMPARE(a.ColumnOf(place), column);
    }

    const std::optional<PlotPick> pick = MarkAt(layout, QPointF(a.MarkX(columns / 2) + 1, a.box.center().y()));
    QVERIFY(pick.has_value());
    QCOMPARE(pick->strip, size_t{0});
    QCOMPARE(pick->mark.firstHit, int64_t{1});
    QVERIFY(!MarkAt(layout, QPointF(a.MarkX(columns / 4), a.box.center().y())).has_value());

    // Titles, names, hits and the rate per million (4 in 100 tokens, 1 in 3).
    const QStringList texts = Texts(layout);
    for (const QString& shown : {u"\"the\" - 4 hits"_s, u"\"<A&B>\" - 1 hit"_s, u"a.txt"_s, u"40000"_s,
                                 u"λόγος <A&B>"_s, u"333333.333333"_s, u"per million"_s}) {
      QVERIFY2(texts.contains(shown), qPrintable(shown + u" not in "_s + texts.join(u'|')));
    }
  }

  // Counts are grouped in thousands; a Windows-1252 project's bytes are decoded as such; a part
  // before any value of its letter is named "(none)".
  void TextsAreDecodedAndCountsGrouped() {
    DispersionPlot plot;
    plot.series.push_back(Series("caf\xE9", {Part("", 10, {}), Part("\x93quoted\x94", 10, {0.5f})}));
    plot.series[0].result.hits = 1234;
    const QStringList texts = Texts(LayOutPlot(plot, 600, PlotFont()));
    for (const QString& shown : {u"\"café\" - 1,234 hits"_s, u"(none)"_s, u"\u201Cquoted\u201D"_s}) {
      QVERIFY2(texts.contains(shown), qPrintable(shown + u" not in "_s + texts.join(u'|')));
    }
  }

  // No search, or searches over no parts at all: the one line "No hits.", in both formats.
  void NoPartsDrawNoHits() {
    DispersionPlot none;
    DispersionPlot empty;
    empty.series.push_back(Series("the", {}));
    for (const DispersionPlot* plot : {&none, &empty}) {
      const PlotLayout layout = LayOutPlot(*plot, 400, PlotFont());
      QCOMPARE(Texts(layout), QStringList{u"No hits."_s});
      QVERIFY(layout.strips.empty());
      QCOMPARE(SvgTexts(PlotSvg(layout)), QStringList{u"No hits."_s});
    }
  }

  // The SVG is well-formed UTF-8 with the layout's texts, escaped, a frame a strip and a line a
  // marked column; the PNG reads back at the layout's size with marks where the layout has them.
  void SvgAndPngShowTheLayout() {
    const QTemporaryDir folder;
    const DispersionPlot plot = TwoSearches();
    const PlotLayout layout = LayOutPlot(plot, 500, PlotFont());
    const std::string svgPath = folder.filePath(u"plot.svg"_s).toStdString();
    const Status svgSaved = SavePlotSvg(plot, svgPath, 500);
    QVERIFY2(svgSaved.ok(), svgSaved.message().c_str());
    const QByteArray svg = ReadFile(QString::fromStdString(svgPath));
    QCOMPARE(svg, QByteArray::fromStdString(PlotSvg(layout)));
    QVERIFY(svg.contains("&lt;A&amp;B&gt;"));
    int rects = 0, lines = 0;
    QCOMPARE(SvgTexts(svg.toStdString(), &rects, &lines), Texts(layout));
    QCOMPARE(rects, 1 + 3);  // the paper and the frames
    QCOMPARE(lines, 3 + 0 + 1);

    const QString pngPath = folder.filePath(u"plot.png"_s);
    const Status pngSaved = SavePlotPng(plot, pngPath.toStdString(), 500);
    QVERIFY2(pngSaved.ok(), pngSaved.message().c_str());
    const QImage image(pngPath, "PNG");
    QCOMPARE(image.size(), layout.size);
    const PlotStrip& a = layout.strips[0];
    const int middle = a.box.center().y();
    for (const PlotMark& mark : a.marks) {
      QCOMPARE(image.pixelColor(static_cast<int>(a.MarkX(mark.column)), middle), QColor(0x1f, 0x3a, 0x93));
    }
    QCOMPARE(image.pixelColor(static_cast<int>(a.MarkX(a.Columns() / 4)), middle), QColor(Qt::white));
  }

  // A save that cannot be made leaves no file (or the old one whole) and says where and why.
  void FailedSavesChangeNothing() {
    const QTemporaryDir folder;
    const QString readOnly = WriteFile(folder.filePath(u"old.svg"_s), "old");
    QVERIFY(::chmod(readOnly.toLocal8Bit().constData(), 0444) == 0);
    const QString missing = folder.filePath(u"no such folder/plot.png"_s);
    for (const auto& [path, reason] : {std::pair{missing, "No such file or directory"},
                                       std::pair{readOnly, "the file is read-only"}}) {
      for (const bool png : {true, false}) {
        const std::string target = path.toStdString();
        const Status saved = png ? SavePlotPng(TwoSearches(), target, 400) : SavePlotSvg(TwoSearches(), target, 400);
        QVERIFY(!saved.ok());
        QCOMPARE(QString::fromStdString(saved.message()),
                 u"Could not save the plot to "_s + path + u": "_s + QLatin1String(reason) + u'.');
      }
    }
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(ReadFile(readOnly), QByteArray("old"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"old.svg"_s});
  }
};

WORDLOOM_APP_TEST(PlotPictureTest);

}  // namespace wordloom::app::test

#include "plot_picture_test.moc"
