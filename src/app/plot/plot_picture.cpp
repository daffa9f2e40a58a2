#include "plot/plot_picture.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"

namespace wordloom::app {
namespace {

// The picture's colours, the same on every device.
struct Colour {
  QColor qt;
  const char* svg;
};
const Colour kPaper{QColor(0xff, 0xff, 0xff), "#ffffff"};
const Colour kInk{QColor(0x00, 0x00, 0x00), "#000000"};
const Colour kHead{QColor(0x55, 0x55, 0x55), "#555555"};
const Colour kFrame{QColor(0x80, 0x80, 0x80), "#808080"};
const Colour kMark{QColor(0x1f, 0x3a, 0x93), "#1f3a93"};

const Colour& TextColour(PlotText::Role role) { return role == PlotText::Role::Head ? kHead : kInk; }

// A PNG's image is held whole: beyond this many pixels (a gigabyte) an SVG is the way.
constexpr int64_t kMostPngPixels = int64_t{1} << 28;

// A mark fills its column inside the frame.
QLineF MarkLine(const PlotStrip& strip, const PlotMark& mark) {
  const qreal x = strip.MarkX(mark.column);
  return QLineF(x, strip.box.top() + 1.5, x, strip.box.top() + strip.box.height() - 1.5);
}
QRectF FrameRect(const PlotStrip& strip) { return QRectF(strip.box).adjusted(0.5, 0.5, -0.5, -0.5); }

// ---- SVG text ----

std::string Number(qreal value) {
  QString text = QString::number(value, 'f', 2);
  while (text.endsWith(u'0')) text.chop(1);
  if (text.endsWith(u'.')) text.chop(1);
  return text == QStringLiteral("-0") ? "0" : text.toStdString();
}

// `text` as XML character data or an attribute value (between double quotes): markup escaped,
// and the characters XML 1.0 cannot hold at all made U+FFFD.
std::string Escaped(const QString& text) {
  QString legal = text;
  for (qsizetype i = 0; i < legal.size(); ++i) {
    const char16_t unit = legal[i].unicode();
    const bool pairedHigh = legal[i].isHighSurrogate() && i + 1 < legal.size() && legal[i + 1].isLowSurrogate();
    if (pairedHigh) {
      ++i;
    } else if ((unit < 0x20 && unit != '\t' && unit != '\n' && unit != '\r') || unit == 0xFFFE || unit == 0xFFFF ||
               legal[i].isSurrogate()) {
      legal[i] = QChar(0xFFFD);
    }
  }
  std::string out;
  for (char c : legal.toUtf8()) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

qreal PixelSize(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
}

std::string FontFamily(const QFont& font) {
  QString family = QFontInfo(font).family();
  family.remove(u'\'');
  return Escaped(QStringLiteral("'%1', sans-serif").arg(family));
}

Status SaveBytes(const std::string& path, std::string_view bytes) {
  const auto failed = [&](const Status& status) {
    return Status::Error("Could not save the plot to " + path + ": " + status.message() + ".");
  };
  AtomicFile file;
  Status status = file.Open(path);
  if (!status.ok()) return failed(status);
  file.writer().Write(bytes);
  status = file.Commit();
  return status.ok() ? status : failed(status);
}

}  // namespace

void DrawPlot(QPainter& painter, const PlotLayout& layout) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const QRectF whole(QPointF(0, 0), QSizeF(layout.size));
  const QRectF shown = painter.hasClipping() ? painter.clipBoundingRect() & whole : whole;
  painter.fillRect(shown, kPaper.qt);

  std::vector<QLineF> lines;
  for (const PlotStrip& strip : layout.strips) {
    if (!shown.intersects(QRectF(strip.box))) continue;
    painter.setPen(QPen(kFrame.qt, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(FrameRect(strip));
    lines.clear();
    for (const PlotMark& mark : strip.marks) lines.push_back(MarkLine(strip, mark));
    painter.setPen(QPen(kMark.qt, 0));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
  }
  for (const PlotText& text : layout.texts) {
    const bool title = text.role == PlotText::Role::Title;
    const QFont& font = title ? layout.titleFont : layout.font;
    const qreal line = QFontMetricsF(font).height();
    if (!shown.intersects(QRectF(text.origin.x(), text.origin.y() - line, layout.size.width(), 2 * line))) continue;
    painter.setFont(font);
    painter.setPen(TextColour(text.role).qt);
    painter.drawText(text.origin, text.text);
  }
  painter.restore();
}

std::string PlotSvg(const PlotLayout& layout) {
  const std::string width = std::to_string(layout.size.width());
  const std::string height = std::to_string(layout.size.height());
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" xml:space=\"preserve\" width=\"" + width + "\" height=\"" +
         height + "\" viewBox=\"0 0 " + width + " " + height + "\">\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + width + "\" height=\"" + height + "\" fill=\"" + kPaper.svg + "\"/>\n";

  svg += "<g fill=\"none\" stroke=\"" + std::string(kFrame.svg) + "\" stroke-width=\"1\" shape-rendering=\"crispEdges\">\n";
  for (const PlotStrip& strip : layout.strips) {
    const QRectF frame = FrameRect(strip);
    svg += "<rect x=\"" + Number(frame.x()) + "\" y=\"" + Number(frame.y()) + "\" width=\"" + Number(frame.width()) +
           "\" height=\"" + Number(frame.height()) + "\"/>\n";
  }
  svg += "</g>\n";

  svg += "<g stroke=\"" + std::string(kMark.svg) + "\" stroke-width=\"1\" shape-rendering=\"crispEdges\">\n";
  for (const PlotStrip& strip : layout.strips) {
    for (const PlotMark& mark : strip.marks) {
      const QLineF line = MarkLine(strip, mark);
      // The line's ends reach the pixel edges, as the painter's cosmetic pen fills them.
      svg += "<line x1=\"" + Number(line.x1()) + "\" y1=\"" + Number(line.y1() - 0.5) + "\" x2=\"" +
             Number(line.x2()) + "\" y2=\"" + Number(line.y2() + 0.5) + "\"/>\n";
    }
  }
  svg += "</g>\n";

  svg += "<g font-family=\"" + FontFamily(layout.font) + "\" font-size=\"" + Number(PixelSize(layout.font)) +
         "px\">\n";
  for (const PlotText& text : layout.texts) {
    const qreal x = text.alignRight ? text.right : text.origin.x();
    svg += "<text x=\"" + Number(x) + "\" y=\"" + Number(text.origin.y()) + "\" fill=\"" +
           TextColour(text.role).svg + "\"";
    if (text.role == PlotText::Role::Title) svg += " font-weight=\"bold\"";
    if (text.alignRight) svg += " text-anchor=\"end\"";
    svg += '>';
    svg += Escaped(text.text);
    svg += "</text>\n";
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

Status SavePlotPng(const DispersionPlot& plot, const std::string& path, int width) {
  const PlotLayout layout = LayOutPlot(plot, width, PlotFont());
  const int64_t pixels = int64_t{layout.size.width()} * layout.size.height();
  if (pixels > kMostPngPixels) {
    return Status::Error("Could not save the plot to " + path + ": the picture would be " +
                         std::to_string(layout.size.width()) + " by " + std::to_string(layout.size.height()) +
                         " pixels, too large for a PNG (save it as SVG).");
  }
  QImage image(layout.size, QImage::Format_RGB32);
  if (image.isNull()) return Status::Error("Could not save the plot to " + path + ": out of memory for the picture.");
  {
    QPainter painter(&image);
    DrawPlot(painter, layout);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    return Status::Error("Could not save the plot to " + path + ": the PNG could not be encoded.");
  }
  return SaveBytes(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

Status SavePlotSvg(const DispersionPlot& plot, const std::string& path, int width) {
  return SaveBytes(path, PlotSvg(LayOutPlot(plot, width, PlotFont())));
}

}  // namespace wordloom::app
