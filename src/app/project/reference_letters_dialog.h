// Form5, "Reference Letter Definition": the values and comments of the reference letters A to Z.
//
// The grid shows the engine's table and writes straight into it, so what the user types stays
// with the table after the dialog closes. A cell changes only through the edit box and "Add";
// the headers (row 0) and the letters (column 0) never change. Showing the dialog reloads the
// grid, as opening a project rewrites the table while the dialog is hidden.
#pragma once

#include <QDialog>

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

  QTableWidget* MSFlexGrid1;  // 27 rows x 3 columns; row 0 and column 0 are fixed
  QLabel* Label1;             // the letter of the current row
  QLineEdit* Text1;           // the text for the current cell
  QPushButton* Command1;      // "Add": the current cell takes Text1's text
  QPushButton* Command2;      // "Close": hides the dialog

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowCell(int row, int column);
  void AddText();

  ReferenceLetters& letters_;
};

}  // namespace wordloom::app
