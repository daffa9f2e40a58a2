#include "ui/text_printer.h"

#include <QFile>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "ui/code_page.h"

namespace wordloom::app {

bool PrintTextFile(const QString& path, const QFont& font, QPrinter& printer, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Could not read %1: %2.").arg(path, file.errorString());
    return false;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = QStringLiteral("Could not start the printer.");
    return false;
  }
  painter.setFont(QFont(font, painter.device()));
  const QFontMetrics metrics = painter.fontMetrics();
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const int lineHeight = metrics.lineSpacing();
  int y = 0;
  while (!file.atEnd()) {
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (y + lineHeight > page.height() && y > 0) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(QRect(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::TextExpandTabs | Qt::TextSingleLine,
                     Decode1252(std::string_view(line.constData(), static_cast<size_t>(line.size()))));
    y += lineHeight;
  }
  painter.end();
  return true;
}

}  // namespace wordloom::app
