// FileView: a window that shows a text of the project at one of its hits, with line numbers.
//
// The text is decoded in the project's encoding and opened at the hit's line with the hit
// selected and marked. "Previous hit" and "Next hit" move through the hits of the same file in
// the order of their offsets, and a label shows the reference values in force at the cursor,
// as the caller works them out (the view holds no state of the project). The text is read
// afresh each time a hit is opened. Memory: the file's bytes and its decoded text.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "concordance/file_text.h"
#include "hits/hits.h"

class QLabel;
class QPushButton;

namespace wordloom::app {

class NumberedTextView;

// Where a hit lies in its file.
struct FileHit {
  int64_t offset = 0;
  int64_t length = 0;
  int64_t fileLine = 0;
};

// The hits of `rows` of the store that lie in the file of the store's row `storeRow`, in offset
// order, and in `current` the place of that row's hit among them.
std::vector<FileHit> HitsInFileOf(const HitStore& store, const std::vector<int64_t>& rows, int64_t storeRow,
                                  size_t& current);

class FileView : public QWidget {
  Q_OBJECT
 public:
  // The text that names the reference values in force at a byte offset of the file, or
  // nullopt when they cannot be known now (the label then keeps what it shows).
  using ReferencesAt = std::function<std::optional<QString>(int64_t offset)>;

  explicit FileView(QWidget* parent = nullptr);

  // Shows the file at `path` at hit `current` of `hits`; false, with the reason in `error`,
  // when the file cannot be read.
  bool Show(const QString& path, TextEncoding encoding, std::vector<FileHit> hits, size_t current,
            ReferencesAt referencesAt, QString& error);
  size_t CurrentHit() const { return current_; }
  // Lets go of the text, its hits and the store behind them, and hides the view: for when the
  // hits it shows are no longer those of the table.
  void Clear();
  // Works out the label's reference values again, as the cursor stands.
  void ShowReferences();

 public slots:
  void NextHit();
  void PreviousHit();

 private:
  void GoToHit(size_t hit);

  QLabel* fileNameLabel_;
  NumberedTextView* text_;
  QPushButton* previousButton_;
  QPushButton* nextButton_;
  QLabel* positionLabel_;
  QLabel* referencesLabel_;
  FileText file_;
  std::vector<FileHit> hits_;
  size_t current_ = 0;
  ReferencesAt referencesAt_;
};

}  // namespace wordloom::app
