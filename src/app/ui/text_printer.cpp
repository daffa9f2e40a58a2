#include "ui/text_printer.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "ui/code_page.h"
#include "ui/output_file.h"
#include "ui/output_text.h"

namespace wordloom::app {

bool PrintTextFile(const OutputFile& file, const QFont& font, QPrinter& printer, QString& error) {
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
  std::string readError;
  const bool read = file.ForEachLine(0, file.LineCount(), [&](uint64_t, std::string_view bytes) {
    if (y + lineHeight > page.height() && y > 0) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(QRect(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::TextSingleLine,
                     DisplayLine(bytes, file.Encoding()));
    y += lineHeight;
    return true;
  }, readError);
  painter.end();
  if (!read) error = PathText(readError);
  return read;
}


}  // namespace wordloom::app
