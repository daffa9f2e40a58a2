// The code page, and the RTF writer and reader.
#include <QFile>
#include <QtTest>

#include "app_test.h"
#include "ui/code_page.h"
#include "ui/rtf.h"

namespace wordloom::app::test {

class UiTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { VerifyNoWindowLeft(); }

  void EveryByteDecodesAndEncodesBack() {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
    const QString text = Decode1252(bytes);
    QCOMPARE(text[0x80], QChar(0x20AC));  // the euro sign
    QCOMPARE(Encode1252(text), bytes);
    QCOMPARE(Encode1252(QStringLiteral("a\u4E2Db")), std::string("a?b"));
  }

  void RtfEscapesWhatItMust() {
    const std::string rtf = RtfDocument("a\\b{c}\t\xE9\r\nline 2\n", "Courier New", 10);
    QVERIFY(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"));
    QVERIFY(rtf.find("\\fs20 a\\\\b\\{c\\}\\tab \\'e9\\par\r\nline 2\\par\r\n") != std::string::npos);
  }

  // Written a byte at a time, so every line end may fall between two pieces.
  void RtfReadsBackWhatItWroteInPieces_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("line ends") << QByteArray("one\r\ntwo\n\r\n\r\nfour\r\n");
    QTest::newRow("a CR alone") << QByteArray("a\rb\r\r\nc\r");
    QTest::newRow("specials") << QByteArray("\\par {braces} \\'41 tab\there \x80\xFF\x01");
  }
  void RtfReadsBackWhatItWroteInPieces() {
    QFETCH(QByteArray, text);
    std::string document;
    RtfWriter writer("Courier New", 8.25, [&](std::string_view bytes) { return document.append(bytes), true; });
    for (char c : text) QVERIFY(writer.Write(std::string_view(&c, 1)));
    QVERIFY(writer.Finish());
    QCOMPARE(document, RtfDocument(text.toStdString(), "Courier New", 8.25));
    QCOMPARE(QByteArray::fromStdString(RtfPlainText(document)), QByteArray(text).replace("\r\n", "\n"));
  }

  void RtfReaderSkipsTablesAndDestinations() {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255;}{\\*\\generator Writer;}"
        "{\\info{\\title T}}\\pard\\b Bold\\b0  text\\line next \\u8364?\\par}";
    QCOMPARE(RtfPlainText(rtf), std::string("Bold text\nnext ?\n"));  // no byte for U+20AC here
  }

  void TheShippedCopyrightTextReads() {
    QFile file(QStringLiteral(WORDLOOM_SOURCE_DIR "/data/copyrigh.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::string text = RtfPlainText(file.readAll().toStdString());
    QVERIFY(text.find("Wordloom") != std::string::npos);
    QVERIFY(text.find('\\') == std::string::npos && text.find('{') == std::string::npos);
  }
};

WORDLOOM_APP_TEST(UiTest);

}  // namespace wordloom::app::test

#include "ui_test.moc"
