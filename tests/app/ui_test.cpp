// The code page, the RTF writer and reader, and the output pane's files.
#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <QTemporaryDir>
#include <QtTest>

#include "app_test.h"
#include "ui/code_page.h"
#include "ui/output_pane.h"
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
    QCOMPARE(text.size(), 256);
    QCOMPARE(text[0x80], QChar(0x20AC));  // the euro sign
    QCOMPARE(text[0xE9], QChar(0xE9));
    QCOMPARE(Encode1252(text), bytes);
    QCOMPARE(Encode1252(QStringLiteral("a\u4E2Db")), std::string("a?b"));
  }

  void RtfEscapesWhatItMust() {
    const std::string rtf = RtfDocument("a\\b{c}\t\xE9\r\nline 2\n", "Courier New", 10);
    QVERIFY(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}"));
    QVERIFY(rtf.find("\\fs20 a\\\\b\\{c\\}\\tab \\'e9\\par\r\nline 2\\par\r\n") != std::string::npos);
    QVERIFY(rtf.ends_with("}\r\n"));
  }

  void RtfReadsBackWhatItWrote_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one line") << QByteArray("the cat");
    QTest::newRow("line ends") << QByteArray("one\ntwo\n\nfour\n");
    QTest::newRow("specials") << QByteArray("\\par {braces} \\'41 tab\there \x80\xFF\x01");
    QTest::newRow("spaces after a control") << QByteArray("x\t  y\n  z");
  }
  void RtfReadsBackWhatItWrote() {
    QFETCH(QByteArray, text);
    QCOMPARE(QByteArray::fromStdString(RtfPlainText(RtfDocument(text.toStdString(), "Courier New", 8.25))), text);
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

  void APaneLoadsAndSavesItsText() {
    QTemporaryDir folder;
    const QString output = folder.filePath(QStringLiteral("~0"));
    QFile file(output);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("caf\xE9\r\n\tno\xA0" "break\r\n");
    file.close();
    OutputPane pane(QStringLiteral("RichTextBox1"));
    QString error;
    QVERIFY(pane.LoadPlainTextFile(output, error));
    QCOMPARE(pane.Text(), QStringLiteral("caf\u00E9\n\tno\u00A0break\n"));
    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    QVERIFY(pane.SavePlainText(saved, error));
    QFile savedFile(saved);
    QVERIFY(savedFile.open(QIODevice::ReadOnly));
    QCOMPARE(savedFile.readAll(), QByteArray("caf\xE9\r\n\tno\xA0" "break\r\n"));

    QVERIFY(!pane.LoadPlainTextFile(folder.filePath(QStringLiteral("missing")), error));
    QVERIFY(error.startsWith(QStringLiteral("Could not read ")));
    QCOMPARE(pane.toPlainText(), QString());
  }

  // A write that fails part way (here at a file-size limit) leaves the old file as it was.
  void AFailedSaveLeavesTheOldFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept.rtf"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    rlimit before{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    rlimit small = before;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    QString error;
    const bool saved = SaveBytes(path, std::string(100000, 'x'), error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(!saved);
    QVERIFY2(error.startsWith(QStringLiteral("Could not save ") + path), qPrintable(error));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.rtf")});
  }
};

WORDLOOM_APP_TEST(UiTest);

}  // namespace wordloom::app::test

#include "ui_test.moc"
