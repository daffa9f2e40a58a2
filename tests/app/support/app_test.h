// The GUI tests' shared helpers: each tests/app/NAME_test.cpp is a program of its own whose test
// class names itself with WORDLOOM_APP_TEST; helpers run wordloom-cli for the expected outputs
// and check that a test leaves no window behind.
#pragma once

#include <QtTest>     // every test program sees the whole of Qt Test,
#include <QtWidgets>  // Qt Widgets, Qt Gui and Qt Core

namespace wordloom::app::test {

// The program's test class, which main() runs (defined by WORDLOOM_APP_TEST).
QObject* MakeAppTest();

// The standard output of wordloom-cli with `arguments` (its errors go to `errors`).
QByteArray RunCli(const QStringList& arguments, QByteArray* errors = nullptr);
// Output bytes as a pane shows them: Windows-1252 decoded, CR LF made "\n".
QString AsPaneText(QByteArray bytes);
// The rows of a TSV table after its header, each split into its cells; Windows-1252 unless
// `utf8`.
QList<QStringList> TsvRows(const QByteArray& tsv, bool utf8 = false);
QString SamplePath(const QString& name);
// Writes `bytes` to the file `path` and gives back the path, or "" when it cannot.
QString WriteFile(const QString& path, const QByteArray& bytes);
// The bytes of the file `path`, or "(unreadable)".
QByteArray ReadFile(const QString& path);
// The texts of a model's rows from `from` on, in its first column and in `role`.
QStringList Rows(const QAbstractItemModel* model, int from = 0, int role = Qt::DisplayRole);
// Fails the running test when a top-level window outlives it; each class calls it in cleanup().
void VerifyNoWindowLeft();

}  // namespace wordloom::app::test

#define WORDLOOM_APP_TEST(Class)               \
  QObject* MakeAppTest() { return new Class; } \
  static_assert(true)
