// The Reference Letter Definition dialog and the folder and file chooser of the project dialogs.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "app_test.h"
#include "project/file_chooser.h"
#include "project/reference_letters.h"
#include "project/reference_letters_dialog.h"

namespace wordloom::app::test {
namespace {

QStringList Texts(const QListWidget* list, int from = 0) {
  QStringList texts;
  for (int row = from; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

bool IsUnder(const QString& path, const QString& folder) {
  return path == folder || folder == QLatin1String("/") || path.startsWith(folder + QLatin1Char('/'));
}

void Show(QWidget* widget) {
  widget->show();
  QVERIFY(QTest::qWaitForWindowExposed(widget));
}

}  // namespace

class ProjectControlsTest : public QObject {
  Q_OBJECT

 private:
  ReferenceLetters letters;
  std::unique_ptr<ReferenceLettersDialog> dialog;
  QTemporaryDir folder;
  QTableWidget* Grid() const { return dialog->MSFlexGrid1; }
  QString Cell(int row, int column) const { return Grid()->item(row, column)->text(); }
  void ClickCell(int row, int column) {
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualItemRect(Grid()->item(row, column)).center());
  }
  void ExpectShown(const char* text, const char* letter) {
    QCOMPARE(dialog->Text1->text(), QString::fromLatin1(text));
    QCOMPARE(dialog->Label1->text(), QString::fromLatin1(letter));
  }

 private slots:
  void initTestCase() {
    for (const char* name : {"Sub", "alpha", ".secret"}) QVERIFY(QDir(folder.path()).mkdir(QLatin1String(name)));
    for (const char* name : {"a.txt", "B.TXT", "c.log", ".hidden.txt", "Sub/d.txt"}) {
      QFile file(folder.filePath(QLatin1String(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
  }
  void init() {
    letters = ReferenceLetters();
    letters.SetCell(0, 1, "overwritten");
    letters.SetCell(2, 1, "two");
    letters.SetCell(2, 2, "bee");
    dialog = std::make_unique<ReferenceLettersDialog>(letters);
    Show(dialog.get());
  }
  void cleanup() {
    dialog.reset();
    VerifyNoWindowLeft();
  }

  void TheFixedCellsNeverChange() {
    QCOMPARE(letters.Cell(0, 1), std::string("Value"));
    QCOMPARE(QStringList({Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(1, 0), Cell(26, 0)}),
             QStringList({"Letter", "Value", "Comment", "A", "Z"}));
    QCOMPARE(Grid()->columnWidth(1), dialog->Text1->width());
    QCOMPARE(Grid()->columnWidth(2), dialog->Text1->width());
    Grid()->setCurrentCell(2, 1);
    Grid()->setCurrentCell(3, 0);
    ExpectShown("two", "B");
    dialog->Text1->setText(QStringLiteral("X"));
    dialog->Command1->click();
    QCOMPARE(letters.Cell(3, 0), std::string("C"));
    QCOMPARE(letters.Cell(3, 1), std::string());
    QCOMPARE(Cell(3, 0), QStringLiteral("C"));
  }

  void MovesFillTheEditBoxAndAddWritesTheTable() {
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Down);
    ExpectShown("two", "B");
    QTest::keyClick(Grid(), Qt::Key_Right);
    ExpectShown("bee", "B");
    // Neither the arrow keys nor the mouse stop on a letter.
    QTest::keyClick(Grid(), Qt::Key_Left);
    QTest::keyClick(Grid(), Qt::Key_Left);
    ClickCell(5, 0);
    QCOMPARE(Grid()->currentRow(), 2);
    QCOMPARE(Grid()->currentColumn(), 1);
    ClickCell(3, 1);
    ExpectShown("", "C");
    dialog->Text1->setText(QStringLiteral("12"));
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(letters.Cell(3, 1), std::string("12"));
    QCOMPARE(Cell(3, 1), QStringLiteral("12"));
    // Enter in the edit box adds; a character with no Windows-1252 byte is stored as "?".
    Grid()->setCurrentCell(1, 2);
    dialog->Text1->setText(QStringLiteral("caf\u00E9 \u4E2D"));
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    QCOMPARE(letters.Cell(1, 2), std::string("caf\xE9 ?"));
    QCOMPARE(Cell(1, 2), QStringLiteral("caf\u00E9 ?"));
  }

  void ShowingAgainReloadsTheTable() {
    dialog->Command2->click();
    QVERIFY(!dialog->isVisible());
    letters.SetCell(26, 2, "\xE9t\xE9");
    Show(dialog.get());
    QCOMPARE(Cell(26, 2), QStringLiteral("\u00E9t\u00E9"));
    Grid()->setCurrentCell(26, 2);
    ExpectShown("\xE9t\xE9", "Z");
  }

  void TheChooserListsMatchingFilesInOrder() {
    QDialog owner;
    auto* chooser = new FileChooser(&owner);
    auto* ok = new QPushButton(QStringLiteral("OK"), &owner);
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(&owner);
    layout->addWidget(chooser);
    layout->addWidget(ok);
    Show(&owner);
    chooser->SetFolder(folder.path() + QLatin1Char('/'));
    QCOMPARE(chooser->Folder(), folder.path());
    QCOMPARE(chooser->Text2->text(), folder.path());
    QCOMPARE(Texts(chooser->File1), QStringList({"a.txt", "B.TXT"}));
    chooser->SetPattern(QStringLiteral("*.log;*.txt"));
    QCOMPARE(Texts(chooser->File1), QStringList({"a.txt", "B.TXT", "c.log"}));
    chooser->File1->item(2)->setSelected(true);
    chooser->File1->item(0)->setSelected(true);
    QCOMPARE(chooser->SelectedFiles(), QStringList({"a.txt", "c.log"}));
    chooser->SelectAll();
    QCOMPARE(chooser->SelectedFiles(), QStringList({"a.txt", "B.TXT", "c.log"}));
    chooser->SelectNone();
    QCOMPARE(chooser->SelectedFiles(), QStringList());

    // Enter refills or opens inside the panel and never presses the dialog's default button.
    QSignalSpy pressed(ok, &QPushButton::clicked);
    QSignalSpy activated(chooser, &FileChooser::fileActivated);
    chooser->Text5->setText(QStringLiteral(" *.LOG  *.none "));
    QTest::keyClick(chooser->Text5, Qt::Key_Return);
    QCOMPARE(Texts(chooser->File1), QStringList({"c.log"}));
    chooser->File1->setCurrentRow(0);
    QTest::keyClick(chooser->File1, Qt::Key_Return);
    QCOMPARE(activated.size(), 1);
    QCOMPARE(activated[0][0].toString(), QStringLiteral("c.log"));
    QCOMPARE(pressed.size(), 0);
  }

  void TheFolderTreeShowsAncestorsAndSubfolders() {
    FileChooser chooser;
    Show(&chooser);
    chooser.SetFolder(folder.filePath(QStringLiteral("Sub/gone/deeper")));
    QCOMPARE(chooser.Folder(), folder.filePath(QStringLiteral("Sub")));
    QCOMPARE(Texts(chooser.File1), QStringList({"d.txt"}));
    chooser.SetFolder(folder.path());
    QListWidget* tree = chooser.Dir1;
    const int current = tree->currentRow();
    QCOMPARE(tree->item(0)->data(Qt::UserRole).toString(), chooser.Drive1->currentData().toString());
    QCOMPARE(tree->item(current)->data(Qt::UserRole).toString(), folder.path());
    QCOMPARE(Texts(tree, current + 1), QStringList({"alpha", "Sub"}));

    // A real double-click starts with a press, which alone moves nowhere.
    const QPoint sub = tree->visualItemRect(tree->item(current + 2)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, sub);
    QCOMPARE(chooser.Folder(), folder.path());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, sub);
    QCOMPARE(chooser.Folder(), folder.filePath(QStringLiteral("Sub")));
    QCOMPARE(chooser.Text2->text(), chooser.Folder());
    QCOMPARE(Texts(chooser.File1), QStringList({"d.txt"}));
    QCOMPARE(tree->count(), current + 2);

    tree->setCurrentRow(current);
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(chooser.Folder(), folder.path());
  }

  void TheDrivesAreRootsWithoutDuplicates() {
    FileChooser chooser;
    chooser.SetFolder(folder.path());
    QStringList drives;
    for (int index = 0; index < chooser.Drive1->count(); ++index) drives << chooser.Drive1->itemData(index).toString();
    QCOMPARE(drives.first(), QStringLiteral("/"));
    QVERIFY(drives.contains(QDir::cleanPath(QDir::homePath())));
    QCOMPARE(drives.removeDuplicates(), 0);
    for (const QString& drive : drives) QVERIFY2(!IsUnder(drive, "/proc") && !IsUnder(drive, "/sys"), qPrintable(drive));
    // The drive shown is the longest that holds the folder.
    const QString shown = chooser.Drive1->currentData().toString();
    QVERIFY2(IsUnder(folder.path(), shown), qPrintable(shown));
    for (const QString& drive : drives) QVERIFY(!IsUnder(folder.path(), drive) || drive.size() <= shown.size());

    const int other = shown == drives[0] ? 1 : 0;
    if (other >= drives.size()) return;
    chooser.Drive1->setCurrentIndex(other);
    QCOMPARE(chooser.Folder(), drives[other]);
    QCOMPARE(chooser.Text2->text(), drives[other]);
    QCOMPARE(chooser.Dir1->currentRow(), 0);
  }
};

WORDLOOM_APP_TEST(ProjectControlsTest);

}  // namespace wordloom::app::test

#include "project_controls_test.moc"
