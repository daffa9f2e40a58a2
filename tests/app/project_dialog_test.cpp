// The New and Edit Project dialogs, the reference letters and the key words, driven from the
// main window; the projects they save are compared with what wordloom-cli writes.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>

#include "app_test.h"
#include "project/file_chooser.h"
#include "project/project_dialog.h"
#include "shell/small_windows.h"
#include "window_fixture.h"

namespace wordloom::app::test {

class ProjectDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;
  const QString samplesFolder = QFileInfo(SamplePath(QStringLiteral("harbour.txt"))).absolutePath();

  ProjectDialog* Dialog(const char* name) const { return f->window->findChild<ProjectDialog*>(name); }
  template <typename T>
  T* In(const char* dialog, const char* name) const {
    return f->FindIn<T>(dialog, name);
  }
  static void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  static QStringList Entries(QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
    return entries;
  }
  QStringList Samples(const QStringList& names) const {
    QStringList paths;
    for (const QString& name : names) paths << samplesFolder + QLatin1Char('/') + name;
    return paths;
  }
  // Selects the named entries of the New Project dialog's file list and adds them.
  void AddSamples(const QStringList& names) {
    QListWidget* files = In<QListWidget>("Form1", "File1");
    Dialog("Form1")->chooser->SetFolder(samplesFolder);
    for (int row = 0; row < files->count(); ++row) {
      files->item(row)->setSelected(names.contains(files->item(row)->text()));
    }
    f->Click("Form1", "Command1");
  }
  // A project file's records without the date and the time of saving.
  static QStringList Records(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("cannot read ") + path};
    QStringList records = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    records.remove(2, 2);
    return records;
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
    f->Trigger("mnuFileNew");
    ProjectDialog* form1 = Dialog("Form1");
    QVERIFY(form1->isVisible());
    QCOMPARE(form1->windowTitle(), QStringLiteral("New Wlm Project"));
    QCOMPARE(form1->Text1->text(), QDir::currentPath() + QStringLiteral("/Project1"));
    QCOMPARE(form1->Text4->text(), QStringLiteral("abcdefghijklmnopqrstuvwxyz'-0123456789"));
    QVERIFY(form1->Option10->isChecked() && !form1->Frame2->isEnabled());
    Type(form1->Text3, QStringLiteral("Samples"));
    AddSamples({QStringLiteral("harbour.txt"), QStringLiteral("lanterns.txt"), QStringLiteral("orchard.txt")});
    f->Click("Form1", "Command1");  // the same files again
    const QStringList files = Samples({QStringLiteral("harbour.txt"), QStringLiteral("lanterns.txt"),
                                       QStringLiteral("orchard.txt")});
    QCOMPARE(Entries(form1->List1), files);
    QTest::mouseClick(form1->Option11, Qt::LeftButton);
    QVERIFY(form1->Frame2->isEnabled());

    const QString saved = f->Path(QStringLiteral("samples.wlm"));
    f->prompts.answers.enqueue(true);
    f->prompts.fileNames.enqueue(saved);
    f->Click("Form1", "Command3");
    QVERIFY(!form1->isVisible());
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Wlm projects (*.wlm)|*.wlm"));

    const QString expected = f->Path(QStringLiteral("expected.wlm"));
    f->Cli(QStringList{QStringLiteral("new"), expected, QStringLiteral("--title"), QStringLiteral("Samples"),
                    QStringLiteral("--refs"), QStringLiteral("type1")} + files);
    QCOMPARE(Records(saved), Records(expected));
    const QStringList info = QString::fromLatin1(f->Cli({QStringLiteral("info"), expected})).split(QLatin1Char('\n'));
    QCOMPARE(f->Label("Panel1"), saved);
    QCOMPARE(f->Label("Panel2"), info[0]);
    QCOMPARE(f->Label("Panel3"), info[1]);
    QCOMPARE(f->Find<QLineEdit>("Text2")->text(), info[2]);
    QCOMPARE(f->Find<QLineEdit>("Text7")->text(), info[3]);
    QCOMPARE(f->session.project.FileName, saved.toStdString());

    f->Open(saved);
    QCOMPARE(f->Label("Panel3"), info[1]);
    QCOMPARE(f->session.project.Files.size(), size_t(3));
  }

  void NoPathAndTheOneCharacterBoxes() {
    f->Trigger("mnuFileNew");
    ProjectDialog* form1 = Dialog("Form1");
    QTest::mouseClick(form1->Check2, Qt::LeftButton);
    AddSamples({QStringLiteral("orchard.txt")});
    QCOMPARE(Entries(form1->List1), QStringList{QStringLiteral("orchard.txt")});
    QCOMPARE(f->session.newProject.Files, std::vector<std::string>{"orchard.txt"});
    QListWidgetItem* entry = form1->List1->item(0);
    emit form1->List1->itemDoubleClicked(entry);
    QCOMPARE(form1->List1->count(), 0);
    QVERIFY(f->session.newProject.Files.empty());

    QTest::keyClicks(form1->Text6, QStringLiteral("+&"));
    QCOMPARE(form1->Text6->text(), QStringLiteral("+"));
    QTest::keyClicks(form1->Text7, QStringLiteral("x"));  // holds "/" already
    QCOMPARE(form1->Text7->text(), QStringLiteral("/"));
    QTest::keyClick(form1->Text7, Qt::Key_Backspace);
    QTest::keyClicks(form1->Text7, QStringLiteral("|"));
    QCOMPARE(f->session.newProject.rules.join, std::string("+"));
    QCOMPARE(f->session.newProject.rules.endOfLine, std::string("|"));
    f->Click("Form1", "Command8");
    QVERIFY(!form1->isVisible());

    f->Trigger("mnuViewProject");
    ProjectDialog* form4 = Dialog("Form4");
    QCOMPARE(form4->windowTitle(), QStringLiteral("Wlm Project"));
    QVERIFY(!form4->Check2 && !form4->findChild<QCheckBox*>(QStringLiteral("Check2")));
    QTest::keyClicks(form4->Text6, QStringLiteral("+&"));
    QCOMPARE(f->session.project.rules.join, std::string("+&"));
    f->Click("Form4", "Command8");
    f->Trigger("mnuFileNew");  // a new project starts from the defaults again
    QCOMPARE(form1->Text6->text(), QString());
    QCOMPARE(form1->Text7->text(), QStringLiteral("/"));
    f->Click("Form1", "Command8");
  }

  void TheEditProjectDialogHoldsTheCurrentProject() {
    const QString samples = SamplePath(QStringLiteral("samples.wlm"));
    f->Open(samples);
    f->Trigger("mnuViewProject");
    ProjectDialog* form4 = Dialog("Form4");
    QCOMPARE(form4->Text1->text(), samples);
    QCOMPARE(form4->List1->count(), 3);

    Type(form4->Text3, QStringLiteral("   "));
    f->Click("Form4", "Command3");
    QCOMPARE(f->prompts.messages.last(), QStringLiteral("Please Supply a Title"));
    QVERIFY(form4->isVisible());

    f->prompts.fileNames.enqueue(QString());  // "Browse", cancelled
    f->Click("Form4", "Command2");
    QCOMPARE(f->prompts.fileFilters.last(), QStringLiteral("Text (*.txt)|*.txt"));
    QCOMPARE(form4->Text1->text(), samples);

    Type(form4->Text3, QStringLiteral("Renamed"));
    QTest::mouseClick(form4->Check1, Qt::LeftButton);
    QCOMPARE(f->prompts.messages.last(), QStringLiteral("Vocabulary NOT saved!"));
    f->prompts.answers.enqueue(false);
    f->Click("Form4", "Command3");
    QVERIFY(!form4->isVisible());
    QCOMPARE(form4->Text1->text(), QString());
    QVERIFY(f->session.project.FileName.empty());
    QCOMPARE(f->Label("Panel1"), QString());
    QCOMPARE(f->Label("Panel2"), QStringLiteral("Renamed"));

    // The font, the vocabulary scope and the patterns go into the project as they are chosen.
    f->Trigger("mnuViewProject");
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSizeF(12);
    chosen.setItalic(true);
    f->prompts.fonts.enqueue(chosen);
    f->Click("Form4", "Command5");
    f->Click("Form4", "Command5");  // cancelled: nothing changes
    QCOMPARE(form4->Text4->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(f->session.project.font.name, std::string("DejaVu Sans"));
    QCOMPARE(f->session.project.font.size, 12.0);
    QVERIFY(f->session.project.font.italic && !f->session.project.font.bold);
    QTest::mouseClick(form4->Option3, Qt::LeftButton);
    QTest::keyClicks(form4->Text10, QStringLiteral("un"));
    QCOMPARE(f->session.project.scope, VocabularyScope::Matches);
    QCOMPARE(f->session.project.PrefixPattern, std::string("un"));

    // Cancel keeps what was typed, in the dialog and in the project.
    Type(form4->Text3, QStringLiteral("Kept"));
    f->Click("Form4", "Command8");
    f->Trigger("mnuViewProject");
    QCOMPARE(form4->Text3->text(), QStringLiteral("Kept"));
    QCOMPARE(f->session.project.Title, std::string("Kept"));
    f->Click("Form4", "Command8");
  }

  void SaveInTheEditProjectDialogScansWithItsRules() {
    f->Open(SamplePath(QStringLiteral("samples.wlm")));
    f->Trigger("mnuViewProject");
    ProjectDialog* form4 = Dialog("Form4");
    Type(form4->Text4, QStringLiteral("abc"));
    const QString saved = f->Path(QStringLiteral("abc.wlm"));
    f->prompts.fileNames.enqueue(saved);
    f->Click("Form4", "Command7");
    QVERIFY(form4->isVisible());
    QVERIFY(!f->session.lists.Vocabulary.empty());
    for (const Entry& entry : f->session.lists.Vocabulary) {
      QVERIFY2(entry.word.find_first_not_of("abc") == std::string::npos, entry.word.c_str());
    }
    QVERIFY(QFile::exists(saved));
    f->Click("Form4", "Command8");
  }

  void AReferenceValueForCIsTheEleventhCellLine() {
    f->Trigger("mnuFileNew");
    ProjectDialog* form1 = Dialog("Form1");
    AddSamples({QStringLiteral("lanterns.txt")});
    QTest::mouseClick(form1->Option11, Qt::LeftButton);
    f->Click("Form1", "Command9");
    auto* form5 = f->window->findChild<QDialog*>(QStringLiteral("Form5"));
    QVERIFY(form5->isVisible());
    In<QTableWidget>("Form5", "MSFlexGrid1")->setCurrentCell(3, 1);
    Type(In<QLineEdit>("Form5", "Text1"), QStringLiteral("Chapter"));
    f->Click("Form5", "Command1");
    f->Click("Form5", "Command2");
    QVERIFY(!form5->isVisible());

    const QString saved = f->Path(QStringLiteral("lanterns.wlm"));
    f->prompts.answers.enqueue(true);
    f->prompts.fileNames.enqueue(saved);
    f->Click("Form1", "Command3");
    const QStringList records = Records(saved);
    const qsizetype cells = records.indexOf(QStringLiteral("\"Letter\""));
    QCOMPARE(records.mid(cells - 2, 2), (QStringList{QStringLiteral("27"), QStringLiteral("3")}));
    QCOMPARE(records[cells + 10], QStringLiteral("\"Chapter\""));

    const QString expected = f->Path(QStringLiteral("expected.wlm"));
    f->Cli({QStringLiteral("new"), expected, QStringLiteral("--title"), QStringLiteral("Project1"),
         QStringLiteral("--refs"), QStringLiteral("type1"), QStringLiteral("--define"), QStringLiteral("C=Chapter"),
         Samples({QStringLiteral("lanterns.txt")})[0]});
    QCOMPARE(records, Records(expected));
  }

  void TheErrorReportFollowsATextFileWithMalformedTags() {
    const QString text = f->Path(QStringLiteral("bad.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<AAct> one\r\n<B Scene two\r\nthree\r\n");
    file.close();
    for (int round = 0; round < 2; ++round) {
      f->Open(text);
      ProjectDialog* form1 = Dialog("Form1");
      QVERIFY(form1->isVisible());
      QCOMPARE(form1->Text3->text(), QStringLiteral("bad"));
      QCOMPARE(Entries(form1->List1), QStringList{text});
      auto* report = f->window->findChild<ErrorReportWindow*>(QStringLiteral("Form6"));
      if (report) QVERIFY(!report->isVisible() && report->Report().isEmpty());  // emptied for this scan
      QTest::mouseClick(form1->Option11, Qt::LeftButton);
      f->prompts.answers.enqueue(false);
      f->Click("Form1", "Command3");
    }
    QByteArray errors;
    f->Cli({QStringLiteral("info"), text, QStringLiteral("--refs"), QStringLiteral("type1")}, &errors);
    auto* report = f->window->findChild<ErrorReportWindow*>(QStringLiteral("Form6"));
    QVERIFY(report && report->isVisible());
    QCOMPARE(report->Report(), QString::fromLatin1(errors).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }

  void ARefusedOrCancelledNewProjectLeavesTheCurrentOne() {
    const QString samples = SamplePath(QStringLiteral("samples.wlm"));
    f->Open(samples);
    const auto flags = f->session.scan.references.ReferenceLetterUsed;
    const QString letters = f->Find<QLineEdit>("Text7")->text();
    f->Trigger("mnuFileNew");
    ProjectDialog* form1 = Dialog("Form1");
    Type(form1->Text3, QStringLiteral("  "));
    AddSamples({QStringLiteral("harbour.txt")});
    f->Click("Form1", "Command3");
    QCOMPARE(f->prompts.messages.last(), QStringLiteral("Please Supply a Title"));
    QVERIFY(form1->isVisible() && form1->Command3->isEnabled());
    QCOMPARE(f->session.project.Files.size(), size_t(3));
    f->Click("Form1", "Command8");

    const QString text = f->Path(QStringLiteral("notes.txt"));
    QVERIFY(QFile::copy(SamplePath(QStringLiteral("orchard.txt")), text));
    f->Open(text);
    f->Click("Form1", "Command8");
    QCOMPARE(f->Label("Panel1"), samples);
    QCOMPARE(f->Find<QLineEdit>("Text7")->text(), letters);
    QVERIFY(f->session.scan.references.ReferenceLetterUsed == flags);
    QCOMPARE(f->session.project.Files.size(), size_t(3));

    // Save makes the project current: cancelling afterwards still shows it.
    f->Open(text);
    f->prompts.fileNames.enqueue(f->Path(QStringLiteral("notes.wlm")));
    f->Click("Form1", "Command7");
    f->Click("Form1", "Command8");
    QCOMPARE(f->Label("Panel1"), f->Path(QStringLiteral("notes.wlm")));
    QCOMPARE(f->Label("Panel2"), QStringLiteral("notes"));
    QCOMPARE(f->session.project.Files, std::vector<std::string>{text.toStdString()});
  }

  void SaveInTheNewProjectDialogSavesTheNewProject() {
    f->Open(SamplePath(QStringLiteral("samples.wlm")));
    f->window->RunKwic(QStringLiteral("lantern"));
    QVERIFY(!f->Pane("RichTextBox1").isEmpty());
    f->Trigger("mnuFileNew");
    ProjectDialog* form1 = Dialog("Form1");
    Type(form1->Text3, QStringLiteral("Fresh"));
    AddSamples({QStringLiteral("harbour.txt")});
    const QString unwritable = f->Path(QStringLiteral("missing/fresh.wlm"));
    f->prompts.fileNames.enqueue(unwritable);
    f->Click("Form1", "Command7");
    QVERIFY2(f->prompts.messages.last().startsWith(QStringLiteral("Could not save the project to ") + unwritable),
             qPrintable(f->prompts.messages.last()));

    const QString saved = f->Path(QStringLiteral("fresh.wlm"));
    f->prompts.fileNames.enqueue(saved);
    f->Click("Form1", "Command7");
    QVERIFY(form1->isVisible());
    QCOMPARE(form1->Text1->text(), saved);
    const QStringList records = Records(saved);
    QCOMPARE(records[1], QStringLiteral("\"Fresh\""));
    const QString harbour = Samples({QStringLiteral("harbour.txt")})[0];
    QCOMPARE(records.mid(9, 2), (QStringList{QStringLiteral("1"), QLatin1Char('"') + harbour + QLatin1Char('"')}));
    QCOMPARE(f->Label("Panel2"), QStringLiteral("Fresh"));
    QCOMPARE(f->Pane("RichTextBox1"), QString());  // no output of the previous project is left
    f->Click("Form1", "Command8");
  }

  void AScanTurnsTheDialogOff() {
    const QString text = f->Path(QStringLiteral("long.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int line = 0; line < 300000; ++line) file.write("the cat sat on the mat by the door\r\n");
    file.close();
    f->Open(text);
    ProjectDialog* form1 = Dialog("Form1");
    bool seen = false;
    bool off = true;
    // As the scan starts, the dialog and what would start another pass are off.
    connect(f->window.get(), &MainWindow::busyChanged, form1, [&](bool busy) {
      if (!busy) return;
      seen = true;
      off = !form1->Command3->isEnabled() && !form1->Command7->isEnabled() && !form1->List1->isEnabled() &&
            form1->ProgressBar1->isEnabled() && !f->Find<QAction>("mnuFileNew")->isEnabled();
      form1->reject();  // cannot be closed while it scans
      off = off && form1->isVisible();
    });
    f->prompts.answers.enqueue(false);
    f->Click("Form1", "Command3");
    QVERIFY(seen && off);
    QVERIFY(!form1->isVisible());
    QVERIFY(form1->Command3->isEnabled());
    QCOMPARE(f->session.totals.tokenCount, int64_t(300000 * 9));
  }

  void TheKeyWordsDialogOpensFromTheMainWindow() {
    f->Open(SamplePath(QStringLiteral("samples.wlm")));
    f->Click("Command9");
    auto* form3 = f->window->findChild<QDialog*>(QStringLiteral("Form3"));
    QVERIFY(form3->isVisible());
    f->Click("Form3", "Command5");  // "Clear"
    f->Click("Form3", "Command2");  // "OK"
    QVERIFY(!form3->isVisible());
    QCOMPARE(f->Find<QLineEdit>("Text2")->text(), QStringLiteral("No words selected"));
    QVERIFY(f->session.lists.KeyWordsList.empty());
    for (const char* option : {"Option9", "Option11"}) {
      auto* keyWords = f->Find<QRadioButton>(option);
      QTest::mouseDClick(keyWords, Qt::LeftButton);
      QVERIFY(form3->isVisible());
      f->Click("Form3", "Command1");  // "Cancel"
    }
  }
};

WORDLOOM_APP_TEST(ProjectDialogTest);

}  // namespace wordloom::app::test

#include "project_dialog_test.moc"
