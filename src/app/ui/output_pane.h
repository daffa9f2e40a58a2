// OutputPane: a read-only view of an output file of any size, in a fixed-pitch font.
//
// The pane shows an OutputFile (Windows-1252 or UTF-8 text with CR LF line ends, its
// characters in columns as output_text.h lays them out) and paints only the lines in sight, reading them through the file's open descriptor; it holds no copy of the
// text, so a million lines scroll as fast as ten. The user moves a keyboard cursor (arrows,
// Page Up/Down, Home/End, Ctrl+Home/End; Shift extends the selection), selects with the mouse
// (double-click takes a word), copies (Ctrl+C), selects all (Ctrl+A) and finds text: Ctrl+F
// opens a find bar, F3 and Shift+F3 find the next and previous match from the cursor,
// ignoring case and wrapping around. Tab moves the focus on. Memory: the visible lines, and
// the selected text while it is copied.
#pragma once

#include <QAbstractScrollArea>
#include <memory>
#include <string_view>

#include "scan/scan_rules.h"

class QLabel;
class QLineEdit;

namespace wordloom::app {

class OutputFile;

class OutputPane : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // The font name that saved documents name, whatever the system shows in its place.
  static constexpr const char* kFontName = "Courier New";
  static constexpr double kPointSize = 10;

  explicit OutputPane(const QString& objectName, QWidget* parent = nullptr);
  ~OutputPane() override;

  // Shows `file` from its top, with no selection; null shows nothing.
  void Show(std::shared_ptr<const OutputFile> file);
  void clear() { Show(nullptr); }
  std::shared_ptr<const OutputFile> File() const { return file_; }
  // Opens the file at `path`, text in `encoding`, and shows it; shows nothing and gives the
  // reason when unreadable.
  bool LoadPlainTextFile(const QString& path, TextEncoding encoding, QString& error);

  // The whole text with "\n" line ends (for tests and small outputs: it builds one string).
  QString Text() const;
  QString SelectedText() const;

 public slots:
  void copy();
  void selectAll();
  void OpenFindBar();
  // Selects the next (or previous) match of the find bar's text, wrapping around; false when
  // there is none.
  bool FindNext();
  bool FindPrevious();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // A place between two bytes of a line: rows run to LineCount(), the last only for a
  // file that ends with a line end (or is empty).
  struct Position {
    uint64_t line = 0;
    uint64_t offset = 0;
    auto operator<=>(const Position&) const = default;
  };
  enum class Motion { NextChar, PreviousChar, NextWord, PreviousWord, NextLine, PreviousLine, NextPage,
                      PreviousPage, LineStart, LineEnd, Start, End };

  void CreateFindBar();
  void CloseFindBar();
  bool Find(bool forward);
  bool HandleMotionKey(QKeyEvent* event);
  void Move(Motion motion, bool extend);
  void SetCursor(Position position, bool extend);
  Position Moved(Position from, Motion motion) const;
  Position PositionAt(QPoint point) const;
  uint64_t OffsetOf(Position position) const;
  Position PositionOf(uint64_t offset) const;
  Position EndPosition() const;
  uint64_t Rows() const;
  uint64_t LineLength(uint64_t line) const;
  std::string LineBytes(uint64_t line) const;
  TextEncoding Encoding() const;
  // The start of `line`, enough of it to show its first `columns` columns, never ending
  // inside a character's bytes.
  std::string LineHead(uint64_t line, uint64_t columns) const;
  QString TextBetween(uint64_t begin, uint64_t end) const;
  int LineHeight() const;
  int CharWidth() const;
  uint64_t VisibleRows() const;
  uint64_t VisibleColumns() const;
  uint64_t MaxTop() const;
  void SetTop(uint64_t top);
  void SetLeft(uint64_t left);
  void EnsureVisible(Position position);
  void UpdateScrollBars();
  void LayOutFindBar();

  std::shared_ptr<const OutputFile> file_;
  uint64_t top_ = 0;   // the first line in sight
  uint64_t left_ = 0;  // the first column in sight
  bool settingScrollBars_ = false;
  Position cursor_;
  Position anchor_;  // the selection's other end
  uint64_t goalColumn_ = 0;  // where Up and Down aim
  bool dragging_ = false;
  QWidget* findBar_ = nullptr;
  QLineEdit* findEdit_ = nullptr;
  QLabel* findStatus_ = nullptr;
};

// "Courier New" when the system has it, else the system's fixed-pitch font, at the panes' size.
QFont PaneFont();

}  // namespace wordloom::app
