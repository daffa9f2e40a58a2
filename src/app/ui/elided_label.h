// ElidedLabel: a label that shows as much of its text as fits, with "..." where it is cut, and
// the whole text as its tip. A status-bar panel with a long path stays readable at any width.
#pragma once

#include <QLabel>

namespace wordloom::app {

class ElidedLabel : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}
  QSize minimumSizeHint() const override { return QSize(40, QLabel::minimumSizeHint().height()); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};

}  // namespace wordloom::app
