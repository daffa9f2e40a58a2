// The folder and file panel of the project dialogs, over a temporary folder.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "app_test.h"
#include "project/file_chooser.h"
#include "project/file_chooser_names.h"

namespace wordloom::app::test {

namespace names = file_chooser_names;

class FileChooserTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder;
  std::unique_ptr<QDialog> owner;  // with a default button that Enter must not press
  FileChooser* chooser = nullptr;

  template <typename T>
  T* Control(const char* name) const { return chooser->findChild<T*>(QString::fromLatin1(name)); }
  QStringList Texts(const char* name, int from = 0) const {
    auto* list = Control<QListWidget>(name);
    QStringList texts;
    for (int row = from; row < list->count(); ++row) texts << list->item(row)->text();
    return texts;
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
    owner = std::make_unique<QDialog>();
    chooser = new FileChooser(owner.get());
    auto* ok = new QPushButton(QStringLiteral("OK"), owner.get());
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(owner.get());
    layout->addWidget(chooser);
    layout->addWidget(ok);
    owner->show();
    QVERIFY(QTest::qWaitForWindowExposed(owner.get()));
    chooser->SetFolder(folder.path() + QLatin1Char('/'));
  }
  void cleanup() {
    owner.reset();
    VerifyNoWindowLeft();
  }

  void ListsTheMatchingPlainFilesCaselessly() {
    QCOMPARE(chooser->Folder(), folder.path());
    QCOMPARE(Control<QLineEdit>(names::kFolder)->text(), folder.path());
    QCOMPARE(Texts(names::kFiles), QStringList({"a.txt", "B.TXT"}));
    chooser->SetPattern(QStringLiteral("*.log;*.txt"));
    QCOMPARE(Texts(names::kFiles), QStringList({"a.txt", "B.TXT", "c.log"}));
    auto* files = Control<QListWidget>(names::kFiles);
    files->item(2)->setSelected(true);
    files->item(0)->setSelected(true);
    QCOMPARE(chooser->SelectedFiles(), QStringList({"a.txt", "c.log"}));
    chooser->SelectAll();
    QCOMPARE(chooser->SelectedFiles(), QStringList({"a.txt", "B.TXT", "c.log"}));
    chooser->SelectNone();
    QCOMPARE(chooser->SelectedFiles(), QStringList());
  }

  void EnterActsInsideThePanelAndNeverOnTheDefaultButton() {
    QSignalSpy pressed(owner->findChild<QPushButton*>(), &QPushButton::clicked);
    QSignalSpy activated(chooser, &FileChooser::fileActivated);
    auto* pattern = Control<QLineEdit>(names::kPattern);
    pattern->setText(QStringLiteral(" *.LOG  *.none "));
    QTest::keyClick(pattern, Qt::Key_Return);
    QCOMPARE(Texts(names::kFiles), QStringList({"c.log"}));
    auto* files = Control<QListWidget>(names::kFiles);
    files->setCurrentRow(0);
    QTest::keyClick(files, Qt::Key_Return);
    QCOMPARE(activated.size(), 1);
    QCOMPARE(activated[0][0].toString(), QStringLiteral("c.log"));
    QCOMPARE(pressed.size(), 0);
  }

  void TheFolderTreeShowsAncestorsAndMovesOnADoubleClick() {
    chooser->SetFolder(folder.filePath(QStringLiteral("Sub/gone/deeper")));  // the nearest that exists
    QCOMPARE(chooser->Folder(), folder.filePath(QStringLiteral("Sub")));
    chooser->SetFolder(folder.path());
    auto* tree = Control<QListWidget>(names::kFolders);
    const int current = tree->currentRow();
    QCOMPARE(tree->item(0)->data(Qt::UserRole), Control<QComboBox>(names::kDrives)->currentData());
    QCOMPARE(tree->item(current)->data(Qt::UserRole).toString(), folder.path());
    QCOMPARE(Texts(names::kFolders, current + 1), QStringList({"alpha", "Sub"}));
    // A real double-click starts with a press, which alone moves nowhere.
    const QPoint sub = tree->visualItemRect(tree->item(current + 2)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, sub);
    QCOMPARE(chooser->Folder(), folder.path());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, sub);
    QCOMPARE(chooser->Folder(), folder.filePath(QStringLiteral("Sub")));
    QCOMPARE(Texts(names::kFiles), QStringList({"d.txt"}));
    QCOMPARE(tree->count(), current + 2);
    tree->setCurrentRow(current);
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(chooser->Folder(), folder.path());
  }

  void TheDriveShownIsTheLongestRootHoldingTheFolder() {
    auto* drives = Control<QComboBox>(names::kDrives);
    QStringList roots;
    for (int index = 0; index < drives->count(); ++index) roots << drives->itemData(index).toString();
    QCOMPARE(roots.first(), QStringLiteral("/"));
    QVERIFY(roots.contains(QDir::cleanPath(QDir::homePath())));
    QCOMPARE(roots.removeDuplicates(), 0);
    const QString shown = drives->currentData().toString();
    const auto holds = [this](const QString& root) {
      return root == QLatin1String("/") || (folder.path() + u'/').startsWith(root + u'/');
    };
    QVERIFY2(holds(shown), qPrintable(shown));
    for (const QString& root : roots) {
      QVERIFY2(!root.startsWith(QLatin1String("/proc")) && !root.startsWith(QLatin1String("/sys")), qPrintable(root));
      QVERIFY(!holds(root) || root.size() <= shown.size());
    }
    drives->setCurrentIndex(shown == roots[0] && roots.size() > 1 ? 1 : 0);  // another drive shows its root
    QCOMPARE(chooser->Folder(), drives->currentData().toString());
  }
};

WORDLOOM_APP_TEST(FileChooserTest);

}  // namespace wordloom::app::test

#include "file_chooser_test.moc"
