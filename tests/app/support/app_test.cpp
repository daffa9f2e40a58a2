#include <memory>

#include "app_test.h"
#include "ui/code_page.h"

namespace wordloom::app::test {

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

QList<QStringList> TsvRows(const QByteArray& tsv, bool utf8) {
  QList<QStringList> rows;
  for (const QByteArray& line : tsv.split('\n').mid(1)) {
    if (!line.isEmpty()) rows << (utf8 ? QString::fromUtf8(line) : AsPaneText(line)).split(u'\t');
  }
  return rows;
}

QString SamplePath(const QString& name) { return QStringLiteral(WORDLOOM_SOURCE_DIR "/samples/") + name; }

QString WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList Rows(const QAbstractItemModel* model, int from, int role) {
  QStringList texts;
  for (int row = from; row < model->rowCount(); ++row) texts << model->index(row, 0).data(role).toString();
  return texts;
}

void VerifyNoWindowLeft() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QStringList left;
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    left << QString::fromLatin1(window->metaObject()->className()) + u' ' + window->objectName();
  }
  QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("windows left: ") + left.join(QStringLiteral(", "))));
}

}  // namespace wordloom::app::test

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const std::unique_ptr<QObject> test(wordloom::app::test::MakeAppTest());
  return QTest::qExec(test.get(), argc, argv) == 0 ? 0 : 1;
}
