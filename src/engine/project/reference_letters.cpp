#include "project/reference_letters.h"

namespace wordloom {

ReferenceLetters::ReferenceLetters() { FillFixedCells(); }

void ReferenceLetters::FillFixedCells() {
  cells_[0][0] = "Letter";
  cells_[0][1] = "Value";
  cells_[0][2] = "Comment";
  for (int row = 1; row < kRows; ++row) cells_[row][0] = std::string(1, static_cast<char>('A' + row - 1));
}

void ReferenceLetters::SetCell(int row, int column, const std::string& text) {
  if (row < 0 || row >= kRows || column < 0 || column >= kColumns) return;
  cells_[row][column] = text;
}

}  // namespace wordloom
