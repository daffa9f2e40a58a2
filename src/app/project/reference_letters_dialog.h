// The Reference Letter Definition dialog: the values and comments of the reference letters A to Z.
//
// The grid shows the engine's table and writes straight into it, so what the user types stays
// with the table after the dialog closes. A cell changes only through the edit box and "Add";
// the headers (row 0) and the letters (column 0) never change. Showing the dialog reloads the
// grid, as opening a project rewrites the table while the dialog is hidden. The cells are in
// the encoding of the project being edited. The object names of the controls are in
// reference_letters_dialog_names.h.
#pragma once

#include <QDialog>

#include "scan/scan_rules.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace wordloom {
class ReferenceLetters;
}

namespace wordloom::app {

class ReferenceLettersDialog : public QDialog {
  Q_OBJECT
 public:
  // Writes the fixed cells of `letters`, which must outlive the dialog.
  explicit ReferenceLettersDialog(ReferenceLetters& letters, QWidget* parent = nullptr);

  // Reloads every cell of the grid from the table.
  void Refresh();
  // The encoding of the cells from now on (that of the project being edited); reloads the grid.
  void SetEncoding(TextEncoding encoding);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowCell(int row, int column);
  void AddText();

  ReferenceLetters& letters_;
  TextEncoding encoding_ = TextEncoding::Windows1252;
  QTableWidget* grid_;        // 27 rows x 3 columns; row 0 and column 0 are fixed
  QLabel* letterLabel_;       // the letter of the current row
  QLineEdit* textEdit_;       // the text for the current cell
  QPushButton* addButton_;    // the current cell takes the edit box's text
  QPushButton* closeButton_;  // hides the dialog
};

}  // namespace wordloom::app
