// The main window driven through its controls, its outputs compared with wordloom-cli's.
#include <unistd.h>

#include "lists/keywords_dialog_names.h"
#include "project/project_dialog_names.h"
#include "shell/options_dialog_names.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;
namespace dialog = project_dialog_names;

// A run: a context width typed into the Options dialog first (when given), the controls set (a
// box typed into, a button checked, a list's row chosen) and the button pressed. The pane then
// shows what wordloom-cli prints for `cli`, and the box `counts` the last line of its errors.
struct RunCase { QStringList cli; const char *button, *pane, *counts; QList<QPair<const char*, QVariant>> controls;
                 QString context = {}; };

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samples = SamplePath(QStringLiteral("samples.wlm"));
  const QByteArray firstRecent = QByteArray(names::kRecentProjectPrefix) + '1';

  QString Box(const char* name) const { return f->Find<QLineEdit>(name)->text(); }
  // Sets a control of the window: a box is emptied and typed into, a button checked, a list's row chosen.
  void Set(const char* name, const QVariant& value) {
    auto* control = f->Find<QWidget>(name);
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->clear(), QTest::keyClicks(box, value.toString());
    else if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setChecked(value.toBool());
    else qobject_cast<QComboBox*>(control)->setCurrentIndex(value.toInt());
  }
  void Kwic(const QString& keys) { Set(names::kKeys, keys), f->Click(names::kKwic); }

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

  // Cite letters are typed with "1-", which the box refuses.
  void RunsShowWhatTheEngineWrites_data() {
    using namespace main_window_names;
    QTest::addColumn<RunCase>("c");
    QTest::newRow("kwic") << RunCase{{"kwic", "--keys", "lantern the"}, kKwic, kConcordancePane, kConcordanceCounts,
                                     {{kKeys, "lantern the"}, {kCitationLetters, "1-"}}};
    QTest::newRow("kwic prefix, right context, cited, width of the options") << RunCase{
        {"kwic", "--keys", "lan", "--match", "prefix", "--order", "right", "--cite", "AL", "--context", "41"}, kKwic,
        kConcordancePane, kConcordanceCounts,
        {{kKeys, "lan"}, {kMatchPrefix, true}, {kCitationOrder, 2}, {kCitationLetters, "al1-"}}, "41"};
    QTest::newRow("line index")
        << RunCase{{"line", "--keys", "harbour", "--match", "anywhere", "--order", "left", "--index", "--cite", "L"},
                   kLine, kConcordancePane, kConcordanceCounts,
                   {{kKeys, "harbour"}, {kMatchAnywhere, true}, {kCitationOrder, 1}, {kCitationLetters, "L1-"},
                    {kIndexOutput, true}}};
    QTest::newRow("columns left")
        << RunCase{{"wordlist", "--layout", "left"}, kWordList, kWordListPane, kWordListCount, {{kLayout, 0}}};
    QTest::newRow("frequency, right, with frequencies")
        << RunCase{{"wordlist", "--order", "4", "--layout", "right", "--freq"}, kWordList, kWordListPane,
                   kWordListCount, {{kListOrder, 3}, {kLayout, 1}, {kFrequencies, true}}};
    QTest::newRow("rhyme, packed")
        << RunCase{{"wordlist", "--order", "2", "--rhyme", "--layout", "packed"}, kWordList, kWordListPane,
                   kWordListCount, {{kListOrder, 1}, {kRhyme, true}, {kLayout, 2}}};
    QTest::newRow("length, one column")
        << RunCase{{"wordlist", "--order", "6", "--layout", "column", "--freq"}, kWordList, kWordListPane,
                   kWordListCount, {{kListOrder, 5}, {kLayout, 3}, {kFrequencies, true}}};
    QTest::newRow("profile") << RunCase{{"profile"}, kProfile, kStatisticsPane, kProfileTitle, {}};
    QTest::newRow("spectrum") << RunCase{{"profile", "--spectrum"}, kProfile, kSpectrumPane, kProfileTitle, {}};
  }
  void RunsShowWhatTheEngineWrites() {
    QFETCH(RunCase, c);
    if (!c.context.isEmpty()) {
      namespace options = options_dialog_names;
      f->Trigger(names::kViewOptions);
      f->FindIn<QLineEdit>(options::kDialog, options::kContext)->setText(c.context);
      f->Click(options::kDialog, options::kOk);
    }
    f->Open(samples);
    for (const auto& [name, value] : c.controls) Set(name, value);
    f->Click(c.button);
    QByteArray errors;
    const QByteArray expected = f->Cli(QStringList{c.cli[0], samples} + c.cli.mid(1), &errors);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f->Pane(c.pane), AsPaneText(expected));
    QCOMPARE(Box(c.counts), QString::fromLatin1(errors).split(u'\n', Qt::SkipEmptyParts).last());  // the counts line
    if (c.pane == names::kConcordancePane) QCOMPARE(f->Label(names::kPathPanel), samples);
  }

  // Stop ends a concordance; closing stops a concordance, or waits for a scan (which Stop cannot
  // end), then closes and stores the settings. While the pass runs, nothing can start another.
  void StopOrCloseDuringAPassEndsIt_data() {
    QTest::addColumn<bool>("close");
    QTest::addColumn<bool>("scan");
    QTest::newRow("stop") << false << false;
    QTest::newRow("close during a concordance") << true << false;
    QTest::newRow("close during a scan") << true << true;
  }
  void StopOrCloseDuringAPassEndsIt() {
    QFETCH(bool, close);
    QFETCH(bool, scan);
    // A project of 300000 lines with three "the" in each, long enough to stop or close a run.
    QByteArray text;
    for (int line = 0; line < 300000; ++line) text += "the cat sat on the mat by the door\r\n";
    const QString project = f->Path(QStringLiteral("long.wlm"));
    f->Cli({QStringLiteral("new"), project, WriteFile(f->Path(QStringLiteral("long.txt")), text)});
    f->Open(project);
    if (scan) f->Open(f->Path(QStringLiteral("long.txt")));
    f->window->show();
    bool othersOff = true, stopOn = scan;
    // As the pass starts, every other control is checked; then Stop is pressed or the window closed.
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (!busy) return;
      stopOn = f->Find<QPushButton>(names::kStop)->isEnabled();
      for (const char* other : {names::kKwic, names::kLine, names::kWordList, names::kProfile, names::kKeyWordsButton,
                                names::kOpen, names::kNew, names::kViewOptions, names::kPrint,
                                firstRecent.constData()}) {
        othersOff &= !f->Find<QObject>(other)->property("enabled").toBool();  // a button or an action
      }
      // A double-click on the KeyWords choice would let the key words change under the run.
      QTest::mouseDClick(f->Find<QRadioButton>(names::kMatchKeyWords), Qt::LeftButton);
      othersOff &= !f->window->findChild<QWidget*>(keywords_dialog_names::kDialog);
      if (close) f->window->close();
      else QTest::mouseClick(f->Find<QPushButton>(names::kStop), Qt::LeftButton);
    });
    if (scan) f->Click(dialog::kNewDialog, dialog::kOk);  // no question: it has closed
    else Kwic(QStringLiteral("the"));
    QVERIFY(othersOff);
    QCOMPARE(stopOn, !scan);
    QVERIFY(!f->window->IsRunning() && f->Find<QPushButton>(names::kKwic)->isEnabled() &&
            !f->Find<QPushButton>(names::kStop)->isEnabled());
    if (close) {
      QVERIFY(!scan || f->FindIn<QPushButton>(dialog::kNewDialog, dialog::kOk)->isEnabled());
      QVERIFY(!f->window->isVisible() && QFile::exists(project));
      QCOMPARE(QSettings(f->SettingsPath(), QSettings::NativeFormat).value("Settings/Context").toString(), u"60");
      return;
    }
    const QString counts = Box(names::kConcordanceCounts);
    QVERIFY2(counts != QStringLiteral(" 1 key, 900000 citations"), "the run went to the end");
    // The key's own line comes first, when there is a citation.
    const qsizetype lines = std::max<qsizetype>(0, f->Pane(names::kConcordancePane).count(QLatin1Char('\n')) - 1);
    QCOMPARE(counts, QStringLiteral(" 1 key, %1 citation%2").arg(lines).arg(lines == 1 ? "" : "s"));
    QCOMPARE(f->Label(names::kPathPanel), QStringLiteral("Stopped: the output holds the citations found so far"));
  }

  // A saved project without an index gets one before its first concordance, which then answers
  // as the command line does; the next run finds it current.
  void TheFirstConcordanceBuildsTheIndex() {
    QStringList texts;
    for (const char* name : {"harbour.txt", "lanterns.txt", "orchard.txt"}) texts << SamplePath(QLatin1String(name));
    const QString project = f->Path(QStringLiteral("p.wlm")), index = f->Path(QStringLiteral("p.wlx"));
    f->Cli(QStringList{QStringLiteral("new"), project} + texts);
    QVERIFY(QFile::remove(index));
    f->Open(project);
    Set(names::kMatchPrefix, true);
    Kwic(QStringLiteral("lant"));
    QVERIFY(QFile::exists(index));
    const QDateTime built = QFileInfo(index).lastModified();
    const QStringList query{project, QStringLiteral("--keys"), QStringLiteral("lant"), QStringLiteral("--match"),
                            QStringLiteral("prefix"), QStringLiteral("--cite"), f->Find<QLineEdit>(names::kCitationLetters)->text()};
    QCOMPARE(f->Pane(names::kConcordancePane), AsPaneText(f->Cli(QStringList{QStringLiteral("kwic")} + query)));
    f->Click(names::kLine);
    QCOMPARE(f->Pane(names::kConcordancePane), AsPaneText(f->Cli(QStringList{QStringLiteral("line")} + query)));
    QCOMPARE(QFileInfo(index).lastModified(), built);
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
    const QString text = f->Path(QStringLiteral("kwic.TXT")), rtf = f->Path(QStringLiteral("kwic.rtf"));
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
    QVERIFY(!QFileInfo::exists(run) && QFileInfo::exists(folder));
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
    QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
    f->Trigger(names::kCopy);
    QCOMPARE(QApplication::clipboard()->text(), f->Pane(names::kConcordancePane));
    QTest::keyClick(pane, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != pane);
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
