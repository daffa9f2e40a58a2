// The New and Edit Project dialogs driven from the main window; the projects they save are
// compared with what wordloom-cli writes.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>

#include "app_test.h"
#include "project/file_chooser_names.h"
#include "project/project_dialog.h"
#include "project/project_dialog_names.h"
#include "project/reference_letters_dialog_names.h"
#include "shell/small_windows.h"
#include "shell/small_windows_names.h"
#include "shell/main_window_names.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = project_dialog_names;

class ProjectDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samplesFolder = QFileInfo(SamplePath(QStringLiteral("harbour.txt"))).absolutePath();

  ProjectDialog* Dialog(const char* name) const { return f->window->findChild<ProjectDialog*>(name); }
  template <typename T>
  T* InNew(const char* name) const { return f->FindIn<T>(names::kNewDialog, name); }
  template <typename T>
  T* InEdit(const char* name) const { return f->FindIn<T>(names::kEditDialog, name); }
  static void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  QStringList Entries(const char* dialog) const {
    auto* list = f->FindIn<QListWidget>(dialog, names::kProjectFiles);
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
    return entries;
  }
  QStringList Samples(const QStringList& names) const {
    QStringList paths;
    for (const QString& name : names) paths << samplesFolder + QLatin1Char('/') + name;
    return paths;
  }
  // Selects the named samples in the New Project dialog's file list and adds them.
  void AddSamples(const QStringList& samples) {
    Dialog(names::kNewDialog)->ResetFolder(samplesFolder);
    auto* files = InNew<QListWidget>(file_chooser_names::kFiles);
    for (int row = 0; row < files->count(); ++row) {
      files->item(row)->setSelected(samples.contains(files->item(row)->text()));
    }
    f->Click(names::kNewDialog, names::kAddFiles);
  }
  // Answers "save?" with yes and the file dialog with `path`, then presses OK.
  void OkAndSaveAs(const QString& path) {
    f->prompts.answers.enqueue(true);
    f->prompts.fileNames.enqueue(path);
    f->Click(names::kNewDialog, names::kOk);
  }
  // A project file's records without the date and the time of saving.
  static QStringList Records(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("cannot read ") + path};
    QStringList records = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    records.remove(2, 2);
    return records;
  }
  QString WriteText(const QString& name, const QByteArray& bytes) const {
    QFile file(f->Path(name));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return file.fileName();
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    const QStringList unexpected = f->prompts.unexpected;
    f.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(", ")));
    VerifyNoWindowLeft();
  }

  void ANewProjectFromTheSamplesIsTheOneTheToolMakes() {
    f->Trigger(main_window_names::kNew);
    Type(InNew<QLineEdit>(names::kTitle), QStringLiteral("Samples"));
    const QStringList samples{"harbour.txt", "lanterns.txt", "orchard.txt"};
    AddSamples(samples);
    f->Click(names::kNewDialog, names::kAddFiles);  // the same files again
    QCOMPARE(Entries(names::kNewDialog), Samples(samples));
    QVERIFY(!InNew<QGroupBox>(names::kReferencePatternFrame)->isEnabled());
    QTest::mouseClick(InNew<QRadioButton>(names::kType1References), Qt::LeftButton);
    QVERIFY(InNew<QGroupBox>(names::kReferencePatternFrame)->isEnabled());
    const QString saved = f->Path(QStringLiteral("samples.wlm"));
    OkAndSaveAs(saved);
    QVERIFY(!Dialog(names::kNewDialog)->isVisible());

    const QString expected = f->Path(QStringLiteral("expected.wlm"));
    f->Cli(QStringList{QStringLiteral("new"), expected, QStringLiteral("--title"), QStringLiteral("Samples"),
                       QStringLiteral("--refs"), QStringLiteral("type1")} + Samples(samples));
    QCOMPARE(Records(saved), Records(expected));
    const QStringList info = QString::fromLatin1(f->Cli({QStringLiteral("info"), expected})).split(QLatin1Char('\n'));
    QCOMPARE(f->Label(main_window_names::kPathPanel), saved);
    QCOMPARE(f->Label(main_window_names::kTitlePanel), info[0]);
    QCOMPARE(f->Label(main_window_names::kCountsPanel), info[1]);
    QCOMPARE(f->Find<QLineEdit>(main_window_names::kKeyWordsSummary)->text(), info[2]);
    QCOMPARE(f->Find<QLineEdit>(main_window_names::kCitationLetters)->text(), info[3]);
  }

  void NoPathAddsTheNameAloneAndADoubleClickTakesItOut() {
    f->Trigger(main_window_names::kNew);
    QTest::mouseClick(InNew<QCheckBox>(names::kNoPath), Qt::LeftButton);
    AddSamples({QStringLiteral("orchard.txt")});
    QCOMPARE(Entries(names::kNewDialog), QStringList{QStringLiteral("orchard.txt")});
    QCOMPARE(f->session.newProject.Files, std::vector<std::string>{"orchard.txt"});
    auto* list = InNew<QListWidget>(names::kProjectFiles);
    emit list->itemDoubleClicked(list->item(0));
    QCOMPARE(list->count(), 0);
    QVERIFY(f->session.newProject.Files.empty());
    f->Click(names::kNewDialog, names::kCancel);
  }

  void OnlyTheNewProjectsRuleBoxesTakeOneCharacter() {
    f->Trigger(main_window_names::kNew);
    auto* join = InNew<QLineEdit>(names::kJoin);
    auto* endOfLine = InNew<QLineEdit>(names::kEndOfLine);  // holds "/"
    QTest::keyClicks(join, QStringLiteral("+&"));
    QTest::keyClicks(endOfLine, QStringLiteral("x"));
    QCOMPARE(join->text(), QStringLiteral("+"));
    QCOMPARE(endOfLine->text(), QStringLiteral("/"));
    QTest::keyClick(endOfLine, Qt::Key_Backspace);
    QTest::keyClicks(endOfLine, QStringLiteral("|"));
    QCOMPARE(f->session.newProject.rules.endOfLine, std::string("|"));
    f->Click(names::kNewDialog, names::kCancel);

    f->Trigger(main_window_names::kViewProject);
    QTest::keyClicks(InEdit<QLineEdit>(names::kJoin), QStringLiteral("+&"));
    QCOMPARE(f->session.project.rules.join, std::string("+&"));
    f->Click(names::kEditDialog, names::kCancel);
  }

  void TheChosenFontGoesIntoTheProjectAndCancelKeepsWhatWasTyped() {
    f->Open(SamplePath(QStringLiteral("samples.wlm")));
    f->Trigger(main_window_names::kViewProject);
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSizeF(12);
    chosen.setItalic(true);
    f->prompts.fonts.enqueue(chosen);
    f->Click(names::kEditDialog, names::kFont);
    f->Click(names::kEditDialog, names::kFont);  // cancelled: nothing changes
    QCOMPARE(InEdit<QLineEdit>(names::kAlphabet)->font().family(), QStringLiteral("DejaVu Sans"));
    const AlphabetFont& font = f->session.project.font;
    QVERIFY(font.name == "DejaVu Sans" && font.size == 12.0 && font.italic && !font.bold);
    Type(InEdit<QLineEdit>(names::kTitle), QStringLiteral("Kept"));
    f->Click(names::kEditDialog, names::kCancel);
    f->Trigger(main_window_names::kViewProject);
    QCOMPARE(InEdit<QLineEdit>(names::kTitle)->text(), QStringLiteral("Kept"));
    QCOMPARE(f->session.project.Title, std::string("Kept"));
    f->Click(names::kEditDialog, names::kCancel);
  }

  void SaveInTheEditProjectDialogScansWithItsRules() {
    f->Open(SamplePath(QStringLiteral("samples.wlm")));
    f->Trigger(main_window_names::kViewProject);
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
    f->Click(names::kEditDialog, names::kCancel);
  }

  void AReferenceLetterValueIsSavedAsTheToolSavesIt() {
    namespace letters = reference_letters_dialog_names;
    f->Trigger(main_window_names::kNew);
    AddSamples({QStringLiteral("lanterns.txt")});
    QTest::mouseClick(InNew<QRadioButton>(names::kType1References), Qt::LeftButton);
    f->Click(names::kNewDialog, names::kLetters);
    f->FindIn<QTableWidget>(letters::kDialog, letters::kGrid)->setCurrentCell(3, 1);
    Type(f->FindIn<QLineEdit>(letters::kDialog, letters::kText), QStringLiteral("Chapter"));
    f->Click(letters::kDialog, letters::kAdd);
    f->Click(letters::kDialog, letters::kClose);
    const QString saved = f->Path(QStringLiteral("lanterns.wlm"));
    OkAndSaveAs(saved);

    const QString expected = f->Path(QStringLiteral("expected.wlm"));
    f->Cli({QStringLiteral("new"), expected, QStringLiteral("--title"), QStringLiteral("Project1"),
            QStringLiteral("--refs"), QStringLiteral("type1"), QStringLiteral("--define"), QStringLiteral("C=Chapter"),
            Samples({QStringLiteral("lanterns.txt")})[0]});
    QVERIFY(Records(saved).contains(QStringLiteral("\"Chapter\"")));
    QCOMPARE(Records(saved), Records(expected));
  }

  // Each opening of a text file empties the Error Report first: it shows the errors the tool
  // reports for the file, once.
  void TheErrorReportShowsTheErrorsOfTheLastTextFileOpened() {
    const QString text = WriteText(QStringLiteral("bad.txt"), "<AAct> one\r\n<B Scene two\r\nthree\r\n");
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
    QCOMPARE(report->Report(), QString::fromLatin1(errors).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }

  void ABlankTitleOrCancelLeavesTheCurrentProject() {
    const QString samples = SamplePath(QStringLiteral("samples.wlm"));
    f->Open(samples);
    const auto flags = f->session.scan.references.ReferenceLetterUsed;
    const QString letters = f->Find<QLineEdit>(main_window_names::kCitationLetters)->text();
    f->Trigger(main_window_names::kNew);
    Type(InNew<QLineEdit>(names::kTitle), QStringLiteral("  "));
    AddSamples({QStringLiteral("harbour.txt")});
    f->Click(names::kNewDialog, names::kOk);
    QCOMPARE(f->prompts.messages.last(), QStringLiteral("Please Supply a Title"));
    QVERIFY(Dialog(names::kNewDialog)->isVisible() && InNew<QPushButton>(names::kOk)->isEnabled());
    f->Click(names::kNewDialog, names::kCancel);

    const QString text = f->Path(QStringLiteral("notes.txt"));
    QVERIFY(QFile::copy(SamplePath(QStringLiteral("orchard.txt")), text));
    f->Open(text);
    f->Click(names::kNewDialog, names::kCancel);
    QCOMPARE(f->Label(main_window_names::kPathPanel), samples);
    QCOMPARE(f->Find<QLineEdit>(main_window_names::kCitationLetters)->text(), letters);
    QVERIFY(f->session.scan.references.ReferenceLetterUsed == flags);
    QCOMPARE(f->session.project.Files.size(), size_t(3));
  }

  // Save makes the project of a text file current, even when the dialog is then cancelled,
  // and leaves no output of the previous project on show.
  void SaveInTheNewProjectDialogMakesItsProjectCurrent() {
    f->Open(SamplePath(QStringLiteral("samples.wlm")));
    f->window->RunKwic(QStringLiteral("lantern"));
    f->WaitForPass();
    QVERIFY(!f->Pane(main_window_names::kConcordancePane).isEmpty());
    const QString text = f->Path(QStringLiteral("fresh.txt"));
    QVERIFY(QFile::copy(SamplePath(QStringLiteral("harbour.txt")), text));
    f->Open(text);
    const QString unwritable = f->Path(QStringLiteral("missing/fresh.wlm"));
    f->prompts.fileNames.enqueue(unwritable);
    f->Click(names::kNewDialog, names::kSave);
    QVERIFY2(f->prompts.messages.last().startsWith(QStringLiteral("Could not save the project to ") + unwritable),
             qPrintable(f->prompts.messages.last()));
    const QString saved = f->Path(QStringLiteral("fresh.wlm"));
    f->prompts.fileNames.enqueue(saved);
    f->Click(names::kNewDialog, names::kSave);
    QCOMPARE(InNew<QLineEdit>(names::kFileName)->text(), saved);
    f->Click(names::kNewDialog, names::kCancel);
    QCOMPARE(Records(saved).mid(9, 2), (QStringList{QStringLiteral("1"), QLatin1Char('"') + text + QLatin1Char('"')}));
    QCOMPARE(f->Label(main_window_names::kPathPanel), saved);
    QCOMPARE(f->Label(main_window_names::kTitlePanel), QStringLiteral("fresh"));
    QCOMPARE(f->Pane(main_window_names::kConcordancePane), QString());
  }

  void AScanTurnsTheDialogOffButItsProgressBar() {
    f->Open(WriteText(QStringLiteral("short.txt"), "the cat sat on the mat\r\n"));
    ProjectDialog* dialog = Dialog(names::kNewDialog);
    auto* bar = InNew<QProgressBar>(names::kProgress);
    QVERIFY(!bar->isVisible());
    bool off = false;
    connect(f->window.get(), &MainWindow::busyChanged, dialog, [&](bool busy) {
      if (!busy) return;
      off = !InNew<QPushButton>(names::kOk)->isEnabled() && !InNew<QPushButton>(names::kSave)->isEnabled() &&
            !InNew<QListWidget>(names::kProjectFiles)->isEnabled() && bar->isVisible() && bar->isEnabled() &&
            bar->maximum() == 0 && !f->Find<QAction>(main_window_names::kNew)->isEnabled();
      dialog->reject();  // cannot be closed while it scans
      off = off && dialog->isVisible();
    });
    f->prompts.answers.enqueue(false);
    f->Click(names::kNewDialog, names::kOk);
    QVERIFY(off);
    QVERIFY(!dialog->isVisible() && !bar->isVisible() && InNew<QPushButton>(names::kOk)->isEnabled());
    QCOMPARE(f->session.totals.tokenCount, int64_t(6));
  }
};

WORDLOOM_APP_TEST(ProjectDialogTest);

}  // namespace wordloom::app::test

#include "project_dialog_test.moc"
