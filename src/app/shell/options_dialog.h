// frmOptions, the Options dialog: the context width, the page shown after a project opens,
// and the tips flag.
//
// The dialog only edits values: the caller fills it from the settings when it opens it and
// stores what "OK" or "Apply" hands back. "Cancel" closes it; its edits are lost, as the next
// opening fills it again from the settings.
#pragma once

#include <QDialog>

#include "shell/settings.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace wordloom::app {

// UpDown1: the up and down arrows that step the number in a text box within bounds.
class UpDownButtons : public QWidget {
  Q_OBJECT
 public:
  UpDownButtons(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);
  void Step(int by);

 private:
  QLineEdit* buddy_;
  int minimum_;
  int maximum_;
};

class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit OptionsDialog(QWidget* parent = nullptr);

  // Fills the controls, as the stored options are loaded.
  void SetValues(const OptionValues& values);
  OptionValues Values() const;

 signals:
  // "OK" or "Apply": the values to store.
  void applyRequested(const wordloom::app::OptionValues& values);

 private:
  QWidget* CreateGeneralPage();
  void SelectNextTab();

  QTabWidget* tbsOptions_;
  QLineEdit* Text1_;
  QRadioButton* startUp_[3];
  QCheckBox* Check1_;
};

}  // namespace wordloom::app
