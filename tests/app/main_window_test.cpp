// The main window driven through its controls, its outputs compared with wordloom-cli's.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QPlainTextEdit>
#include <QSettings>
#include <unistd.h>

#include "app_test.h"
#include "ui/rtf.h"
#include "window_fixture.h"

namespace wordloom::app::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  QString samples = SamplePath(QStringLiteral("samples.wlm"));

  QString Box(const char* name) const { return f->Find<QLineEdit>(name)->text(); }
  // A text of 300000 lines with three "the" in each, long enough to stop or close a run.
  QString WriteLongText() {
    const QString text = f->Path(QStringLiteral("long.txt"));
    QFile file(text);
    if (file.open(QIODevice::WriteOnly)) {
      for (int line = 0; line < 300000; ++line) file.write("the cat sat on the mat by the door\r\n");
    }
    return text;
  }
  // The counts line: the last line the tool writes to its errors.
  static QString LastLine(const QByteArray& errors) {
    return QString::fromLatin1(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts).last();
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    const QStringList unexpected = f->prompts.unexpected;
    f.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(", ")));
    VerifyNoWindowLeft();
  }

  void BeforeAProjectThePagesAndOutputsWait() {
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Wordloom - 3.2"));
    QVERIFY(!f->Find<QTabWidget>("SSTab1")->isEnabled());
    QVERIFY(!f->Find<QAction>("mnuFileSave")->isEnabled());
    QVERIFY(!f->Find<QAction>("mnuFilePrint")->isEnabled());
  }

  void OpeningTheSampleProjectShowsItsState() {
    f->Open(samples);
    const QStringList info = QString::fromLatin1(f->Cli({QStringLiteral("info"), samples})).split(QLatin1Char('\n'));
    QCOMPARE(f->Label("Panel1"), samples);
    QCOMPARE(f->Label("Panel2"), info[0]);
    QCOMPARE(f->Label("Panel3"), info[1]);
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
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("lantern"));
    f->Click("Command5");
    const QString shown = f->Pane("RichTextBox1");
    const QString foreign = f->Path(QStringLiteral("notes.wlm"));
    QFile file(foreign);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just some notes\r\n");
    file.close();
    f->Open(foreign);
    QCOMPARE(f->prompts.messages.last(), foreign + QStringLiteral(" is not a Wordloom project file."));
    QCOMPARE(f->Label("Panel1"), samples);
    QVERIFY(!f->session.lists.Vocabulary.empty());
    QCOMPARE(f->Pane("RichTextBox1"), shown);
    QCOMPARE(Box("Text6"), QStringLiteral(" 1 key, 4 citations"));
  }

  void TheContextWidthOfTheOptionsReachesTheRun() {
    f->Trigger("mnuViewOptions");
    auto* options = f->window->findChild<QDialog*>(QStringLiteral("frmOptions"));
    options->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("41"));
    QTest::mouseClick(options->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    f->Open(samples);
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("lantern"));
    f->Click("Command5");
    QCOMPARE(f->Pane("RichTextBox1"),
             AsPaneText(f->Cli({QStringLiteral("kwic"), samples, QStringLiteral("--keys"), QStringLiteral("lantern"),
                             QStringLiteral("--context"), QStringLiteral("41"), QStringLiteral("--cite"),
                             QStringLiteral("ALS")})));
  }

  void AnUnreadableTextIsReportedAfterARun() {
    QVERIFY(QFile::copy(SamplePath(QStringLiteral("harbour.txt")), f->Path(QStringLiteral("harbour.txt"))));
    QVERIFY(QFile::copy(SamplePath(QStringLiteral("orchard.txt")), f->Path(QStringLiteral("orchard.txt"))));
    const QString project = f->Path(QStringLiteral("two.wlm"));
    f->Cli({QStringLiteral("new"), project, f->Path(QStringLiteral("harbour.txt")),
            f->Path(QStringLiteral("orchard.txt"))});
    QVERIFY(QFile::remove(f->Path(QStringLiteral("orchard.txt"))));
    f->Open(project);
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("the"));
    f->Click("Command5");
    auto* report = f->window->findChild<QWidget*>(QStringLiteral("Form6"));
    QVERIFY(report && report->isVisible());
    QVERIFY(report->findChild<QPlainTextEdit*>()->toPlainText().contains(f->Path(QStringLiteral("orchard.txt"))));
  }

  void AFailedOpenOfATextFileKeepsTheProject() {
    f->Open(samples);
    QFile blocker(f->Path(QStringLiteral("scratch")));  // the scratch folder cannot be made
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f->OpenText(SamplePath(QStringLiteral("harbour.txt")));
    QVERIFY(f->prompts.messages.last().contains(QStringLiteral("is not a folder")));
    QVERIFY(f->window->findChild<QDialog*>(QStringLiteral("Form1"))->isVisible());  // still open for another try
    QCOMPARE(f->session.project.Files.size(), size_t(3));
    QCOMPARE(f->Label("Panel1"), samples);
    QVERIFY(f->Find<QAction>("mnuFileOpen")->isEnabled());
  }

  void ATextFileWithoutANameBeforeItsDotIsNamedInFull() {
    const QString text = f->Path(QStringLiteral(".caf\u00E9.txt"));
    QVERIFY(QFile::copy(SamplePath(QStringLiteral("harbour.txt")), text));
    f->prompts.answers.enqueue(false);
    f->OpenText(text);
    QCOMPARE(f->Label("Panel2"), QStringLiteral(".caf\u00E9.txt"));
    QCOMPARE(f->session.project.Title, std::string(".caf\xE9.txt"));  // in the texts' code page
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
    const QByteArray expected = f->Cli(QStringList{cliArguments[0], samples} + cliArguments.mid(1), &errors);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f->Pane("RichTextBox1"), AsPaneText(expected));
    QCOMPARE(Box("Text6"), LastLine(errors));
    QCOMPARE(f->Label("Panel1"), samples);
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
    const QByteArray expected = f->Cli(QStringList{"wordlist", samples} + cliArguments, &errors);
    QCOMPARE(f->Pane("RichTextBox2"), AsPaneText(expected));
    QCOMPARE(Box("Text5"), LastLine(errors));
    QCOMPARE(f->Label("Panel1"), f->Label("Panel2"));  // the title
  }

  void ProfileShowsWhatTheEngineWrites() {
    f->Open(samples);
    f->Click("Command3");
    QByteArray errors;
    const QByteArray statistics = f->Cli({QStringLiteral("profile"), samples}, &errors);
    const QByteArray spectrum = f->Cli({QStringLiteral("profile"), samples, QStringLiteral("--spectrum")});
    QCOMPARE(f->Pane("RichTextBox4"), AsPaneText(statistics));
    QCOMPARE(f->Pane("RichTextBox3"), AsPaneText(spectrum));
    QCOMPARE(Box("Text11"), LastLine(errors));
  }

  void StopEndsARunAndTheRunBlocksOtherPasses() {
    const QString text = WriteLongText();
    const QString project = f->Path(QStringLiteral("long.wlm"));
    f->Cli({QStringLiteral("new"), project, text});
    f->Open(project);
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("the"));

    bool sawRunning = false;
    bool othersOff = true;
    // Stop is pressed as the run starts.
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      auto* stop = f->Find<QPushButton>("Command4");
      if (!busy || !stop->isEnabled()) return;
      sawRunning = true;
      for (const char* button : {"Command5", "Command2", "Command6", "Command3", "Command9"}) {
        othersOff = othersOff && !f->Find<QPushButton>(button)->isEnabled();
      }
      for (const char* action : {"mnuFileOpen", "mnuFileNew", "mnuViewOptions", "mnuFilePrint", "mnuFileMRU1"}) {
        othersOff = othersOff && !f->Find<QAction>(action)->isEnabled();
      }
      stop->click();
    });
    f->Click("Command5");
    QVERIFY(sawRunning);
    QVERIFY(othersOff);
    QVERIFY(f->Find<QPushButton>("Command5")->isEnabled());
    QVERIFY(!f->Find<QPushButton>("Command4")->isEnabled());
    const QString counts = Box("Text6");
    QVERIFY2(counts.startsWith(QStringLiteral(" 1 key, ")), qPrintable(counts));
    QVERIFY2(counts != QStringLiteral(" 1 key, 900000 citations"), "the run went to the end");
    // The key's own line comes first, when there is a citation.
    const qsizetype lines = std::max<qsizetype>(0, f->Pane("RichTextBox1").count(QLatin1Char('\n')) - 1);
    QCOMPARE(QStringLiteral(" 1 key, %1 citation%2").arg(lines).arg(lines == 1 ? "" : "s"), counts);
  }

  void ATextFileOpensAsANewProject() {
    const QString text = f->Path(QStringLiteral("Notes.v2.TXT"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<L 7> a cat sat\r\n<Bbroken tag\r\nthe end\r\n");
    file.close();
    f->prompts.answers.enqueue(false);  // do not save it
    f->OpenText(text);
    QCOMPARE(f->Label("Panel2"), QStringLiteral("Notes"));
    QCOMPARE(f->Label("Panel1"), text);  // the extension is not exactly ".txt"
    QByteArray errors;
    const QStringList info =
        QString::fromLatin1(f->Cli({QStringLiteral("info"), text}, &errors)).split(QLatin1Char('\n'));
    QCOMPARE(f->Label("Panel3"), info[1]);
    QCOMPARE(Box("Text2"), info[2]);
    // "No" empties the New Project dialog's file name; the current project keeps its copy.
    QVERIFY(f->session.newProject.FileName.empty());
    QCOMPARE(f->session.project.FileName, std::string("Notes"));
  }

  void ATextFileSavedAsAProject() {
    const QString text = SamplePath(QStringLiteral("harbour.txt"));
    const QString project = f->Path(QStringLiteral("harbour.wlm"));
    f->prompts.answers.enqueue(true);
    f->prompts.fileNames << text << project;
    f->Trigger("mnuFileOpen");
    f->Click("Form1", "Command3");
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Wlm projects (*.wlm)|*.wlm"));
    QVERIFY(QFile::exists(project));
    QCOMPARE(f->Label("Panel1"), SamplePath(QStringLiteral("harbour.wlm")));
    const QStringList saved = QString::fromLatin1(f->Cli({QStringLiteral("info"), project})).split(QLatin1Char('\n'));
    QCOMPARE(f->Label("Panel3"), saved[1]);
  }

  void ClosingDuringARunStopsItFirst() {
    const QString text = WriteLongText();
    f->prompts.answers.enqueue(false);
    f->OpenText(text);
    f->window->show();
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("the"));
    // Closing as the run starts.
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (busy) f->window->close();
    });
    f->Click("Command5");
    QTRY_VERIFY(!f->window->isVisible());
    const QString counts = Box("Text6");
    QVERIFY2(counts.startsWith(QStringLiteral(" 1 key, ")) && counts != QStringLiteral(" 1 key, 900000 citations"),
             qPrintable(counts));
    QSettings store(f->SettingsPath(), QSettings::NativeFormat);
    QCOMPARE(store.value(QStringLiteral("Settings/Context")).toString(), QStringLiteral("60"));
  }

  void ClosingDuringAScanWaitsForIt() {
    const QString text = WriteLongText();
    f->window->show();
    bool stopOff = true;
    int closes = 0;
    // Closing as the scan starts: the window waits for the scan, then closes.
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (!busy) return;
      stopOff = !f->Find<QPushButton>("Command4")->isEnabled();  // a scan cannot be stopped
      ++closes;
      f->window->close();
      QVERIFY(f->window->isVisible());
    });
    f->prompts.fileNames.enqueue(text);
    f->Trigger("mnuFileOpen");
    f->Click("Form1", "Command3");  // no question about saving: the window is closing
    QCOMPARE(closes, 1);
    QVERIFY(stopOff);
    QTRY_VERIFY(!f->window->isVisible());
    QCOMPARE(f->session.totals.tokenCount, int64_t(300000 * 9));
  }

  void SavingPanes() {
    f->Open(samples);
    f->Find<QComboBox>("Combo1")->setCurrentIndex(3);  // "One Column": every line ends with CR LF
    f->Find<QCheckBox>("Check1")->setChecked(true);
    f->Click("Command6");
    f->Find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QCOMPARE(f->window->PaneCode(), 1);

    const QString text = f->Path(QStringLiteral("list.txt"));
    f->prompts.fileNames.enqueue(text);
    f->Trigger("mnuFileSave");
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Text files(*.txt)|*.txt|Rtf files(*.rtf)|*.rtf"));
    QFile saved(text);
    QFile output(f->window->RunFolderPath() + QStringLiteral("/~1"));
    QVERIFY(saved.open(QIODevice::ReadOnly) && output.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), output.readAll());

    const QString upper = f->Path(QStringLiteral("LIST.TXT"));  // the test of ".txt" minds case
    f->prompts.fileNames.enqueue(upper);
    f->Trigger("mnuFileSaveAs");
    QFile rtf(upper);
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    const QByteArray document = rtf.readAll();
    QVERIFY(document.startsWith("{\\rtf1"));
    QCOMPARE(AsPaneText(QByteArray::fromStdString(RtfPlainText(document.toStdString()))), f->Pane("RichTextBox2"));

    f->prompts.fileNames.enqueue(QString());  // Cancel: nothing written, nothing said
    f->Trigger("mnuFileSave");
    QVERIFY(f->prompts.messages.isEmpty());

    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("lantern"));
    f->Click("Command5");
    f->Find<QTabWidget>("SSTab1")->setCurrentIndex(0);
    const QString concordance = f->Path(QStringLiteral("concordance.rtf"));
    f->prompts.fileNames.enqueue(concordance);
    f->Trigger("mnuFileSave");
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Rtf files(*.rtf)|*.rtf"));
    QFile concordanceFile(concordance);
    QVERIFY(concordanceFile.open(QIODevice::ReadOnly));
    QCOMPARE(AsPaneText(QByteArray::fromStdString(RtfPlainText(concordanceFile.readAll().toStdString()))),
             f->Pane("RichTextBox1"));

    f->prompts.fileNames.enqueue(f->Path(QStringLiteral("no such folder/x.rtf")));
    f->Trigger("mnuFileSave");
    QVERIFY(f->prompts.messages.last().startsWith(QStringLiteral("Could not save ")));
  }

  void ARunOfTheToolBetweenAKwicAndItsPreviewLeavesTheWindowsOutput() {
    f->Open(samples);
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("lantern"));
    f->Click("Command5");
    const QString output = f->window->RunFolderPath() + QStringLiteral("/~0");
    QFile before(output);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray shown = before.readAll();
    before.close();
    // The tool, in the same scratch folder, makes another concordance meanwhile.
    const QByteArray other = RunCli({QStringLiteral("kwic"), samples, QStringLiteral("--keys"), QStringLiteral("the"),
                                        QStringLiteral("--temp"), f->window->ScratchFolderPath()});
    QVERIFY(!other.isEmpty() && other != shown);
    f->prompts.pdfPath = f->Path(QStringLiteral("preview.pdf"));
    f->Trigger("mnuFilePrintPreview");
    QVERIFY(f->prompts.messages.isEmpty());
    QFile after(output);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), shown);
    QCOMPARE(AsPaneText(shown), f->Pane("RichTextBox1"));
  }

  void PrintingTheStatisticsPaneToAPdfFile() {
    f->Open(samples);
    f->prompts.pdfPath = f->Path(QStringLiteral("nothing.pdf"));
    f->Trigger("mnuFilePrint");  // no output on the page yet
    QCOMPARE(f->prompts.messages.takeLast(), QStringLiteral("There is no output on this page to print yet."));
    QVERIFY(!QFile::exists(f->prompts.pdfPath));
    f->Click("Command3");
    f->Find<QTabWidget>("SSTab1")->setCurrentIndex(2);
    f->Find<QTabWidget>("SSTab2")->setCurrentIndex(1);
    QCOMPARE(f->window->PaneCode(), 21);
    f->prompts.pdfPath = f->Path(QStringLiteral("statistics.pdf"));
    f->Trigger("mnuFilePrint");
    QFile pdf(f->prompts.pdfPath);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(4) == "%PDF");

    f->prompts.pdfPath = f->Path(QStringLiteral("preview.pdf"));
    f->Trigger("mnuFilePrintPreview");
    QCOMPARE(f->prompts.previews, 1);
    QVERIFY(QFile::exists(f->prompts.pdfPath));
    QVERIFY(f->prompts.messages.isEmpty());

    // Printing reads the output file of the pane on show, not another one.
    const QString statistics = f->window->RunFolderPath() + QStringLiteral("/~3");
    QVERIFY(statistics.startsWith(f->Path(QStringLiteral("scratch/wordloom-run-"))));
    QVERIFY(QFile::remove(statistics));
    f->Trigger("mnuFilePrint");
    QVERIFY(f->prompts.messages.last().startsWith(QStringLiteral("Could not read ") + statistics));
    f->Find<QTabWidget>("SSTab2")->setCurrentIndex(0);
    f->prompts.messages.clear();
    f->Trigger("mnuFilePrint");
    QVERIFY(f->prompts.messages.isEmpty());
  }

  void ThePrivateScratchFolderMustBeTheUsersOwn() {
    f.reset();
    f = std::make_unique<WindowFixture>(true);
    QCOMPARE(f->window->TempDir(), QString());
    const QString folder = f->window->ScratchFolderPath();
    QCOMPARE(folder, f->Path(QStringLiteral("wordloom-%1").arg(::geteuid())));
    f->Open(samples);
    f->Find<QLineEdit>("Text1")->setText(QStringLiteral("lantern"));
    if (::geteuid() == 0) {
      QVERIFY(QDir().mkdir(folder));
      QVERIFY(::chown(folder.toLocal8Bit().constData(), 65534, 65534) == 0);
      f->Click("Command5");
      QVERIFY(f->prompts.messages.last().endsWith(QStringLiteral("belongs to another user.")));
      QVERIFY(::chown(folder.toLocal8Bit().constData(), 0, 0) == 0);
      f->prompts.messages.clear();
    }
    f->Click("Command5");
    QVERIFY(f->prompts.messages.isEmpty());
    QVERIFY(f->window->RunFolderPath().startsWith(folder + QStringLiteral("/wordloom-run-")));
    QVERIFY(QFile::exists(f->window->RunFolderPath() + QStringLiteral("/~0")));
    // The window's folder goes with the window.
    const QString run = f->window->RunFolderPath();
    f->window->close();
    f->window.reset();
    QVERIFY(!QFileInfo::exists(run));
    QVERIFY(QFileInfo::exists(folder));
  }

  void EditCommandsActOnTheFocusedBox() {
    f->window->show();
    QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
    auto* keys = f->Find<QLineEdit>("Text1");
    f->Open(samples);
    keys->setFocus();
    QTest::keyClicks(keys, QStringLiteral("lantern"));
    keys->selectAll();
    f->Trigger("mnuEditCut");
    QCOMPARE(keys->text(), QString());
    f->Trigger("mnuEditPaste");
    f->Trigger("mnuEditPaste");
    QCOMPARE(keys->text(), QStringLiteral("lanternlantern"));
    f->Trigger("mnuEditUndo");
    QCOMPARE(keys->text(), QStringLiteral("lantern"));
  }
};

WORDLOOM_APP_TEST(MainWindowTest);

}  // namespace wordloom::app::test

#include "main_window_test.moc"
