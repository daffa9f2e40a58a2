// The output pane and the file under it: the line index and find against plain references,
// keys, selection and copying, saving exactly what the pane shows as text or RTF, and the code
// page.
#include <csignal>
#include <random>
#include <sys/resource.h>

#include "app_test.h"
#include "base/cp1252.h"
#include "shell/main_window_names.h"
#include "ui/code_page.h"
#include "ui/output_file.h"
#include "ui/output_pane.h"
#include "ui/output_saving.h"
#include "ui/output_text.h"
#include "ui/rtf.h"

namespace wordloom::app::test {
namespace {

// Lines split at LF, a CR just before it dropped, a last line without an end kept.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start - (end < text.size() && end > start && text[end - 1] == '\r')));
  }
  return lines;
}

// Letter case folded by the code page, or by Qt for UTF-8 (whose test texts fold to the same lengths).
std::string Folded(const std::string& text, TextEncoding encoding) {
  if (encoding == TextEncoding::Windows1252) return Lower1252(text);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded().toUtf8().toStdString();
}

uint64_t FindInText(const std::string& text, const std::string& pattern, uint64_t from, bool forward,
                    TextEncoding encoding) {
  const std::string lower = Folded(text, encoding), folded = Folded(pattern, encoding);
  std::vector<uint64_t> starts;
  for (size_t at = lower.find(folded); at != std::string::npos; at = lower.find(folded, at + 1)) starts.push_back(at);
  if (starts.empty()) return UINT64_MAX;
  const auto after = std::lower_bound(starts.begin(), starts.end(), from);
  if (forward) return after == starts.end() ? starts.front() : *after;
  return after == starts.begin() ? starts.back() : *(after - 1);
}

}  // namespace

class OutputPaneTest : public QObject {
  Q_OBJECT
  QTemporaryDir folder_;
  std::unique_ptr<OutputPane> pane_;

  QString Write(const QString& name, const QByteArray& bytes) { return WriteFile(folder_.filePath(name), bytes); }
  // A pane on screen showing `bytes`, written to the file `name`.
  OutputPane& Shown(const QString& name, const QByteArray& bytes, TextEncoding encoding = TextEncoding::Windows1252) {
    pane_ = std::make_unique<OutputPane>(QString::fromLatin1(main_window_names::kConcordancePane));
    QString error;
    if (!pane_->LoadPlainTextFile(Write(name, bytes), encoding, error)) qFatal("%s", qPrintable(error));
    pane_->resize(400, 200);
    pane_->show();
    return *pane_;
  }

 private slots:
  void cleanup() {
    pane_.reset();
    VerifyNoWindowLeft();
  }

  // Random texts of CR LF, LF, lone CR, tabs, empty and long lines, read in blocks of 1 to 9
  // bytes, so that a UTF-8 character may fall across two blocks.
  void TheIndexAndFindAgreeWithPlainReferences_data() {
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QByteArrayList>("patterns");
    const QByteArrayList common{" ", "\t", "\r\n", "\n", "\r", "ab\tc", "\r\n\r\n", "a", "B"};
    // The UTF-8 pieces are whole characters: é É Σ σ 中.
    QTest::newRow("Windows-1252") << TextEncoding::Windows1252 << common + QByteArrayList{"\xE9", "\xC9"}
                                  << QByteArrayList{"a", "AB", "\xC9", "b\tc", "\ra", "bb"};
    QTest::newRow("UTF-8") << TextEncoding::Utf8
                           << common + QByteArrayList{"\xC3\xA9", "\xC3\x89", "\xCE\xA3", "\xCF\x83", "\xE4\xB8\xAD"}
                           << QByteArrayList{"a", "AB", "\xC3\x89", "\xCF\x83" "a", "\xE4\xB8\xAD\t", "b\tc", "\ra"};
  }
  void TheIndexAndFindAgreeWithPlainReferences() {
    QFETCH(TextEncoding, encoding);
    QFETCH(QByteArrayList, pieces);
    QFETCH(QByteArrayList, patterns);
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
      std::string text;
      for (int piece = random() % 40; piece > 0; --piece) {
        text += random() % 30 == 0 ? std::string(random() % 200, 'x') : pieces[random() % pieces.size()].toStdString();
      }
      std::string error;
      const auto file = OutputFile::Open(PathBytes(Write(QStringLiteral("random"), QByteArray::fromStdString(text))),
                                         encoding, error, 1 + round % 9);
      QVERIFY2(file, error.c_str());
      const std::vector<std::string> lines = SplitLines(text);
      QCOMPARE(file->LineCount(), lines.size());
      uint64_t widest = 0;
      for (uint64_t i = 0; i < lines.size(); ++i) {
        QCOMPARE(file->Line(i), lines[i]);
        QVERIFY(file->LineOf(file->LineStart(i)) == i && file->LineOf(file->LineStart(i + 1) - 1) == i);
        // Every UTF-8 character here beyond U+07FF is wide, so the index's bound is exact.
        const uint64_t columns = encoding == TextEncoding::Utf8 ? ColumnOf(lines[i], lines[i].size(), encoding)
                                                                 : ExpandTabs(lines[i]).size();
        widest = std::max(widest, columns);
      }
      QCOMPARE(file->LongestLine(), widest);
      std::vector<std::string> streamed;
      const auto collect = [&](uint64_t, std::string_view line) { return streamed.emplace_back(line), true; };
      QVERIFY(file->ForEachLine(0, UINT64_MAX, collect, error) && streamed == lines);
      const std::string pattern = patterns[random() % patterns.size()].toStdString();
      const uint64_t from = random() % (text.size() + 1);
      const bool forward = random() % 2 == 0;
      QCOMPARE(file->Find(pattern, from, forward).value_or(UINT64_MAX),
               FindInText(text, pattern, from, forward, encoding));
    }
  }

  void KeysAndTheMouseSelectAndCopy() {
    const QByteArray bytes("alpha\tbeta\r\ngamma \xE9t\xE9\r\n\r\nlast\r\n");
    OutputPane& pane = Shown(QStringLiteral("keys"), bytes);
    QTest::keyClick(&pane, Qt::Key_Down);
    for (int i = 0; i < 5; ++i) QTest::keyClick(&pane, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("gamma"));
    QTest::keyClick(&pane, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(&pane, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(pane.SelectedText(), QStringLiteral("gamma \u00E9t\u00E9\n"));
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, QPoint(6, 3));
    QCOMPARE(pane.SelectedText(), QStringLiteral("alpha"));
  }

  // A UTF-8 output: characters decoded, each one column or two (a CJK one), cursor keys and
  // clicks stepping over whole characters, Find ignoring Greek case too.
  void AUtf8OutputShowsItsCharactersInTheirColumns() {
    const QString text = QStringLiteral("\u03B1\t\u03B2 \u4E2D\u6587 \u03A9mega\n\u03BA\u03CC\u03C3\u03BC\u03B5 \U0001F600 end\n");
    OutputPane& pane = Shown(QStringLiteral("utf8"), text.toUtf8().replace("\n", "\r\n"), TextEncoding::Utf8);
    QCOMPARE(pane.Text(), text);
    const std::string first = pane.File()->Line(0);
    QCOMPARE(DisplayLine(first, TextEncoding::Utf8), QStringLiteral("\u03B1       \u03B2 \u4E2D\u6587 \u03A9mega"));
    QCOMPARE(ColumnOf(first, first.find("\xCE\xA9"), TextEncoding::Utf8), uint64_t(15));
    QVERIFY(!pane.grab().isNull());  // paints each character at its column
    QTest::keyClick(&pane, Qt::Key_Down);
    for (int i = 0; i < 5; ++i) QTest::keyClick(&pane, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(pane.SelectedText(), QStringLiteral("\u03BA\u03CC\u03C3\u03BC\u03B5"));
    QTest::keyClick(&pane, Qt::Key_Right);
    QTest::keyClick(&pane, Qt::Key_Right);
    QTest::keyClick(&pane, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(pane.SelectedText(), QStringLiteral("\U0001F600"));
    // A double-click in the middle of "Ωmega", which starts in column 15.
    const int width = pane.fontMetrics().horizontalAdvance(QLatin1Char('M'));
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, QPoint(4 + width * 17, pane.fontMetrics().height() / 2));
    QCOMPARE(pane.SelectedText(), QStringLiteral("\u03A9mega"));
    QTest::keyClick(&pane, Qt::Key_Home);
    QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
    auto* edit = pane.findChild<QLineEdit*>();
    edit->setText(QStringLiteral("\u039A\u038C\u03A3\u039C\u0395"));  // upper case, to find "κόσμε"
    QVERIFY(pane.FindNext());
    QCOMPARE(pane.SelectedText(), QStringLiteral("\u03BA\u03CC\u03C3\u03BC\u03B5"));
  }

  // Stepping back over characters stops where stepping forward did, on random UTF-8 with
  // combining marks, wide characters, tabs and invalid bytes; columns grow with each step.
  void CharactersStepTheSameBothWays() {
    static const char* const kPieces[] = {"a", " ", "\t", "e\xCC\x81", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                          "\xCC\x81", "\xFF", "\xE4\xB8", "\x80", "\r"};
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
      std::string line;
      for (int piece = random() % 12; piece > 0; --piece) line += kPieces[random() % std::size(kPieces)];
      std::vector<size_t> starts{0};
      while (starts.back() < line.size()) starts.push_back(CharEnd(line, starts.back(), TextEncoding::Utf8));
      for (size_t i = starts.size() - 1; i > 0; --i) {
        QCOMPARE(CharStart(line, starts[i], TextEncoding::Utf8), starts[i - 1]);
        QVERIFY(ColumnOf(line, starts[i], TextEncoding::Utf8) > ColumnOf(line, starts[i - 1], TextEncoding::Utf8));
        const auto column = static_cast<double>(ColumnOf(line, starts[i - 1], TextEncoding::Utf8));
        QCOMPARE(OffsetNearColumn(line, column, TextEncoding::Utf8), uint64_t(starts[i - 1]));
      }
    }
  }

  // A read that stops inside a UTF-8 character shows none of it.
  void ACutSequenceIsLeftOut_data() {
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QByteArray>("kept");
    QTest::newRow("whole") << QByteArray("a\xE4\xB8\xAD") << QByteArray("a\xE4\xB8\xAD");
    QTest::newRow("two of three") << QByteArray("a\xE4\xB8") << QByteArray("a");
    QTest::newRow("lead alone") << QByteArray("ab\xC3") << QByteArray("ab");
    QTest::newRow("three of four") << QByteArray("\xF0\x9F\x98") << QByteArray();
    QTest::newRow("ASCII") << QByteArray("abc") << QByteArray("abc");
  }
  void ACutSequenceIsLeftOut() {
    QFETCH(QByteArray, read);
    QFETCH(QByteArray, kept);
    const std::string bytes = read.toStdString();
    QCOMPARE(QByteArray::fromStdString(std::string(WithoutCutSequence(bytes, TextEncoding::Utf8))), kept);
    QCOMPARE(WithoutCutSequence(bytes, TextEncoding::Windows1252).size(), bytes.size());
  }

  void FindWrapsAroundAndShowsTheMatch() {
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) bytes += i == 5 || i == 2500 ? "a Needle\r\n" : QByteArray::number(i) + "\r\n";
    OutputPane& pane = Shown(QStringLiteral("find"), bytes);
    const QScrollBar* bar = pane.verticalScrollBar();
    const auto shows = [&](int line) {  // the match is selected and in sight
      const bool inSight = bar->value() <= line && line < bar->value() + bar->pageStep();
      return inSight && pane.SelectedText() == QStringLiteral("Needle");
    };
    QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
    auto* edit = pane.findChild<QLineEdit*>();  // the find bar's
    QVERIFY(edit->isVisible());
    QTest::keyClicks(edit, QStringLiteral("NEEDLE"));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(shows(5));
    QTest::keyClick(edit, Qt::Key_F3);
    QVERIFY(shows(2500));
    QTest::keyClick(&pane, Qt::Key_F3);
    QVERIFY(shows(5));
    QTest::keyClick(&pane, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(shows(2500));
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!edit->isVisible());
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bar->value(), bar->maximum());
  }

  // The scratch file is removed and made anew by the next run: the pane keeps showing and
  // saving the old output, every byte as it was in text and as the same text in RTF.
  void SavesAreExactEvenAfterTheOutputIsReplaced() {
    QByteArray bytes("first\r\n");
    for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);  // a CR alone, an LF alone
    bytes += "\r\nlast";
    OutputPane& pane = Shown(QStringLiteral("~0"), bytes);
    QVERIFY(QFile::remove(folder_.filePath(QStringLiteral("~0"))));
    Write(QStringLiteral("~0"), "a new output\r\n");
    QCOMPARE(pane.Text(), AsPaneText(bytes));
    const QString text = folder_.filePath(QStringLiteral("out.txt")), rtf = folder_.filePath(QStringLiteral("out.rtf"));
    QString error;
    QVERIFY(SaveOutput(*pane.File(), text, error) && SaveOutput(*pane.File(), rtf, error));
    QCOMPARE(ReadFile(text), bytes);
    QCOMPARE(QByteArray::fromStdString(RtfPlainText(ReadFile(rtf).toStdString())), QByteArray(bytes).replace("\r\n", "\n"));
  }

  // A write that fails part way (here at a file-size limit) leaves the old file as it was.
  void AFailedSaveLeavesTheOldFile() {
    const auto file = Shown(QStringLiteral("big"), QByteArray(100000, 'x')).File();
    QTemporaryDir target;
    const QString path = target.filePath(QStringLiteral("kept.rtf"));
    QString error;
    QVERIFY(SaveBytes(path, "old", error));
    rlimit before{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    const rlimit small{4096, before.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    const bool saved = SaveOutput(*file, path, error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY2(!saved && error.startsWith(QStringLiteral("Could not save ") + path), qPrintable(error));
    QCOMPARE(ReadFile(path), QByteArray("old"));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.rtf")});
  }

  // The code page, and the RTF writer and reader that saving and the copyright window use.
  void EveryByteDecodesAndEncodesBack() {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
    QCOMPARE(Decode1252(bytes)[0x80], QChar(0x20AC));  // the euro sign
    QCOMPARE(Encode1252(Decode1252(bytes)), bytes);
  }

  void RtfEscapesWhatItMust() {
    const std::string rtf = RtfDocument("a\\b{c}\t\xE9\r\nline 2\n", "Courier New", 10);
    QVERIFY(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"));
    QVERIFY(rtf.find("\\fs20 a\\\\b\\{c\\}\\tab \\'e9\\par\r\nline 2\\par\r\n") != std::string::npos);
    // UTF-8: α 中 😀 as UTF-16 units, signed; an invalid byte as U+FFFD.
    const std::string utf8 = RtfDocument("\xCE\xB1\xE4\xB8\xAD\xF0\x9F\x98\x80{\xFF\r\n", "Courier New", 10, TextEncoding::Utf8);
    QVERIFY(utf8.find("\\fs20 \\u945?\\u20013?\\u-10179?\\u-8704?\\{\\u-3?\\par\r\n") != std::string::npos);
  }

  // Written a byte at a time, so every line end may fall between two pieces.
  void RtfReadsBackWhatItWroteInPieces_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TextEncoding>("encoding");
    const auto cp1252 = TextEncoding::Windows1252;
    QTest::newRow("empty") << QByteArray() << cp1252;
    QTest::newRow("line ends") << QByteArray("one\r\ntwo\n\r\n\r\nfour\r\n") << cp1252;
    QTest::newRow("a CR alone") << QByteArray("a\rb\r\r\nc\r") << cp1252;
    QTest::newRow("specials") << QByteArray("\\par {braces} \\'41 tab\there \x80\xFF\x01") << cp1252;
    QTest::newRow("UTF-8") << QString::fromUtf8("\u03BA\u03CC\u03C3\u03BC\u03B5\r\n\u4E2D\u6587\t\U0001F600\r\u00E9\r\n").toUtf8()
                           << TextEncoding::Utf8;
  }
  void RtfReadsBackWhatItWroteInPieces() {
    QFETCH(QByteArray, text);
    QFETCH(TextEncoding, encoding);
    std::string document;
    RtfWriter writer("Courier New", 8.25, [&](std::string_view bytes) { return document.append(bytes), true; }, encoding);
    for (char c : text) QVERIFY(writer.Write(std::string_view(&c, 1)));
    QVERIFY(writer.Finish());
    QCOMPARE(document, RtfDocument(text.toStdString(), "Courier New", 8.25, encoding));
    QCOMPARE(QByteArray::fromStdString(RtfPlainText(document, encoding)), QByteArray(text).replace("\r\n", "\n"));
  }

  // Another program's document, and the copyright text the program ships.
  void RtfReaderSkipsTablesAndDestinations() {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255;}{\\*\\generator Writer;}"
        "{\\info{\\title T}}\\pard\\b Bold\\b0  text\\line next \\u8364?\\par}";
    QCOMPARE(RtfPlainText(rtf), std::string("Bold text\nnext ?\n"));  // no byte for U+20AC here
    const std::string text = RtfPlainText(ReadFile(QStringLiteral(WORDLOOM_SOURCE_DIR "/data/copyrigh.rtf")).toStdString());
    QVERIFY(text.find("Wordloom") != std::string::npos);
    QVERIFY(text.find('\\') == std::string::npos && text.find('{') == std::string::npos);
  }
};

WORDLOOM_APP_TEST(OutputPaneTest);

}  // namespace wordloom::app::test

#include "output_pane_test.moc"
