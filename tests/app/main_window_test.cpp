// The main window driven through its controls, its outputs compared with wordloom-cli's.
#include <unistd.h>

#include "app_test.h"
#include "lists/keywords_dialog_names.h"
#include "project/project_dialog_names.h"
#include "shell/main_window_names.h"
#include "shell/options_dialog_names.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;

// The controls of a run, and the same run as wordloom-cli's arguments.
struct ConcordanceCase { QString context; const char* button; QString keys; const char* match; int order; QString cite;
                         bool index; QStringList cli; };
struct WordListCase { int order; bool rhyme; int layout; bool frequencies; QStringList cli; };

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samples = SamplePath(QStringLiteral("samples.wlm"));
  const QByteArray firstRecent = QByteArray(names::kRecentProjectPrefix) + '1';

  QString Box(const char* name) const { return f->Find<QLineEdit>(name)->text(); }
  void Kwic(const QString& keys) {
    f->Find<QLineEdit>(names::kKeys)->setText(keys);
    f->Click(names::kKwic);
  }
  // A project of 300000 lines with three "the" in each, long enough to stop or close a run.
  QString WriteLongProject() {
    QByteArray text;
    for (int line = 0; line < 300000; ++line) text += "the cat sat on the mat by the door\r\n";
    const QString project = f->Path(QStringLiteral("long.wlm"));
    f->Cli({QStringLiteral("new"), project, WriteFile(f->Path(QStringLiteral("long.txt")), text)});
    return project;
  }
  // The counts line: the last line the tool writes to its errors.
  static QString LastLine(const QByteArray& errors) {
    return QString::fromLatin1(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts).last();
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  // A project file shows its state; a foreign file then changes nothing.
  void OpeningAProjectShowsItsStateAndAForeignFileChangesNothing() {
    QVERIFY(!f->Find<QTabWidget>(names::kPages)->isEnabled() && !f->Find<QAction>(names::kSave)->isEnabled());
    f->Open(samples);
    f->VerifyShowsProject(samples);
    QVERIFY(f->Find<QTabWidget>(names::kPages)->isEnabled() && f->Find<QAction>(names::kSave)->isEnabled());
    QVERIFY(f->Find<QAction>(firstRecent.constData())->text().endsWith(samples));
    Kwic(QStringLiteral("lantern"));
    const QString shown = f->Pane(names::kConcordancePane);
    const QString foreign = WriteFile(f->Path(QStringLiteral("notes.wlm")), "just some notes\r\n");
    f->Open(foreign);
    QCOMPARE(f->prompts.messages.last(), foreign + QStringLiteral(" is not a Wordloom project file."));
    QCOMPARE(f->Label(names::kPathPanel), samples);
    QCOMPARE(f->Pane(names::kConcordancePane), shown);
  }

  // A `context` width is typed into the Options dialog first; cite letters come with "1-".
  void KwicAndLineShowWhatTheEngineWrites_data() {
    QTest::addColumn<ConcordanceCase>("c");
    QTest::newRow("kwic") << ConcordanceCase{"", names::kKwic, "lantern the", names::kMatchWord, 0, "", false,
                                             {"kwic", "--keys", "lantern the"}};
    QTest::newRow("kwic prefix, right context, cited, width of the options")
        << ConcordanceCase{"41", names::kKwic, "lan", names::kMatchPrefix, 2, "al", false,
                           {"kwic", "--keys", "lan", "--match", "prefix", "--order", "right", "--cite", "AL",
                            "--context", "41"}};
    QTest::newRow("line index") << ConcordanceCase{"", names::kLine, "harbour", names::kMatchAnywhere, 1, "L", true,
                                                   {"line", "--keys", "harbour", "--match", "anywhere", "--order", "left",
                                                    "--index", "--cite", "L"}};
  }
  void KwicAndLineShowWhatTheEngineWrites() {
    QFETCH(ConcordanceCase, c);
    if (!c.context.isEmpty()) {
      namespace options = options_dialog_names;
      f->Trigger(names::kViewOptions);
      f->FindIn<QLineEdit>(options::kDialog, options::kContext)->setText(c.context);
      f->Click(options::kDialog, options::kOk);
    }
    f->Open(samples);
    f->Find<QLineEdit>(names::kKeys)->setText(c.keys);
    f->Find<QRadioButton>(c.match)->setChecked(true);
    f->Find<QComboBox>(names::kCitationOrder)->setCurrentIndex(c.order);
    f->Find<QLineEdit>(names::kCitationLetters)->clear();
    QTest::keyClicks(f->Find<QLineEdit>(names::kCitationLetters), c.cite + QStringLiteral("1-"));
    f->Find<QRadioButton>(c.index ? names::kIndexOutput : names::kConcordanceOutput)->setChecked(true);
    f->Click(c.button);
    QByteArray errors;
    const QByteArray expected = f->Cli(QStringList{c.cli[0], samples} + c.cli.mid(1), &errors);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f->Pane(names::kConcordancePane), AsPaneText(expected));
    QCOMPARE(Box(names::kConcordanceCounts), LastLine(errors));
    QCOMPARE(f->Label(names::kPathPanel), samples);
  }

  void WordListShowsWhatTheEngineWrites_data() {
    QTest::addColumn<WordListCase>("c");
    QTest::newRow("columns left") << WordListCase{0, false, 0, false, {"--layout", "left"}};
    QTest::newRow("frequency, right, with frequencies")
        << WordListCase{3, false, 1, true, {"--order", "4", "--layout", "right", "--freq"}};
    QTest::newRow("rhyme, packed") << WordListCase{1, true, 2, false, {"--order", "2", "--rhyme", "--layout", "packed"}};
    QTest::newRow("length, one column") << WordListCase{5, false, 3, true, {"--order", "6", "--layout", "column", "--freq"}};
  }
  void WordListShowsWhatTheEngineWrites() {
    QFETCH(WordListCase, c);
    f->Open(samples);
    f->Find<QComboBox>(names::kListOrder)->setCurrentIndex(c.order);
    f->Find<QCheckBox>(names::kRhyme)->setChecked(c.rhyme);
    f->Find<QComboBox>(names::kLayout)->setCurrentIndex(c.layout);
    f->Find<QCheckBox>(names::kFrequencies)->setChecked(c.frequencies);
    f->Click(names::kWordList);
    QByteArray errors;
    const QByteArray expected = f->Cli(QStringList{"wordlist", samples} + c.cli, &errors);
    QCOMPARE(f->Pane(names::kWordListPane), AsPaneText(expected));
    QCOMPARE(Box(names::kWordListCount), LastLine(errors));
  }

  void ProfileShowsWhatTheEngineWrites() {
    f->Open(samples);
    f->Click(names::kProfile);
    QByteArray errors;
    const QByteArray statistics = f->Cli({QStringLiteral("profile"), samples}, &errors);
    const QByteArray spectrum = f->Cli({QStringLiteral("profile"), samples, QStringLiteral("--spectrum")});
    QCOMPARE(f->Pane(names::kStatisticsPane), AsPaneText(statistics));
    QCOMPARE(f->Pane(names::kSpectrumPane), AsPaneText(spectrum));
    QCOMPARE(Box(names::kProfileTitle), LastLine(errors));
  }

  void StopEndsARunAndTheRunBlocksOtherPasses() {
    f->Open(WriteLongProject());
    bool othersOff = false;
    // Stop is pressed as the run starts.
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (!busy) return;
      othersOff = true;
      for (const char* button : {names::kKwic, names::kLine, names::kWordList, names::kProfile, names::kKeyWordsButton}) {
        othersOff &= !f->Find<QPushButton>(button)->isEnabled();
      }
      for (const char* action : {names::kOpen, names::kNew, names::kViewOptions, names::kPrint, firstRecent.constData()}) {
        othersOff &= !f->Find<QAction>(action)->isEnabled();
      }
      // A double-click on the KeyWords choice would let the key words change under the run.
      QTest::mouseDClick(f->Find<QRadioButton>(names::kMatchKeyWords), Qt::LeftButton);
      othersOff &= !f->window->findChild<QWidget*>(keywords_dialog_names::kDialog);
      QTest::mouseClick(f->Find<QPushButton>(names::kStop), Qt::LeftButton);
    });
    Kwic(QStringLiteral("the"));
    QVERIFY(othersOff);
    QVERIFY(f->Find<QPushButton>(names::kKwic)->isEnabled());
    QVERIFY(!f->Find<QPushButton>(names::kStop)->isEnabled());
    const QString counts = Box(names::kConcordanceCounts);
    QVERIFY2(counts != QStringLiteral(" 1 key, 900000 citations"), "the run went to the end");
    // The key's own line comes first, when there is a citation.
    const qsizetype lines = std::max<qsizetype>(0, f->Pane(names::kConcordancePane).count(QLatin1Char('\n')) - 1);
    QCOMPARE(counts, QStringLiteral(" 1 key, %1 citation%2").arg(lines).arg(lines == 1 ? "" : "s"));
    QCOMPARE(f->Label(names::kPathPanel), QStringLiteral("Stopped: the output holds the citations found so far"));
  }

  // A pass started as another ends, as the start-up "--kwic" does after a text file's scan,
  // leaves the window idle once it ends.
  void APassStartedAsAnotherEndsLeavesTheWindowIdle() {
    f->Open(WriteFile(f->Path(QStringLiteral("short.txt")), "the cat sat\r\n"));
    connect(f->window.get(), &MainWindow::textFileOpenFinished, f->window.get(),
            [&] { f->window->RunKwic(QStringLiteral("cat")); });
    f->prompts.answers.enqueue(false);
    f->Click(project_dialog_names::kNewDialog, project_dialog_names::kOk);
    f->WaitForPass();
    QCOMPARE(Box(names::kConcordanceCounts), QStringLiteral(" 1 key, 1 citation"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(f->Find<QPushButton>(names::kKwic)->isEnabled());
  }

  // Closing stops a concordance, or waits for a scan (which Stop cannot end), then closes and
  // stores the settings.
  void ClosingDuringAPassEndsItFirst_data() {
    QTest::addColumn<bool>("scan");
    QTest::newRow("concordance") << false;
    QTest::newRow("scan") << true;
  }
  void ClosingDuringAPassEndsItFirst() {
    QFETCH(bool, scan);
    const QString project = WriteLongProject();
    f->Open(scan ? f->Path(QStringLiteral("long.txt")) : project);
    f->window->show();
    bool stopOn = scan;
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (!busy) return;
      stopOn = f->Find<QPushButton>(names::kStop)->isEnabled();
      f->window->close();
    });
    if (scan) {
      f->Click(project_dialog_names::kNewDialog, project_dialog_names::kOk);  // no question: it has closed
    } else {
      Kwic(QStringLiteral("the"));
    }
    QCOMPARE(stopOn, !scan);
    QVERIFY(f->FindIn<QPushButton>(project_dialog_names::kNewDialog, project_dialog_names::kOk) == nullptr ||
            f->FindIn<QPushButton>(project_dialog_names::kNewDialog, project_dialog_names::kOk)->isEnabled());
    QVERIFY(!f->window->isVisible());
    QVERIFY(!f->window->IsRunning());
    QVERIFY(QFile::exists(project));
    const QSettings stored(f->SettingsPath(), QSettings::NativeFormat);
    QCOMPARE(stored.value("Settings/Context").toString(), QStringLiteral("60"));
  }

  // Saving and printing use the output the pane shows, even once its scratch file has been
  // replaced; the typed extension decides between text and RTF.
  void SavingWritesExactlyWhatThePaneShows() {
    f->Open(samples);
    f->prompts.pdfPath = f->Path(QStringLiteral("kwic.pdf"));
    f->Trigger(names::kPrint);
    QCOMPARE(f->prompts.messages.takeLast(), QStringLiteral("There is no output on this page to print yet."));
    QVERIFY(!QFile::exists(f->prompts.pdfPath));
    Kwic(QStringLiteral("lantern"));
    const QString output = f->window->RunFolderPath() + QStringLiteral("/~0");
    const QByteArray shown = ReadFile(output);
    QVERIFY(QFile::remove(output));
    QVERIFY(!WriteFile(output, "another concordance\r\n").isEmpty());
    const QString text = f->Path(QStringLiteral("kwic.TXT"));
    const QString rtf = f->Path(QStringLiteral("kwic.rtf"));
    f->prompts.fileNames << text << rtf;
    f->Trigger(names::kSave);
    f->Trigger(names::kSaveAs);
    QCOMPARE(ReadFile(text), shown);
    QVERIFY(ReadFile(rtf).startsWith("{\\rtf1"));
    f->Trigger(names::kPrint);
    f->Trigger(names::kPrintPreview);
    QVERIFY2(f->prompts.messages.isEmpty(), qPrintable(f->prompts.messages.join(", ")));
    QVERIFY(QFile::exists(f->prompts.pdfPath));
    f->prompts.fileNames.enqueue(f->Path(QStringLiteral("no such folder/x.rtf")));
    f->Trigger(names::kSave);
    QVERIFY(f->prompts.messages.last().startsWith(QStringLiteral("Could not save ")));
  }

  void ThePrivateScratchFolderMustBeTheUsersOwn() {
    f.reset();
    f = std::make_unique<WindowFixture>(true);
    const QString folder = f->window->ScratchFolderPath();
    QCOMPARE(folder, f->Path(QStringLiteral("wordloom-%1").arg(::geteuid())));
    f->Open(samples);
    if (::geteuid() == 0) {
      QVERIFY(QDir().mkdir(folder));
      QVERIFY(::chown(folder.toLocal8Bit().constData(), 65534, 65534) == 0);
      Kwic(QStringLiteral("lantern"));
      QVERIFY(f->prompts.messages.takeLast().endsWith(QStringLiteral("belongs to another user.")));
      QVERIFY(::chown(folder.toLocal8Bit().constData(), 0, 0) == 0);
    }
    Kwic(QStringLiteral("lantern"));
    QVERIFY(f->prompts.messages.isEmpty());
    const QString run = f->window->RunFolderPath();
    QVERIFY(run.startsWith(folder + QStringLiteral("/wordloom-run-")));
    f->window->close();
    f->window.reset();  // the window's folder goes with it
    QVERIFY(!QFileInfo::exists(run));
    QVERIFY(QFileInfo::exists(folder));
  }

  // Focus starts in the keys, Enter runs Kwic, the buttons have mnemonics, Tab leaves the pane,
  // and the Edit commands act on the focused control.
  void TheKeyboardReachesEveryControl() {
    f->window->show();
    QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
    auto* keys = f->Find<QLineEdit>(names::kKeys);
    f->Open(samples);
    QCOMPARE(QApplication::focusWidget(), keys);
    QTest::keyClicks(keys, QStringLiteral("lantern"));
    QTest::keyClick(keys, Qt::Key_Return);
    f->WaitForPass();
    QVERIFY(!f->Pane(names::kConcordancePane).isEmpty());
    for (const char* button : {names::kKwic, names::kLine, names::kStop}) {
      QVERIFY(f->Find<QPushButton>(button)->text().startsWith(u'&'));  // a mnemonic
    }
    auto* pane = f->Find<QWidget>(names::kConcordancePane);
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != pane);
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
    f->Trigger(names::kCopy);
    QCOMPARE(QApplication::clipboard()->text(), f->Pane(names::kConcordancePane));
    keys->setFocus();
    keys->selectAll();
    f->Trigger(names::kCut);
    QCOMPARE(keys->text(), QString());
    f->Trigger(names::kPaste);
    f->Trigger(names::kPaste);
    QCOMPARE(keys->text(), QStringLiteral("lanternlantern"));
    f->Trigger(names::kUndo);
    QCOMPARE(keys->text(), QStringLiteral("lantern"));
  }
};

WORDLOOM_APP_TEST(MainWindowTest);

}  // namespace wordloom::app::test

#include "main_window_test.moc"
