// The GUI tests' shared helpers: each tests/app/NAME_test.cpp is a program of its own whose test
// class registers itself with WORDLOOM_APP_TEST; helpers run wordloom-cli for the expected
// outputs and check that a test leaves no window behind.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

namespace wordloom::app::test {

std::vector<std::function<QObject*()>>& Registry();

// The standard output of wordloom-cli with `arguments` (its errors go to `errors`).
QByteArray RunCli(const QStringList& arguments, QByteArray* errors = nullptr);
// Output bytes as a pane shows them: Windows-1252 decoded, CR LF made "\n".
QString AsPaneText(QByteArray bytes);
QString SamplePath(const QString& name);
// Fails the running test when a top-level window outlives it; each class calls it in cleanup().
void VerifyNoWindowLeft();

}  // namespace wordloom::app::test

#define WORDLOOM_APP_TEST(Class)                                                              \
  static const bool Class##Registered = (::wordloom::app::test::Registry().push_back([] {     \
                                           return static_cast<QObject*>(new Class);           \
                                         }),                                                  \
                                         true)
