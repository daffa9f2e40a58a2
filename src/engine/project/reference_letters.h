// ReferenceLetters: the table of values and comments of the reference letters A to Z.
//
// A grid of 27 rows and 3 columns. Row 0 holds the headers "Letter", "Value", "Comment";
// column 0 of rows 1 to 26 holds the letters A to Z. The user fills columns 1 and 2; the
// value of a letter (column 1) is its reference value before any tag sets it.
#pragma once

#include <array>
#include <string>

namespace wordloom {

class ReferenceLetters {
 public:
  static constexpr int kRows = 27;
  static constexpr int kColumns = 3;

  ReferenceLetters();
  int rows() const { return kRows; }
  int columns() const { return kColumns; }
  const std::string& Cell(int row, int column) const { return cells_[row][column]; }
  // Cells outside the grid are ignored.
  void SetCell(int row, int column, const std::string& text);
  // Writes the fixed cells (headers and letters) again.
  void FillFixedCells();
  // The value of letter n (1 = A).
  const std::string& Value(int letter) const { return cells_[letter][1]; }

 private:
  std::array<std::array<std::string, kColumns>, kRows> cells_;
};

}  // namespace wordloom
