// NumberedTextView: a read-only plain text with the number of each line in a margin on its
// left, in the panes' fixed-pitch font. The user moves a cursor and selects with the keyboard
// and the mouse. Line n is the document's block n - 1.
#pragma once

#include <QPlainTextEdit>

namespace wordloom::app {

class NumberedTextView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit NumberedTextView(QWidget* parent = nullptr);

  int NumberWidth() const;
  void PaintNumbers(QPaintEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateMargin();
  void ScrollNumbers(const QRect& rect, int dy);

  QWidget* numbers_;
};

}  // namespace wordloom::app
