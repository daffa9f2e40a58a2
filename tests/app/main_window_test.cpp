// The main window driven through its controls, its outputs compared with wordloom-cli's.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "app_test.h"
#include "ui/rtf.h"
#include "window_fixture.h"

namespace wordloom::app::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  QString samples = SamplePath(QStringLiteral("samples.wlm"));

  QString Label(const char* name) const { return f->Find<QLabel>(name)->text(); }
  QString Box(const char* name) const { return f->Find<QLineEdit>(name)->text(); }
  QByteArray Cli(QStringList arguments, QByteArray* errors = nullptr) {
    arguments << QStringLiteral("--temp") << f->Path(QStringLiteral("cli"));
    return RunCli(arguments, errors);
  }
  // The counts line: the last line the tool writes to its errors.
  static QString LastLine(const QByteArray& errors) {
    return QString::fromLatin1(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts).last();
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->prompts.unexpected.isEmpty(), qPrintable(f->prompts.unexpected.join(", ")));
    f.reset();
  }

  void BeforeAProjectThePagesAndOutputsWait() {
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Wordloom - 3.2"));
    QVERIFY(!f->Find<QTabWidget>("SSTab1")->isEnabled());
    QVERIFY(!f->Find<QAction>("mnuFileSave")->isEnabled());
    QVERIFY(!f->Find<QAction>("mnuFilePrint")->isEnabled());
  }

  void OpeningTheSampleProjectShowsItsState() {
    f->Open(samples);
    const QStringList info = QString::fromLatin1(Cli({QStringLiteral("info"), samples})).split(QLatin1Char('\n'));
    QCOMPARE(Label("Panel1"), samples);
    QCOMPARE(Label("Panel2"), info[0]);
    QCOMPARE(Label("Panel3"), info[1]);
    QCOMPARE(Box("Text2"), info[2]);
    QCOMPARE(Box("Text7"), info[3]);
    QVERIFY(f->Find<QTabWidget>("SSTab1")->isEnabled());
    QCOMPARE(f->Find<QTabWidget>("SSTab1")->currentIndex(), 0);
    QVERIFY(f->Find<QAction>("mnuFileSave")->isEnabled());
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Wlm projects (*.wlm)|*.wlm|Text files (*.txt)|*.txt"));
    QVERIFY(f->Find<QAction>("mnuFileMRU1")->text().endsWith(samples));
  }

  void AForeignFileChangesNothing() {
    f->Open(samples);
    const QString foreign = f->Path(QStringLiteral("notes.wlm"));
    QFile file(foreign);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just some notes\r\n");
    file.close();
    f->Open(foreign);
    QCOMPARE(f->prompts.messages.last(), foreign + QStringLiteral(" is not a Wordloom project file."));
    QCOMPARE(Label("Panel1"), samples);
    QVERIFY(!f->session.lists.Vocabulary.empty());
  }

  void KwicAndLineShowWhatTheEngineWrites_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("cite");
    QTest::addColumn<QStringList>("cliArguments");
    QTest::newRow("kwic") << "Command5" << "lantern the" << "Option3" << 0 << ""
                          << QStringList{"kwic", "--keys", "lantern the"};
    QTest::newRow("kwic prefix, right context, cited") << "Command5" << "lan" << "Option1" << 2 << "al"
                                                       << QStringList{"kwic", "--keys", "lan", "--match", "prefix",
                                                                      "--order", "right", "--cite", "AL"};
    QTest::newRow("line index") << "Command2" << "harbour" << "Option4" << 1 << "L"
                                << QStringList{"line", "--keys", "harbour", "--match", "anywhere", "--order", "left",
                                               "--index", "--cite", "L"};
  }
  void KwicAndLineShowWhatTheEngineWrites() {
    QFETCH(QString, button);
    QFETCH(QString, keys);
    QFETCH(QString, option);
    QFETCH(int, order);
    QFETCH(QString, cite);
    QFETCH(QStringList, cliArguments);
    f->Open(samples);
    f->Find<QLineEdit>("Text1")->setText(keys);
    f->Find<QRadioButton>(option.toLatin1())->setChecked(true);
    f->Find<QComboBox>("Combo3")->setCurrentIndex(order);
    f->Find<QLineEdit>("Text7")->clear();
    QTest::keyClicks(f->Find<QLineEdit>("Text7"), cite + QStringLiteral("1-"));  // only letters are taken
    QCOMPARE(Box("Text7"), cite.toUpper());
    const bool index = cliArguments.contains(QStringLiteral("--index"));
    f->Find<QRadioButton>(index ? "Option6" : "Option5")->setChecked(true);
    f->Click(button.toLatin1());

    QByteArray errors;
    const QByteArray expected = Cli(QStringList{cliArguments[0], samples} + cliArguments.mid(1), &errors);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f->Pane("RichTextBox1"), AsPaneText(expected));
    QCOMPARE(Box("Text6"), LastLine(errors));
    QCOMPARE(Label("Panel1"), samples);
  }

  void AnEmptyKeysBoxLeavesThePaneAsItWas() {
    f->Open(samples);
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("lantern"));
    f->Click("Command5");
    const QString shown = f->Pane("RichTextBox1");
    QVERIFY(!shown.isEmpty());
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("   "));
    f->Click("Command5");
    QCOMPARE(f->Pane("RichTextBox1"), QString());  // keys of only spaces: a run with no keys
    QCOMPARE(Box("Text6"), QStringLiteral(" 0 keys, 0 citations"));
    f->Find<QLineEdit>("Text1")->clear();
    f->Find<QLineEdit>("Text6")->setText(QStringLiteral("kept"));
    f->Click("Command5");
    QCOMPARE(Box("Text6"), QStringLiteral("kept"));
  }

  void WordListShowsWhatTheEngineWrites_data() {
    QTest::addColumn<int>("order");
    QTest::addColumn<bool>("rhyme");
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("frequencies");
    QTest::addColumn<QStringList>("cliArguments");
    QTest::newRow("columns left") << 0 << false << 0 << false << QStringList{"--layout", "left"};
    QTest::newRow("frequency, right, with frequencies")
        << 3 << false << 1 << true << QStringList{"--order", "4", "--layout", "right", "--freq"};
    QTest::newRow("rhyme, packed") << 1 << true << 2 << false << QStringList{"--order", "2", "--rhyme", "--layout", "packed"};
    QTest::newRow("length, one column") << 5 << false << 3 << true
                                        << QStringList{"--order", "6", "--layout", "column", "--freq"};
  }
  void WordListShowsWhatTheEngineWrites() {
    QFETCH(int, order);
    QFETCH(bool, rhyme);
    QFETCH(int, layout);
    QFETCH(bool, frequencies);
    QFETCH(QStringList, cliArguments);
    f->Open(samples);
    f->Find<QComboBox>("Combo2")->setCurrentIndex(order);
    f->Find<QCheckBox>("Check2")->setChecked(rhyme);
    f->Find<QComboBox>("Combo1")->setCurrentIndex(layout);
    f->Find<QCheckBox>("Check1")->setChecked(frequencies);
    f->Click("Command6");
    QByteArray errors;
    const QByteArray expected = Cli(QStringList{"wordlist", samples} + cliArguments, &errors);
    QCOMPARE(f->Pane("RichTextBox2"), AsPaneText(expected));
    QCOMPARE(Box("Text5"), LastLine(errors));
    QCOMPARE(Label("Panel1"), Label("Panel2"));  // the title
  }

  void ProfileShowsWhatTheEngineWrites() {
    f->Open(samples);
    f->Click("Command3");
    QByteArray errors;
    const QByteArray statistics = Cli({QStringLiteral("profile"), samples}, &errors);
    const QByteArray spectrum = Cli({QStringLiteral("profile"), samples, QStringLiteral("--spectrum")});
    QCOMPARE(f->Pane("RichTextBox4"), AsPaneText(statistics));
    QCOMPARE(f->Pane("RichTextBox3"), AsPaneText(spectrum));
    QCOMPARE(Box("Text11"), LastLine(errors));
  }
};

WORDLOOM_APP_TEST(MainWindowTest);

}  // namespace wordloom::app::test

#include "main_window_test.moc"
