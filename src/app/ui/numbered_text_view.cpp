#include "ui/numbered_text_view.h"

#include <QPainter>
#include <QTextBlock>

#include "ui/output_pane.h"

namespace wordloom::app {
namespace {

constexpr int kNumberPadding = 6;  // pixels between the numbers and the text

// The margin beside the text, which the view paints.
class NumberMargin : public QWidget {
 public:
  explicit NumberMargin(NumberedTextView* view) : QWidget(view), view_(view) {}
  QSize sizeHint() const override { return QSize(view_->NumberWidth(), 0); }

 protected:
  void paintEvent(QPaintEvent* event) override { view_->PaintNumbers(event); }

 private:
  NumberedTextView* view_;
};

}  // namespace

NumberedTextView::NumberedTextView(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(PaneFont());
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  numbers_ = new NumberMargin(this);
  connect(this, &QPlainTextEdit::blockCountChanged, this, &NumberedTextView::UpdateMargin);
  connect(this, &QPlainTextEdit::updateRequest, this, &NumberedTextView::ScrollNumbers);
  UpdateMargin();
}

int NumberedTextView::NumberWidth() const {
  const int digits = static_cast<int>(QString::number(std::max(1, blockCount())).size());
  return kNumberPadding * 2 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

// The margin and the numbers' strip grow together, when a longer text comes as when the view
// is resized.
void NumberedTextView::UpdateMargin() {
  setViewportMargins(NumberWidth(), 0, 0, 0);
  const QRect inside = contentsRect();
  numbers_->setGeometry(QRect(inside.left(), inside.top(), NumberWidth(), inside.height()));
}

void NumberedTextView::ScrollNumbers(const QRect& rect, int dy) {
  if (dy) {
    numbers_->scroll(0, dy);
  } else {
    numbers_->update(0, rect.y(), numbers_->width(), rect.height());
  }
  if (rect.contains(viewport()->rect())) UpdateMargin();
}

void NumberedTextView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  UpdateMargin();
}

void NumberedTextView::PaintNumbers(QPaintEvent* event) {
  QPainter painter(numbers_);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    const int bottom = top + qRound(blockBoundingRect(block).height());
    if (block.isVisible() && bottom >= event->rect().top()) {
      painter.drawText(0, top, numbers_->width() - kNumberPadding, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    block = block.next();
    top = bottom;
  }
}

}  // namespace wordloom::app
