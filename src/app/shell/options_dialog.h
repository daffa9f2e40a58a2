// The Options dialog: the context width, the page shown after a project opens, the tips flag,
// and the threads that scan the texts' vocabulary ("Automatic": one a processor).
//
// The dialog only edits values: the caller fills it from the settings when it opens it and
// stores what "OK" or "Apply" hands back. Accepting shows a typed number as the context width
// it stands for (rounded, kept within 10 to 240), so the box never shows a width other than the
// one used; a text that is no number is handed back as typed. "Cancel" closes the dialog; its
// edits are lost, as the next opening fills it again from the settings. The object names of
// the controls are in options_dialog_names.h.
#pragma once

#include <array>

#include <QDialog>

#include "shell/settings.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace wordloom::app {

// The up and down arrows that step the number in a text box within bounds.
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
  // Shows the accepted context width and hands the values on.
  void Apply();

  QTabWidget* tabs_;
  QLineEdit* contextEdit_;
  std::array<QRadioButton*, 3> startUpOptions_;
  QCheckBox* tipsCheck_;
  QSpinBox* threadsBox_;
};

}  // namespace wordloom::app
