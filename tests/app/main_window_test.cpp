// The main window driven through its controls, its outputs compared with wordloom-cli's.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <unistd.h>

#include "app_test.h"
#include "shell/main_window_names.h"
#include "ui/rtf.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = main_window_names;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  QString samples = SamplePath(QStringLiteral("samples.wlm"));

  QString Box(const char* name) const { return f->Find<QLineEdit>(name)->text(); }
  void Kwic(const QString& keys) {
    f->Find<QLineEdit>(names::kKeys)->setText(keys);
    f->Click(names::kKwic);
  }
  // A project of 300000 lines with three "the" in each, long enough to stop or close a run.
  QString WriteLongProject() {
    const QString text = f->Path(QStringLiteral("long.txt"));
    QFile file(text);
    if (file.open(QIODevice::WriteOnly)) {
      for (int line = 0; line < 300000; ++line) file.write("the cat sat on the mat by the door\r\n");
    }
    const QString project = f->Path(QStringLiteral("long.wlm"));
    f->Cli({QStringLiteral("new"), project, text});
    return project;
  }
  // The counts line: the last line the tool writes to its errors.
  static QString LastLine(const QByteArray& errors) {
    return QString::fromLatin1(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts).last();
  }
  static QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    const QStringList unexpected = f->prompts.unexpected;
    f.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(", ")));
    VerifyNoWindowLeft();
  }

  void OpeningTheSampleProjectShowsItsState() {
    QVERIFY(!f->Find<QTabWidget>(names::kPages)->isEnabled());
    QVERIFY(!f->Find<QAction>(names::kSave)->isEnabled());
    f->Open(samples);
    const QStringList info = QString::fromLatin1(f->Cli({QStringLiteral("info"), samples})).split(QLatin1Char('\n'));
    QCOMPARE(f->Label(names::kPathPanel), samples);
    QCOMPARE(f->Label(names::kTitlePanel), info[0]);
    QCOMPARE(f->Label(names::kCountsPanel), info[1]);
    QCOMPARE(Box(names::kKeyWordsSummary), info[2]);
    QCOMPARE(Box(names::kCitationLetters), info[3]);
    QVERIFY(f->Find<QTabWidget>(names::kPages)->isEnabled());
    QVERIFY(f->Find<QAction>(names::kSave)->isEnabled());
    QVERIFY(f->Find<QAction>("mnuFileMRU1")->text().endsWith(samples));
  }

  void AForeignFileChangesNothing() {
    f->Open(samples);
    Kwic(QStringLiteral("lantern"));
    const QString shown = f->Pane(names::kConcordancePane);
    const QString foreign = f->Path(QStringLiteral("notes.wlm"));
    QFile file(foreign);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just some notes\r\n");
    file.close();
    f->Open(foreign);
    QCOMPARE(f->prompts.messages.last(), foreign + QStringLiteral(" is not a Wordloom project file."));
    QCOMPARE(f->Label(names::kPathPanel), samples);
    QCOMPARE(f->Pane(names::kConcordancePane), shown);
  }

  void KwicAndLineShowWhatTheEngineWrites_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("cite");
    QTest::addColumn<QStringList>("cliArguments");
    QTest::newRow("kwic") << names::kKwic << "lantern the" << names::kMatchWord << 0 << ""
                          << QStringList{"kwic", "--keys", "lantern the"};
    QTest::newRow("kwic prefix, right context, cited")
        << names::kKwic << "lan" << names::kMatchPrefix << 2 << "al"
        << QStringList{"kwic", "--keys", "lan", "--match", "prefix", "--order", "right", "--cite", "AL"};
    QTest::newRow("line index") << names::kLine << "harbour" << names::kMatchAnywhere << 1 << "L"
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
    f->Find<QLineEdit>(names::kKeys)->setText(keys);
    f->Find<QRadioButton>(option.toLatin1())->setChecked(true);
    f->Find<QComboBox>(names::kCitationOrder)->setCurrentIndex(order);
    f->Find<QLineEdit>(names::kCitationLetters)->clear();
    QTest::keyClicks(f->Find<QLineEdit>(names::kCitationLetters), cite + QStringLiteral("1-"));  // letters only
    const bool index = cliArguments.contains(QStringLiteral("--index"));
    f->Find<QRadioButton>(index ? names::kIndexOutput : names::kConcordanceOutput)->setChecked(true);
    f->Click(button.toLatin1());

    QByteArray errors;
    const QByteArray expected = f->Cli(QStringList{cliArguments[0], samples} + cliArguments.mid(1), &errors);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f->Pane(names::kConcordancePane), AsPaneText(expected));
    QCOMPARE(Box(names::kConcordanceCounts), LastLine(errors));
    QCOMPARE(f->Label(names::kPathPanel), samples);
  }

  void TheContextWidthOfTheOptionsReachesTheRun() {
    f->Trigger(names::kViewOptions);
    auto* options = f->window->findChild<QDialog*>(QStringLiteral("frmOptions"));
    options->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("41"));
    QTest::mouseClick(options->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    f->Open(samples);
    Kwic(QStringLiteral("lantern"));
    QCOMPARE(f->Pane(names::kConcordancePane),
             AsPaneText(f->Cli({QStringLiteral("kwic"), samples, QStringLiteral("--keys"), QStringLiteral("lantern"),
                                QStringLiteral("--context"), QStringLiteral("41"), QStringLiteral("--cite"),
                                QStringLiteral("ALS")})));
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
    f->Find<QComboBox>(names::kListOrder)->setCurrentIndex(order);
    f->Find<QCheckBox>(names::kRhyme)->setChecked(rhyme);
    f->Find<QComboBox>(names::kLayout)->setCurrentIndex(layout);
    f->Find<QCheckBox>(names::kFrequencies)->setChecked(frequencies);
    f->Click(names::kWordList);
    QByteArray errors;
    const QByteArray expected = f->Cli(QStringList{"wordlist", samples} + cliArguments, &errors);
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
        othersOff = othersOff && !f->Find<QPushButton>(button)->isEnabled();
      }
      for (const char* action : {names::kOpen, names::kNew, names::kViewOptions, names::kPrint, "mnuFileMRU1"}) {
        othersOff = othersOff && !f->Find<QAction>(action)->isEnabled();
      }
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

  void ClosingDuringARunStopsItFirst() {
    f->Open(WriteLongProject());
    f->window->show();
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (busy) f->window->close();
    });
    Kwic(QStringLiteral("the"));
    QVERIFY(!f->window->isVisible());
    QVERIFY(!f->window->IsRunning());
    QSettings store(f->SettingsPath(), QSettings::NativeFormat);
    QCOMPARE(store.value(QStringLiteral("Settings/Context")).toString(), QStringLiteral("60"));
  }

  void ClosingDuringAScanWaitsForIt() {
    const QString project = WriteLongProject();
    f->window->show();
    bool stopOff = false;
    connect(f->window.get(), &MainWindow::busyChanged, f->window.get(), [&](bool busy) {
      if (!busy) return;
      stopOff = !f->Find<QPushButton>(names::kStop)->isEnabled();  // a scan cannot be stopped
      f->window->close();
    });
    f->OpenText(f->Path(QStringLiteral("long.txt")));  // no question about saving: the window has closed
    QVERIFY(stopOff);
    QVERIFY(!f->window->isVisible());
    QVERIFY(!f->window->IsRunning());
    QVERIFY(QFile::exists(project));
  }

  void SavingWritesExactlyWhatThePaneShows() {
    f->Open(samples);
    Kwic(QStringLiteral("lantern"));
    const QString output = f->window->RunFolderPath() + QStringLiteral("/~0");
    const QByteArray shown = Contents(output);
    // The tool, in the window's own folder, writes another concordance over it meanwhile.
    const QByteArray other = RunCli({QStringLiteral("kwic"), samples, QStringLiteral("--keys"), QStringLiteral("the")});
    QVERIFY(QFile::remove(output));
    QFile replaced(output);
    QVERIFY(replaced.open(QIODevice::WriteOnly) && replaced.write(other) == other.size());
    replaced.close();

    const QString text = f->Path(QStringLiteral("kwic.TXT"));
    const QString rtf = f->Path(QStringLiteral("kwic.rtf"));
    f->prompts.fileNames << text << rtf;
    f->Trigger(names::kSave);
    f->Trigger(names::kSaveAs);
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Text files (*.txt)|*.txt|Rtf files (*.rtf)|*.rtf"));
    QCOMPARE(Contents(text), shown);
    const QByteArray document = Contents(rtf);
    QVERIFY(document.startsWith("{\\rtf1"));
    QCOMPARE(AsPaneText(QByteArray::fromStdString(RtfPlainText(document.toStdString()))), AsPaneText(shown));

    f->prompts.pdfPath = f->Path(QStringLiteral("kwic.pdf"));
    f->Trigger(names::kPrint);
    f->Trigger(names::kPrintPreview);
    QVERIFY2(f->prompts.messages.isEmpty(), qPrintable(f->prompts.messages.join(", ")));
    QVERIFY(QFile::exists(f->prompts.pdfPath));

    f->prompts.fileNames.enqueue(f->Path(QStringLiteral("no such folder/x.rtf")));
    f->Trigger(names::kSave);
    QVERIFY(f->prompts.messages.last().startsWith(QStringLiteral("Could not save ")));
  }

  void APageWithoutOutputHasNothingToPrint() {
    f->Open(samples);
    f->prompts.pdfPath = f->Path(QStringLiteral("nothing.pdf"));
    f->Trigger(names::kPrint);
    QCOMPARE(f->prompts.messages.takeLast(), QStringLiteral("There is no output on this page to print yet."));
    QVERIFY(!QFile::exists(f->prompts.pdfPath));
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
      QVERIFY(f->prompts.messages.last().endsWith(QStringLiteral("belongs to another user.")));
      QVERIFY(::chown(folder.toLocal8Bit().constData(), 0, 0) == 0);
      f->prompts.messages.clear();
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

  void TheKeyboardReachesEveryControl() {
    f->window->show();
    QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
    auto* keys = f->Find<QLineEdit>(names::kKeys);
    f->Open(samples);
    QCOMPARE(QApplication::focusWidget(), keys);  // focus starts in the keys
    QTest::keyClicks(keys, QStringLiteral("lantern"));
    QTest::keyClick(keys, Qt::Key_Return);  // Enter runs Kwic
    f->WaitForPass();
    QVERIFY(!f->Pane(names::kConcordancePane).isEmpty());
    for (const char* button : {names::kKwic, names::kLine, names::kStop}) {
      QVERIFY(f->Find<QPushButton>(button)->text().startsWith(QLatin1Char('&')));
    }
    // Tab goes through the pane and on, never staying in it.
    auto* pane = f->Find<QWidget>(names::kConcordancePane);
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != pane);
    // Copy works in the read-only pane.
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
    f->Trigger(names::kCopy);
    QCOMPARE(QApplication::clipboard()->text(), f->Pane(names::kConcordancePane));
  }

  void EditCommandsActOnTheFocusedBox() {
    f->window->show();
    QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
    auto* keys = f->Find<QLineEdit>(names::kKeys);
    f->Open(samples);
    keys->setFocus();
    QTest::keyClicks(keys, QStringLiteral("lantern"));
    keys->selectAll();
    f->Trigger(names::kCut);
    QCOMPARE(keys->text(), QString());
    f->Trigger(names::kPaste);
    f->Trigger(names::kPaste);
    QCOMPARE(keys->text(), QStringLiteral("lanternlantern"));
    f->Trigger(names::kUndo);
    QCOMPARE(keys->text(), QStringLiteral("lantern"));
  }

  void TheWindowReopensWhereItWasClosed() {
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    // The first start: two thirds of the screen, centred.
    QVERIFY(qAbs(f->window->width() - available.width() * 2 / 3) <= 1);
    QVERIFY(qAbs(f->window->geometry().center().x() - available.center().x()) <= 1);
    const QRect place(available.x() + 37, available.y() + 51, 613, 419);
    f->window->setGeometry(place);
    for (int start = 0; start < 3; ++start) {
      f->window->show();
      f->window->close();
      f->window = std::make_unique<MainWindow>(f->session, *f->settings, f->prompts);
      f->window->Load();
      QCOMPARE(f->window->geometry(), place);
    }
  }
};

WORDLOOM_APP_TEST(MainWindowTest);

}  // namespace wordloom::app::test

#include "main_window_test.moc"
