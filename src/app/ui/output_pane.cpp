#include "ui/output_pane.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSaveFile>
#include <QTextDocument>

#include "ui/code_page.h"
#include "ui/rtf.h"

namespace wordloom::app {

QFont PaneFont() {
  QFont font(QString::fromLatin1(OutputPane::kFontName));
  font.setPointSizeF(OutputPane::kPointSize);
  font.setStyleHint(QFont::TypeWriter);
  const QFontInfo info(font);
  if (info.family().compare(font.family(), Qt::CaseInsensitive) != 0 || !info.fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(OutputPane::kPointSize);
  }
  return font;
}

OutputPane::OutputPane(const QString& objectName, QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(objectName);
  setFont(PaneFont());
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setUndoRedoEnabled(true);
}

bool OutputPane::LoadPlainTextFile(const QString& path, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    clear();
    error = QStringLiteral("Could not read %1: %2.").arg(path, file.errorString());
    return false;
  }
  QByteArray bytes = file.readAll();
  bytes.replace("\r\n", "\n");
  setPlainText(Decode1252(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
  return true;
}

bool SaveBytes(const QString& path, const std::string& bytes, QString& error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) &&
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
      file.commit()) {
    return true;
  }
  error = QStringLiteral("Could not save %1: %2.").arg(path, file.errorString());
  return false;
}

QString OutputPane::Text() const {
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

bool OutputPane::SaveRtf(const QString& path, QString& error) const {
  return SaveBytes(path, RtfDocument(Encode1252(Text()), kFontName, kPointSize), error);
}

bool OutputPane::SavePlainText(const QString& path, QString& error) const {
  QString text = Text();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return SaveBytes(path, Encode1252(text), error);
}

}  // namespace wordloom::app
