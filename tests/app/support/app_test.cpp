#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <QtTest>
#include <memory>

#include "app_test.h"
#include "ui/code_page.h"

namespace wordloom::app::test {

std::vector<std::function<QObject*()>>& Registry() {
  static std::vector<std::function<QObject*()>> tests;
  return tests;
}

QByteArray RunCli(const QStringList& arguments, QByteArray* errors) {
  QProcess cli;
  cli.start(QStringLiteral(WORDLOOM_CLI), arguments);
  cli.waitForFinished(60000);
  if (errors) *errors = cli.readAllStandardError();
  return cli.readAllStandardOutput();
}

QString AsPaneText(QByteArray bytes) {
  bytes.replace("\r\n", "\n");
  return Decode1252(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QString SamplePath(const QString& name) { return QStringLiteral(WORDLOOM_SOURCE_DIR "/samples/") + name; }

void VerifyNoWindowLeft() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QStringList left;
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    left << QStringLiteral("%1 %2").arg(QString::fromLatin1(window->metaObject()->className()), window->objectName());
  }
  QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("windows left: ") + left.join(QStringLiteral(", "))));
}

}  // namespace wordloom::app::test

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  int failures = 0;
  for (const auto& make : wordloom::app::test::Registry()) {
    std::unique_ptr<QObject> test(make());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
