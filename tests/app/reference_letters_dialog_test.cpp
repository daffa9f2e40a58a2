// The Reference Letter Definition dialog over a table of its own.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app_test.h"
#include "project/reference_letters.h"
#include "project/reference_letters_dialog.h"
#include "project/reference_letters_dialog_names.h"

namespace wordloom::app::test {

namespace names = reference_letters_dialog_names;

class ReferenceLettersDialogTest : public QObject {
  Q_OBJECT

 private:
  ReferenceLetters letters;
  std::unique_ptr<ReferenceLettersDialog> dialog;

  template <typename T>
  T* Control(const char* name) const { return dialog->findChild<T*>(QString::fromLatin1(name)); }
  QTableWidget* Grid() const { return Control<QTableWidget>(names::kGrid); }
  QLineEdit* Text() const { return Control<QLineEdit>(names::kText); }
  QString Cell(int row, int column) const { return Grid()->item(row, column)->text(); }
  // The edit box and the letter beside it.
  QStringList Shown() const { return {Text()->text(), Control<QLabel>(names::kLetter)->text()}; }
  void Show() {
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
  }

 private slots:
  void init() {
    letters = ReferenceLetters();
    letters.SetCell(0, 1, "overwritten");
    letters.SetCell(2, 1, "two");
    letters.SetCell(2, 2, "bee");
    dialog = std::make_unique<ReferenceLettersDialog>(letters);
    Show();
  }
  void cleanup() {
    dialog.reset();
    VerifyNoWindowLeft();
  }

  void TheHeadersAndLettersNeverChange() {
    QCOMPARE(letters.Cell(0, 1), std::string("Value"));
    QCOMPARE(QStringList({Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(1, 0), Cell(26, 0)}),
             QStringList({"Letter", "Value", "Comment", "A", "Z"}));
    Grid()->setCurrentCell(2, 1);
    Grid()->setCurrentCell(3, 0);
    QCOMPARE(Shown(), QStringList({"two", "B"}));
    Text()->setText(QStringLiteral("X"));
    Control<QPushButton>(names::kAdd)->click();
    QCOMPARE(letters.Cell(3, 0), std::string("C"));
    QCOMPARE(letters.Cell(3, 1), std::string());
  }

  void NeitherArrowsNorClicksStopOnALetter() {
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Down);
    QCOMPARE(Shown(), QStringList({"two", "B"}));
    QTest::keyClick(Grid(), Qt::Key_Right);
    QCOMPARE(Shown(), QStringList({"bee", "B"}));
    QTest::keyClick(Grid(), Qt::Key_Left);
    QTest::keyClick(Grid(), Qt::Key_Left);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualItemRect(Grid()->item(5, 0)).center());
    QCOMPARE(QPoint(Grid()->currentColumn(), Grid()->currentRow()), QPoint(1, 2));
  }

  // Enter adds as "Add" does; a character with no Windows-1252 byte is stored as "?".
  void AddWritesTheTableAndTheGridShowsWhatItHolds() {
    Grid()->setCurrentCell(1, 2);
    Text()->setText(QStringLiteral("caf\u00E9 \u4E2D"));
    QTest::keyClick(Text(), Qt::Key_Return);
    QCOMPARE(letters.Cell(1, 2), std::string("caf\xE9 ?"));
    QCOMPARE(Cell(1, 2), QStringLiteral("caf\u00E9 ?"));
  }

  void ShowingAgainReloadsTheTable() {
    Control<QPushButton>(names::kClose)->click();
    QVERIFY(!dialog->isVisible());
    letters.SetCell(26, 2, "\xE9t\xE9");
    Show();
    QCOMPARE(Cell(26, 2), QStringLiteral("\u00E9t\u00E9"));
    Grid()->setCurrentCell(26, 2);
    QCOMPARE(Shown(), QStringList({"\u00E9t\u00E9", "Z"}));
  }
};

WORDLOOM_APP_TEST(ReferenceLettersDialogTest);

}  // namespace wordloom::app::test

#include "reference_letters_dialog_test.moc"
