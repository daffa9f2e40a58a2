// The GUI tests: Qt Test classes registered with WORDLOOM_APP_TEST, run one after another by
// app_test_main.cpp, and helpers that run wordloom-cli for the expected outputs.
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

}  // namespace wordloom::app::test

#define WORDLOOM_APP_TEST(Class)                                                              \
  static const bool Class##Registered = (::wordloom::app::test::Registry().push_back([] {     \
                                           return static_cast<QObject*>(new Class);           \
                                         }),                                                  \
                                         true)
