// The New and Edit Project dialogs, their file chooser and the Reference Letter Definition
// dialog, driven from the main window; the projects they save are compared with what
// wordloom-cli writes.
#include "project/file_chooser.h"
#include "project/file_chooser_names.h"
#include "project/project_dialog.h"
#include "project/project_dialog_names.h"
#include "project/reference_letters_dialog_names.h"
#include "shell/small_windows.h"
#include "shell/small_windows_names.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = project_dialog_names;
namespace window = main_window_names;
namespace chooser_names = file_chooser_names;
namespace letters = reference_letters_dialog_names;

class ProjectDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samples = SamplePath(QStringLiteral("samples.wlm"));
  const QString samplesFolder = QFileInfo(SamplePath(QStringLiteral("harbour.txt"))).absolutePath();

  ProjectDialog* Dialog(const char* name) const { return f->window->findChild<ProjectDialog*>(name); }
  template <typename T>
  T* InNew(const char* name) const { return f->FindIn<T>(names::kNewDialog, name); }
  template <typename T>
  T* InEdit(const char* name) const { return f->FindIn<T>(names::kEditDialog, name); }
  static void Type(QLineEdit* box, const QString& text) { box->selectAll(), QTest::keyClicks(box, text); }
  // Types text beyond Latin-1 as an input method does.
  static void Compose(QLineEdit* box, const QString& text) {
    box->selectAll();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
  }
  // Picks the item of a drop-down list whose data is `value`, as the user does.
  static void Choose(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
    emit box->activated(box->currentIndex());
  }
  void ChooseEncoding(TextEncoding encoding) {
    Choose(InNew<QComboBox>(names::kEncoding), static_cast<int>(encoding));
  }
  // Selects the named samples in the New Project dialog's file list and adds them.
  void AddSamples(const QStringList& samples) {
    Dialog(names::kNewDialog)->ResetFolder(samplesFolder);
    auto* files = InNew<QListWidget>(chooser_names::kFiles);
    for (int row = 0; row < files->count(); ++row) files->item(row)->setSelected(samples.contains(files->item(row)->text()));
    f->Click(names::kNewDialog, names::kAddFiles);
  }
  // The New Project dialog's file chooser, listing "*.txt" in a folder tree of its own.
  FileChooser* chooser = nullptr;
  QString Tree() const { return f->Path(QStringLiteral("tree")); }
  void ShowChooser() {
    for (const char* name : {"Sub", "alpha", ".secret"}) QVERIFY(QDir().mkpath(Tree() + u'/' + QLatin1String(name)));
    for (const char* name : {"a.txt", "B.TXT", "c.log", ".hidden.txt", "Sub/d.txt"}) {
      QVERIFY(!WriteFile(Tree() + u'/' + QLatin1String(name), {}).isEmpty());
    }
    f->Trigger(window::kNew);
    QVERIFY(QTest::qWaitForWindowExposed(Dialog(names::kNewDialog)));
    Dialog(names::kNewDialog)->ResetFolder(Tree() + u'/');
    chooser = Dialog(names::kNewDialog)->findChild<FileChooser*>();
  }
  QStringList Listed(const char* name, int from = 0) const { return Rows(InNew<QListWidget>(name)->model(), from); }
  template <typename T>
  T* InLetters(const char* name) const { return f->FindIn<T>(letters::kDialog, name); }
  QTableWidget* Grid() const { return InLetters<QTableWidget>(letters::kGrid); }
  // The edit box and the letter beside it.
  QStringList LetterShown() const {
    return {InLetters<QLineEdit>(letters::kText)->text(), InLetters<QLabel>(letters::kLetter)->text()};
  }
  // A project file's records without the date and the time of saving.
  static QStringList Records(const QString& path) {
    QStringList records = QString::fromLatin1(ReadFile(path)).split(QStringLiteral("\r\n"));
    records.remove(2, 2);
    return records;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  void ANewProjectIsTheOneTheToolMakes() {
    f->Trigger(window::kNew);
    Type(InNew<QLineEdit>(names::kTitle), QStringLiteral("Samples"));
    QStringList files{"harbour.txt", "lanterns.txt", "orchard.txt"};
    AddSamples(files);
    f->Click(names::kNewDialog, names::kAddFiles);  // the same files again
    for (QString& file : files) file.prepend(samplesFolder + QLatin1Char('/'));
    QCOMPARE(Rows(InNew<QListWidget>(names::kProjectFiles)->model()), files);
    QVERIFY(!InNew<QGroupBox>(names::kReferencePatternFrame)->isEnabled());
    QTest::mouseClick(InNew<QRadioButton>(names::kType1References), Qt::LeftButton);
    QVERIFY(InNew<QGroupBox>(names::kReferencePatternFrame)->isEnabled());
    f->Click(names::kNewDialog, names::kLetters);
    Grid()->setCurrentCell(3, 1);
    Type(InLetters<QLineEdit>(letters::kText), QStringLiteral("Chapter"));
    f->Click(letters::kDialog, letters::kAdd);
    f->Click(letters::kDialog, letters::kClose);
    const QString saved = f->Path(QStringLiteral("samples.wlm"));
    f->prompts.answers.enqueue(true);  // save it
    f->prompts.fileNames.enqueue(saved);
    f->Click(names::kNewDialog, names::kOk);
    QVERIFY(!Dialog(names::kNewDialog)->isVisible());
    const QString expected = f->Path(QStringLiteral("expected.wlm"));
    f->Cli(QStringList{"new", expected, "--title", "Samples", "--refs", "type1", "--define", "C=Chapter"} + files);
    QCOMPARE(Records(saved), Records(expected));
    f->VerifyShowsProject(saved);
  }

  // OK reads the texts to settle an Automatic encoding, with a scan or without: UTF-8 texts
  // make a UTF-8 project, whose alphabet is the UTF-8 default and whose title, typed before the
  // encoding was known, keeps its "é", as a reference letter's value does. An encoding chosen
  // in the dialog is kept.
  void OkSettlesTheEncodingFromTheTexts_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TextEncoding>("chosen");
    QTest::addColumn<bool>("scan");
    QTest::addColumn<TextEncoding>("settled");
    const QByteArray utf8("\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 world, \xE4\xB8\xAD\xE6\x96\x87\r\n");
    const auto automatic = TextEncoding::Automatic, cp1252 = TextEncoding::Windows1252, unicode = TextEncoding::Utf8;
    QTest::newRow("UTF-8 text") << utf8 << automatic << true << unicode;
    QTest::newRow("UTF-8 text, not scanned") << utf8 << automatic << false << unicode;
    QTest::newRow("ASCII text") << QByteArray("plain words\r\n") << automatic << true << cp1252;
    QTest::newRow("Windows-1252 text") << QByteArray("caf\xE9 cr\xE8me\r\n") << automatic << true << cp1252;
    QTest::newRow("UTF-8 chosen") << QByteArray("plain words\r\n") << unicode << false << unicode;
    QTest::newRow("Windows-1252 chosen") << utf8 << cp1252 << true << cp1252;
  }
  void OkSettlesTheEncodingFromTheTexts() {
    QFETCH(QByteArray, text);
    QFETCH(TextEncoding, chosen);
    QFETCH(bool, scan);
    QFETCH(TextEncoding, settled);
    f->Open(WriteFile(f->Path(QStringLiteral("text.txt")), text));
    QCOMPARE(InNew<QComboBox>(names::kEncoding)->currentData().toInt(), static_cast<int>(TextEncoding::Automatic));
    if (chosen != TextEncoding::Automatic) ChooseEncoding(chosen);
    if (!scan) QTest::mouseClick(InNew<QCheckBox>(names::kSaveVocabulary), Qt::LeftButton);
    Compose(InNew<QLineEdit>(names::kTitle), QStringLiteral("Caf\u00E9"));
    f->session.referenceLetters.SetCell(1, 1, "Caf\xE9");  // a letter's value, typed as the title was
    f->prompts.answers.enqueue(false);  // no saving
    f->Click(names::kNewDialog, names::kOk);
    QVERIFY(!Dialog(names::kNewDialog)->isVisible());
    const bool utf8 = settled == TextEncoding::Utf8;
    const Project& project = f->session.project;
    QCOMPARE(project.rules.encoding, settled);
    QCOMPARE(project.rules.alphabet, std::string(utf8 ? kDefaultUtf8Alphabet : kDefaultAlphabet));
    QCOMPARE(project.Title, std::string(utf8 ? "Caf\xC3\xA9" : "Caf\xE9"));
    const bool settledAsUtf8 = utf8 && chosen == TextEncoding::Automatic;
    QCOMPARE(f->session.referenceLetters.Cell(1, 1), std::string(settledAsUtf8 ? "Caf\xC3\xA9" : "Caf\xE9"));
    QCOMPARE(f->Label(window::kTitlePanel), QStringLiteral("Caf\u00E9"));
    QCOMPARE(f->session.lists.Vocabulary.empty(), !scan);
    f->Trigger(window::kViewProject);
    QCOMPARE(InEdit<QComboBox>(names::kEncoding)->currentData().toInt(), static_cast<int>(settled));
    QCOMPARE(InEdit<QLineEdit>(names::kTitle)->text(), QStringLiteral("Caf\u00E9"));
    QCOMPARE(InEdit<QCheckBox>(names::kNeedLetter)->isChecked(), utf8);
    f->Click(names::kEditDialog, names::kCancel);
  }

  // A UTF-8 text whose name Windows-1252 cannot write gives its name to the project whole.
  void ATextFileNamedInAnyScriptTitlesItsProject() {
    f->Open(WriteFile(f->Path(QStringLiteral("\u039B\u03B9\u03BC\u03AC\u03BD\u03B9.txt")), "\xCE\xBB\xCE\xB9\r\n"));
    f->prompts.answers.enqueue(false);  // no saving
    f->Click(names::kNewDialog, names::kOk);
    QCOMPARE(f->session.project.Title, std::string("\xCE\x9B\xCE\xB9\xCE\xBC\xCE\xAC\xCE\xBD\xCE\xB9"));
  }

  // The encoding and the rules of UTF-8 projects go into the record as they are chosen. A new
  // encoding recodes the texts, the one alphabet default turning into the other, and the
  // need-letter rule follows the encoding until it is clicked.
  void TheEncodingControlsEditTheRules() {
    f->Trigger(window::kNew);
    const ScanRules& rules = f->session.newProject.rules;
    auto* alphabet = InNew<QLineEdit>(names::kAlphabet);
    auto* needLetter = InNew<QCheckBox>(names::kNeedLetter);
    auto* language = InNew<QLineEdit>(names::kLanguage);
    QVERIFY(!needLetter->isChecked() && language->isEnabled());
    ChooseEncoding(TextEncoding::Utf8);
    QCOMPARE(alphabet->text(), QString::fromUtf8(kDefaultUtf8Alphabet));
    QCOMPARE(rules.alphabet, std::string(kDefaultUtf8Alphabet));
    QVERIFY(needLetter->isChecked() && !rules.needLetter.has_value());
    Type(language, QStringLiteral("cs"));
    Choose(InNew<QComboBox>(names::kWords), static_cast<int>(WordBoundaries::Unicode));
    QTest::mouseClick(InNew<QCheckBox>(names::kUnicodeLetters), Qt::LeftButton);
    QTest::mouseClick(needLetter, Qt::LeftButton);
    QVERIFY(rules.language == "cs" && rules.words == WordBoundaries::Unicode && !rules.unicodeLetters);
    QVERIFY(rules.needLetter == false);
    ChooseEncoding(TextEncoding::Windows1252);
    QCOMPARE(rules.alphabet, std::string(kDefaultAlphabet));
    QVERIFY(!needLetter->isChecked() && !language->isEnabled());
    Compose(alphabet, QStringLiteral("abc\u00E9\u2019"));
    QCOMPARE(rules.alphabet, std::string("abc\xE9\x92"));
    ChooseEncoding(TextEncoding::Utf8);
    QCOMPARE(rules.alphabet, std::string("abc\xC3\xA9\xE2\x80\x99"));
    QCOMPARE(alphabet->text(), QStringLiteral("abc\u00E9\u2019"));
    QVERIFY(!needLetter->isChecked());  // clicked off, it stays off
    f->Click(names::kNewDialog, names::kCancel);
  }

  // The New Project dialog's own controls: No Path adds the name alone, a double-click takes a
  // file out, and a rule box takes one character.
  void NoPathAndOneCharacterRulesInTheNewProjectDialog() {
    f->Trigger(window::kNew);
    QTest::mouseClick(InNew<QCheckBox>(names::kNoPath), Qt::LeftButton);
    AddSamples({QStringLiteral("orchard.txt")});
    auto* list = InNew<QListWidget>(names::kProjectFiles);
    QCOMPARE(Rows(list->model()), QStringList{QStringLiteral("orchard.txt")});
    QCOMPARE(f->session.newProject.Files, std::vector<std::string>{"orchard.txt"});
    emit list->itemDoubleClicked(list->item(0));
    QCOMPARE(list->count(), 0);
    QVERIFY(f->session.newProject.Files.empty());
    // Each character after the first is refused; a key that deletes is not.
    auto* join = InNew<QLineEdit>(names::kJoin);
    QTest::keyClicks(join, QStringLiteral("+&"));
    QTest::keyClick(join, Qt::Key_Backspace);
    QTest::keyClicks(join, QStringLiteral("|&"));
    QCOMPARE(join->text(), QStringLiteral("|"));
    QCOMPARE(f->session.newProject.rules.join, std::string("|"));
    f->Click(names::kNewDialog, names::kCancel);
  }

  // Save scans with the rules typed; the chosen font goes into the project (a cancelled Font
  // changes nothing), Cancel keeps what was typed, and a rule box takes more than one character.
  void TheEditProjectDialogScansWithItsRulesAndKeepsWhatWasTyped() {
    f->Open(samples);
    f->Trigger(window::kViewProject);
    f->prompts.fonts.enqueue(QFont(QStringLiteral("DejaVu Sans"), 12, QFont::Normal, true));
    f->Click(names::kEditDialog, names::kFont);
    f->Click(names::kEditDialog, names::kFont);
    QCOMPARE(InEdit<QLineEdit>(names::kAlphabet)->font().family(), QStringLiteral("DejaVu Sans"));
    const AlphabetFont& font = f->session.project.font;
    QVERIFY(font.name == "DejaVu Sans" && font.size == 12.0 && font.italic && !font.bold);
    Type(InEdit<QLineEdit>(names::kAlphabet), QStringLiteral("abc"));
    const QString saved = f->Path(QStringLiteral("abc.wlm"));
    f->prompts.fileNames.enqueue(saved);
    f->Click(names::kEditDialog, names::kSave);
    QVERIFY(Dialog(names::kEditDialog)->isVisible());
    QVERIFY(!f->session.lists.Vocabulary.empty());
    for (const Entry& entry : f->session.lists.Vocabulary) {
      QVERIFY2(entry.word.find_first_not_of("abc") == std::string::npos, entry.word.c_str());
    }
    QVERIFY(QFile::exists(saved));
    Type(InEdit<QLineEdit>(names::kTitle), QStringLiteral("Kept"));
    f->Click(names::kEditDialog, names::kCancel);
    f->Trigger(window::kViewProject);
    QCOMPARE(InEdit<QLineEdit>(names::kTitle)->text(), QStringLiteral("Kept"));
    QCOMPARE(f->session.project.Title, std::string("Kept"));
    Type(InEdit<QLineEdit>(names::kJoin), QStringLiteral("+&"));
    QCOMPARE(f->session.project.rules.join, std::string("+&"));
    f->Click(names::kEditDialog, names::kCancel);
  }

  // Each opening of a text file empties the Error Report first: it shows the errors the tool
  // reports for the file, once.
  void TheErrorReportShowsTheErrorsOfTheLastTextFileOpened() {
    const QString text = WriteFile(f->Path(QStringLiteral("bad.txt")), "<AAct> one\r\n<B Scene two\r\nthree\r\n");
    for (int round = 0; round < 2; ++round) {
      f->Open(text);
      QTest::mouseClick(InNew<QRadioButton>(names::kType1References), Qt::LeftButton);
      f->prompts.answers.enqueue(false);
      f->Click(names::kNewDialog, names::kOk);
    }
    QByteArray errors;
    f->Cli({QStringLiteral("info"), text, QStringLiteral("--refs"), QStringLiteral("type1")}, &errors);
    auto* report = f->window->findChild<ErrorReportWindow*>(error_report_names::kWindow);
    QVERIFY(report && report->isVisible());
    QCOMPARE(report->Report(), AsPaneText(errors));
  }

  // A blank title or Cancel leaves the current project as it was. Save makes the project of a
  // text file current, even when the dialog is then cancelled, and leaves no output of the
  // previous project on show; a failed save says why.
  void OnlySaveOrOkInTheNewProjectDialogChangesTheCurrentProject() {
    f->Open(samples);
    f->window->RunKwic(QStringLiteral("lantern"));
    f->WaitForPass();
    const QString shown = f->Pane(window::kConcordancePane);
    QVERIFY(!shown.isEmpty());
    const auto flags = f->session.scan.references.ReferenceLetterUsed;
    f->Trigger(window::kNew);
    Type(InNew<QLineEdit>(names::kTitle), QStringLiteral("  "));
    AddSamples({QStringLiteral("harbour.txt")});
    f->Click(names::kNewDialog, names::kOk);
    QCOMPARE(f->prompts.messages.last(), QStringLiteral("Please Supply a Title"));
    QVERIFY(Dialog(names::kNewDialog)->isVisible() && InNew<QPushButton>(names::kOk)->isEnabled());
    f->Click(names::kNewDialog, names::kCancel);
    const QString text = WriteFile(f->Path(QStringLiteral("fresh.txt")), ReadFile(SamplePath(QStringLiteral("harbour.txt"))));
    f->Open(text);
    f->Click(names::kNewDialog, names::kCancel);
    f->VerifyShowsProject(samples);
    QVERIFY(f->session.scan.references.ReferenceLetterUsed == flags);
    QCOMPARE(f->session.project.Files.size(), size_t(3));
    QCOMPARE(f->Pane(window::kConcordancePane), shown);
    f->Open(text);
    const QString unwritable = f->Path(QStringLiteral("missing/fresh.wlm"));
    const QString saved = f->Path(QStringLiteral("fresh.wlm"));
    f->prompts.fileNames << unwritable << saved;
    f->Click(names::kNewDialog, names::kSave);
    QVERIFY2(f->prompts.messages.last().startsWith(QStringLiteral("Could not save the project to ") + unwritable),
             qPrintable(f->prompts.messages.last()));
    f->Click(names::kNewDialog, names::kSave);
    QCOMPARE(InNew<QLineEdit>(names::kFileName)->text(), saved);
    f->Click(names::kNewDialog, names::kCancel);
    QCOMPARE(Records(saved).mid(9, 2), (QStringList{QStringLiteral("1"), QLatin1Char('"') + text + QLatin1Char('"')}));
    QCOMPARE(f->Label(window::kPathPanel), saved);
    QCOMPARE(f->Label(window::kTitlePanel), QStringLiteral("fresh"));
    QCOMPARE(f->Pane(window::kConcordancePane), QString());
  }

  // While it scans, the dialog is off but for its progress bar and cannot be closed. A pass
  // started as the scan ends, as the start-up "--kwic" does, leaves the window idle once it ends.
  void AScanTurnsTheDialogOffAndAPassStartedAsItEndsLeavesTheWindowIdle() {
    f->Open(WriteFile(f->Path(QStringLiteral("short.txt")), "the cat sat on the mat\r\n"));
    ProjectDialog* dialog = Dialog(names::kNewDialog);
    auto* bar = InNew<QProgressBar>(names::kProgress);
    QVERIFY(!bar->isVisible());
    bool off = false;
    connect(f->window.get(), &MainWindow::busyChanged, dialog, [&](bool busy) {
      if (!busy || !dialog->isVisible()) return;
      off = !InNew<QPushButton>(names::kOk)->isEnabled() && !InNew<QPushButton>(names::kSave)->isEnabled() &&
            !InNew<QListWidget>(names::kProjectFiles)->isEnabled() && bar->isVisible() && bar->isEnabled() &&
            bar->maximum() == 0 && !f->Find<QAction>(window::kNew)->isEnabled();
      dialog->reject();
      off = off && dialog->isVisible();
    });
    connect(f->window.get(), &MainWindow::textFileOpenFinished, f->window.get(),
            [&] { f->window->RunKwic(QStringLiteral("cat")); });
    f->prompts.answers.enqueue(false);
    f->Click(names::kNewDialog, names::kOk);
    f->WaitForPass();
    QVERIFY(off);
    QVERIFY(!dialog->isVisible() && !bar->isVisible() && InNew<QPushButton>(names::kOk)->isEnabled());
    QCOMPARE(f->session.totals.tokenCount, int64_t(6));
    QCOMPARE(f->Find<QLineEdit>(window::kConcordanceCounts)->text(), QStringLiteral(" 1 key, 1 citation"));
    QVERIFY(!QApplication::overrideCursor() && f->Find<QPushButton>(window::kKwic)->isEnabled());
  }

  void TheFileChooserListsTheMatchingPlainFilesCaselesslyAndKeepsEnter() {
    ShowChooser();
    QCOMPARE(chooser->Folder(), Tree());
    QCOMPARE(InNew<QLineEdit>(chooser_names::kFolder)->text(), Tree());
    QCOMPARE(Listed(chooser_names::kFiles), QStringList({"a.txt", "B.TXT"}));
    chooser->SetPattern(QStringLiteral("*.log;*.txt"));
    QCOMPARE(Listed(chooser_names::kFiles), QStringList({"a.txt", "B.TXT", "c.log"}));
    auto* files = InNew<QListWidget>(chooser_names::kFiles);
    files->item(2)->setSelected(true);
    files->item(0)->setSelected(true);
    QCOMPARE(chooser->SelectedFiles(), QStringList({"a.txt", "c.log"}));
    chooser->SelectAll();
    QCOMPARE(chooser->SelectedFiles(), QStringList({"a.txt", "B.TXT", "c.log"}));
    chooser->SelectNone();
    QCOMPARE(chooser->SelectedFiles(), QStringList());
    // Enter acts inside the chooser, never on OK.
    QSignalSpy pressed(InNew<QPushButton>(names::kOk), &QPushButton::clicked);
    QSignalSpy activated(chooser, &FileChooser::fileActivated);
    auto* pattern = InNew<QLineEdit>(chooser_names::kPattern);
    pattern->setText(QStringLiteral(" *.LOG  *.none "));
    QTest::keyClick(pattern, Qt::Key_Return);
    QCOMPARE(Listed(chooser_names::kFiles), QStringList({"c.log"}));
    files->setCurrentRow(0);
    QTest::keyClick(files, Qt::Key_Return);
    QCOMPARE(activated.size(), 1);
    QCOMPARE(activated[0][0].toString(), QStringLiteral("c.log"));
    QCOMPARE(pressed.size(), 0);
  }

  void TheFolderTreeAndTheDriveFollowTheFolder() {
    ShowChooser();
    chooser->SetFolder(Tree() + QStringLiteral("/Sub/gone/deeper"));  // the nearest that exists
    QCOMPARE(chooser->Folder(), Tree() + QStringLiteral("/Sub"));
    chooser->SetFolder(Tree());
    auto* tree = InNew<QListWidget>(chooser_names::kFolders);
    const int current = tree->currentRow();
    auto* drives = InNew<QComboBox>(chooser_names::kDrives);
    QCOMPARE(tree->item(0)->data(Qt::UserRole), drives->currentData());
    QCOMPARE(tree->item(current)->data(Qt::UserRole).toString(), Tree());
    QCOMPARE(Listed(chooser_names::kFolders, current + 1), QStringList({"alpha", "Sub"}));
    // A real double-click starts with a press, which alone moves nowhere.
    const QPoint sub = tree->visualItemRect(tree->item(current + 2)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, sub);
    QCOMPARE(chooser->Folder(), Tree());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, sub);
    QCOMPARE(chooser->Folder(), Tree() + QStringLiteral("/Sub"));
    QCOMPARE(Listed(chooser_names::kFiles), QStringList({"d.txt"}));
    QCOMPARE(tree->count(), current + 2);
    tree->setCurrentRow(current);
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(chooser->Folder(), Tree());
    // The drive shown is the longest root holding the folder; another drive shows its root.
    QStringList roots = Rows(drives->model(), 0, Qt::UserRole);
    QCOMPARE(roots.first(), QStringLiteral("/"));
    QVERIFY(roots.contains(QDir::cleanPath(QDir::homePath())));
    QCOMPARE(roots.removeDuplicates(), 0);
    const QString shown = drives->currentData().toString();
    const auto holds = [this](const QString& root) { return root == u"/" || (Tree() + u'/').startsWith(root + u'/'); };
    QVERIFY2(holds(shown), qPrintable(shown));
    for (const QString& root : roots) {
      QVERIFY2(!root.startsWith(u"/proc") && !root.startsWith(u"/sys"), qPrintable(root));
      QVERIFY(!holds(root) || root.size() <= shown.size());
    }
    drives->setCurrentIndex(shown == roots[0] && roots.size() > 1 ? 1 : 0);
    QCOMPARE(chooser->Folder(), drives->currentData().toString());
  }

  // The headers and letters never change, and neither arrows, clicks nor a program put the
  // cursor on a letter; showing the dialog again reloads the table.
  void TheReferenceLettersDialogWritesValuesAndCommentsOnly() {
    // A new type1 project's table, with values in row B (and a header that is to be overwritten).
    f->Trigger(window::kNew);
    QTest::mouseClick(InNew<QRadioButton>(names::kType1References), Qt::LeftButton);
    f->session.referenceLetters.SetCell(0, 1, "overwritten");
    f->session.referenceLetters.SetCell(2, 1, "two");
    f->session.referenceLetters.SetCell(2, 2, "bee");
    f->Click(names::kNewDialog, names::kLetters);
    QCOMPARE(f->session.referenceLetters.Cell(0, 1), std::string("Value"));
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Down);
    QCOMPARE(LetterShown(), QStringList({"two", "B"}));
    QTest::keyClick(Grid(), Qt::Key_Right);
    QCOMPARE(LetterShown(), QStringList({"bee", "B"}));
    for (int left = 0; left < 2; ++left) QTest::keyClick(Grid(), Qt::Key_Left);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualItemRect(Grid()->item(5, 0)).center());
    Grid()->setCurrentCell(3, 0);
    QCOMPARE(LetterShown(), QStringList({"two", "B"}));
    InLetters<QLineEdit>(letters::kText)->setText(QStringLiteral("X"));
    InLetters<QPushButton>(letters::kAdd)->click();
    QCOMPARE(f->session.referenceLetters.Cell(3, 0), std::string("C"));
    QCOMPARE(f->session.referenceLetters.Cell(3, 1), std::string());
    // Enter adds as "Add" does; a character with no Windows-1252 byte is stored as "?".
    Grid()->setCurrentCell(1, 2);
    InLetters<QLineEdit>(letters::kText)->setText(QStringLiteral("caf\u00E9 \u4E2D"));
    QTest::keyClick(InLetters<QLineEdit>(letters::kText), Qt::Key_Return);
    QCOMPARE(f->session.referenceLetters.Cell(1, 2), std::string("caf\xE9 ?"));
    QCOMPARE(Grid()->item(1, 2)->text(), QStringLiteral("caf\u00E9 ?"));
    f->Click(letters::kDialog, letters::kClose);
    QVERIFY(!f->window->findChild<QDialog*>(letters::kDialog)->isVisible());
    f->session.referenceLetters.SetCell(26, 2, "\xE9t\xE9");
    f->Click(names::kNewDialog, names::kLetters);
    QCOMPARE(Grid()->item(26, 2)->text(), QStringLiteral("\u00E9t\u00E9"));
    Grid()->setCurrentCell(26, 2);
    QCOMPARE(LetterShown(), QStringList({"\u00E9t\u00E9", "Z"}));
  }
};

WORDLOOM_APP_TEST(ProjectDialogTest);

}  // namespace wordloom::app::test

#include "project_dialog_test.moc"
