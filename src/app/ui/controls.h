// Small helpers that create the standard controls with their object names and captions.
#pragma once

#include <QCheckBox>
#include <QEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <functional>

namespace wordloom::app {

template <typename Control>
Control* Named(Control* control, const char* objectName) {
  control->setObjectName(QString::fromLatin1(objectName));
  return control;
}

inline QPushButton* Button(const char* objectName, const QString& caption, QWidget* parent) {
  return Named(new QPushButton(caption, parent), objectName);
}
inline QRadioButton* Option(const char* objectName, const QString& caption, QWidget* parent) {
  return Named(new QRadioButton(caption, parent), objectName);
}
inline QCheckBox* Check(const char* objectName, const QString& caption, QWidget* parent) {
  return Named(new QCheckBox(caption, parent), objectName);
}
inline QGroupBox* Frame(const char* objectName, const QString& caption, QWidget* parent) {
  return Named(new QGroupBox(caption, parent), objectName);
}
inline QLabel* Label(const char* objectName, const QString& caption, QWidget* parent) {
  return Named(new QLabel(caption, parent), objectName);
}
inline QLineEdit* TextBox(const char* objectName, QWidget* parent) { return Named(new QLineEdit(parent), objectName); }
// A grey box that shows a result and takes no typing.
inline QLineEdit* ResultBox(const char* objectName, QWidget* parent) {
  QLineEdit* box = TextBox(objectName, parent);
  box->setReadOnly(true);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  box->setPalette(palette);
  return box;
}
// A drop-down list whose items carry numbers as their item data.
inline QComboBox* DropDown(const char* objectName, const std::initializer_list<std::pair<const char*, int>>& items,
                           QWidget* parent) {
  QComboBox* box = Named(new QComboBox(parent), objectName);
  for (const auto& [caption, data] : items) box->addItem(QString::fromLatin1(caption), data);
  return box;
}

// Calls `action` when the user double-clicks `control`; the control still gets the clicks.
inline void OnDoubleClick(QWidget* control, std::function<void()> action) {
  class Filter : public QObject {
   public:
    Filter(QObject* parent, std::function<void()> action) : QObject(parent), action_(std::move(action)) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::MouseButtonDblClick) action_();
      return false;
    }

   private:
    std::function<void()> action_;
  };
  control->installEventFilter(new Filter(control, std::move(action)));
}

// Takes only the letters A to Z, turning a typed lower-case letter into its capital.
class UpperLetterValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override {
    (void)position;
    input = input.toUpper();
    for (QChar c : input) {
      if (c < QLatin1Char('A') || c > QLatin1Char('Z')) return Invalid;
    }
    return Acceptable;
  }
};

}  // namespace wordloom::app
