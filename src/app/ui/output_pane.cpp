#include "ui/output_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/code_page.h"
#include "ui/output_file.h"
#include "ui/output_saving.h"
#include "ui/output_text.h"
#include "ui/rtf.h"
#include "unicode/unicode_text.h"

namespace wordloom::app {
namespace {

constexpr int kMargin = 4;  // pixels left of the first column
// A scroll bar counts in int; beyond that the vertical bar stands for a share of the lines.
constexpr uint64_t kMaxScroll = std::numeric_limits<int>::max();
constexpr uint64_t kMaxFindPrefill = 200;  // a longer selection is not taken as the text to find

bool IsFindKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_F3 && (event->modifiers() & ~Qt::ShiftModifier & ~Qt::KeypadModifier) == 0;
}

}  // namespace

QFont PaneFont() {
  QFont font(QString::fromLatin1(OutputPane::kFontName));
  font.setPointSizeF(OutputPane::kPointSize);
  font.setStyleHint(QFont::TypeWriter);
  const QFontInfo info(font);
  if (info.family().compare(font.family(), Qt::CaseInsensitive) != 0 || !info.fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(OutputPane::kPointSize);
  }
  return font;
}

OutputPane::OutputPane(const QString& objectName, QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(objectName);
  setFont(PaneFont());
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  CreateFindBar();
  UpdateScrollBars();
}

OutputPane::~OutputPane() = default;

void OutputPane::CreateFindBar() {
  findBar_ = new QWidget(this);
  findBar_->setObjectName(QStringLiteral("findBar"));
  findBar_->setAutoFillBackground(true);
  findBar_->setFont(QApplication::font());
  auto* layout = new QHBoxLayout(findBar_);
  layout->setContentsMargins(4, 2, 4, 2);
  // No mnemonics here: they would take Alt keys from the window's menus.
  auto* caption = new QLabel(QStringLiteral("Find:"), findBar_);
  findEdit_ = new QLineEdit(findBar_);
  findEdit_->setObjectName(QStringLiteral("findEdit"));
  auto* next = new QPushButton(QStringLiteral("Next"), findBar_);
  next->setObjectName(QStringLiteral("findNextButton"));
  auto* previous = new QPushButton(QStringLiteral("Previous"), findBar_);
  previous->setObjectName(QStringLiteral("findPreviousButton"));
  findStatus_ = new QLabel(findBar_);
  findStatus_->setObjectName(QStringLiteral("findStatus"));
  layout->addWidget(caption);
  layout->addWidget(findEdit_, 1);
  layout->addWidget(next);
  layout->addWidget(previous);
  layout->addWidget(findStatus_);
  connect(next, &QPushButton::clicked, this, &OutputPane::FindNext);
  connect(previous, &QPushButton::clicked, this, &OutputPane::FindPrevious);
  findEdit_->installEventFilter(this);
  findBar_->hide();
}

void OutputPane::Show(std::shared_ptr<const OutputFile> file) {
  file_ = std::move(file);
  cursor_ = anchor_ = Position();
  top_ = left_ = goalColumn_ = 0;
  dragging_ = false;
  UpdateScrollBars();
  viewport()->update();
}

bool OutputPane::LoadPlainTextFile(const QString& path, TextEncoding encoding, QString& error) {
  std::string openError;
  auto file = OutputFile::Open(PathBytes(path), encoding, openError);
  if (!file) error = PathText(openError);
  Show(std::move(file));
  return File() != nullptr;
}

// Text and selection.

uint64_t OutputPane::Rows() const {
  if (!file_) return 1;
  const uint64_t lines = file_->LineCount();
  return lines + (lines == 0 || file_->EndsWithLineEnd() ? 1 : 0);
}

uint64_t OutputPane::LineLength(uint64_t line) const { return file_ ? file_->LineLength(line) : 0; }

std::string OutputPane::LineBytes(uint64_t line) const { return file_ ? file_->Line(line) : std::string(); }

TextEncoding OutputPane::Encoding() const { return file_ ? file_->Encoding() : TextEncoding::Windows1252; }

std::string OutputPane::LineHead(uint64_t line, uint64_t columns) const {
  if (!file_) return std::string();
  std::string bytes = file_->Line(line, BytesForColumns(columns, Encoding()));
  if (bytes.size() < LineLength(line)) bytes.resize(WithoutCutSequence(bytes, Encoding()).size());
  return bytes;
}

uint64_t OutputPane::OffsetOf(Position position) const {
  return file_ ? file_->LineStart(position.line) + position.offset : 0;
}

OutputPane::Position OutputPane::PositionOf(uint64_t offset) const {
  if (!file_) return Position();
  const uint64_t line = std::min(file_->LineOf(offset), Rows() - 1);
  return {line, std::min(offset - std::min(offset, file_->LineStart(line)), LineLength(line))};
}

OutputPane::Position OutputPane::EndPosition() const { return {Rows() - 1, LineLength(Rows() - 1)}; }

QString OutputPane::TextBetween(uint64_t begin, uint64_t end) const {
  QString text;
  if (!file_ || begin >= end) return text;
  text.reserve(static_cast<qsizetype>(end - begin));
  std::string chunk;
  bool pendingCr = false;  // CR LF becomes "\n"; a CR alone stays
  const bool utf8 = Encoding() == TextEncoding::Utf8;
  QStringDecoder utf8Decoder(QStringDecoder::Utf8);  // keeps a character split between two blocks
  std::string error;
  (void)file_->Stream(begin, end, [&](std::string_view block) {
    chunk.clear();
    for (char c : block) {
      if (pendingCr && c != '\n') chunk += '\r';
      pendingCr = c == '\r';
      if (!pendingCr) chunk += c;
    }
    text += utf8 ? QString(utf8Decoder(QByteArrayView(chunk.data(), static_cast<qsizetype>(chunk.size()))))
                 : Decode1252(chunk);
    return true;
  }, error);
  if (pendingCr) text += QLatin1Char('\r');
  return text;
}

QString OutputPane::Text() const { return file_ ? TextBetween(0, file_->Size()) : QString(); }

QString OutputPane::SelectedText() const {
  return TextBetween(OffsetOf(std::min(anchor_, cursor_)), OffsetOf(std::max(anchor_, cursor_)));
}

void OutputPane::copy() {
  if (anchor_ != cursor_) QApplication::clipboard()->setText(SelectedText());
}

void OutputPane::selectAll() {
  anchor_ = Position();
  cursor_ = EndPosition();
  viewport()->update();
}

// Geometry and scrolling.

int OutputPane::LineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int OutputPane::CharWidth() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))); }

uint64_t OutputPane::VisibleRows() const {
  return static_cast<uint64_t>(std::max(1, viewport()->height() / LineHeight()));
}

uint64_t OutputPane::VisibleColumns() const {
  return static_cast<uint64_t>(std::max(1, (viewport()->width() - kMargin) / CharWidth()));
}

uint64_t OutputPane::MaxTop() const { return Rows() > VisibleRows() ? Rows() - VisibleRows() : 0; }

void OutputPane::UpdateScrollBars() {
  settingScrollBars_ = true;
  const uint64_t maxTop = MaxTop();
  top_ = std::min(top_, maxTop);
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::min(maxTop, kMaxScroll)));
  vertical->setPageStep(static_cast<int>(std::min(VisibleRows(), kMaxScroll)));
  vertical->setValue(maxTop <= kMaxScroll ? static_cast<int>(top_)
                                          : static_cast<int>(static_cast<long double>(top_) / maxTop * kMaxScroll));
  const uint64_t widest = (file_ ? file_->LongestLine() : 0) + 1;  // the cursor may stand after the last column
  const uint64_t maxLeft = std::min(widest > VisibleColumns() ? widest - VisibleColumns() : 0, kMaxScroll);
  left_ = std::min(left_, maxLeft);
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, static_cast<int>(maxLeft));
  horizontal->setPageStep(static_cast<int>(std::min(VisibleColumns(), kMaxScroll)));
  horizontal->setValue(static_cast<int>(left_));
  settingScrollBars_ = false;
}

void OutputPane::scrollContentsBy(int, int) {
  if (settingScrollBars_) return;
  const uint64_t maxTop = MaxTop();
  const auto value = static_cast<uint64_t>(verticalScrollBar()->value());
  top_ = maxTop <= kMaxScroll ? value : static_cast<uint64_t>(static_cast<long double>(value) / kMaxScroll * maxTop);
  left_ = static_cast<uint64_t>(horizontalScrollBar()->value());
  viewport()->update();
}

void OutputPane::SetTop(uint64_t top) {
  top_ = std::min(top, MaxTop());
  UpdateScrollBars();
  viewport()->update();
}

void OutputPane::SetLeft(uint64_t left) {
  left_ = left;
  UpdateScrollBars();
  viewport()->update();
}

void OutputPane::EnsureVisible(Position position) {
  const uint64_t rows = VisibleRows();
  if (position.line < top_) {
    SetTop(position.line);
  } else if (position.line >= top_ + rows) {
    SetTop(position.line - rows + 1);
  }
  const uint64_t column =
      file_ ? ColumnOf(file_->Line(position.line, position.offset), position.offset, Encoding()) : 0;
  const uint64_t columns = VisibleColumns();
  if (column < left_) {
    SetLeft(column);
  } else if (column >= left_ + columns) {
    SetLeft(column - columns + 1);
  }
}

void OutputPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  LayOutFindBar();
}

void OutputPane::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateScrollBars();
    viewport()->update();
  }
}

void OutputPane::LayOutFindBar() {
  if (!findBar_->isVisible()) return;
  const QRect area = viewport()->geometry();
  findBar_->setGeometry(area.left(), area.bottom() + 1, area.width(), findBar_->sizeHint().height());
}

// Painting: only the rows in sight, and of each only the columns in sight.

void OutputPane::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  painter.setFont(font());
  const int lineHeight = LineHeight();
  const int charWidth = CharWidth();
  const int ascent = fontMetrics().ascent();
  const uint64_t columns = VisibleColumns() + 1;
  const uint64_t lastRow = std::min(Rows(), top_ + VisibleRows() + 1);
  const Position begin = std::min(anchor_, cursor_);
  const Position end = std::max(anchor_, cursor_);
  const auto xOf = [&](uint64_t column) {
    const auto shift = static_cast<long double>(column) - static_cast<long double>(left_);
    return static_cast<int>(std::clamp<long double>(kMargin + shift * charWidth, -charWidth, viewport()->width() + 1));
  };
  const TextEncoding encoding = Encoding();
  for (uint64_t line = top_; line < lastRow; ++line) {
    const std::string bytes = LineHead(line, left_ + columns);
    const int y = static_cast<int>(line - top_) * lineHeight;
    // A line of one byte a column is drawn as one string; other UTF-8 a character at a time,
    // each at its column, so that wide characters keep the columns of the lines around.
    const bool byCharacter = encoding == TextEncoding::Utf8 && !IsAscii(bytes);
    QString visible;
    std::vector<ShownChar> characters;
    uint64_t width = 0;  // the line's columns
    if (byCharacter) {
      characters = ShownChars(bytes, left_, columns);
      width = ColumnOf(bytes, bytes.size(), encoding);
    } else {
      const QString shown = DisplayLine(bytes);
      width = static_cast<uint64_t>(shown.size());
      if (left_ < width) visible = shown.mid(static_cast<qsizetype>(left_), static_cast<qsizetype>(columns));
    }
    const auto drawLine = [&] {
      if (!byCharacter) return painter.drawText(kMargin, y + ascent, visible);
      for (const ShownChar& shown : characters) {
        const auto shift = static_cast<int>(static_cast<int64_t>(shown.column) - static_cast<int64_t>(left_));
        painter.drawText(kMargin + shift * charWidth, y + ascent, shown.text);
      }
    };
    painter.setPen(palette().color(QPalette::Text));
    drawLine();
    if (begin != end && line >= begin.line && line <= end.line) {
      const uint64_t from = line == begin.line ? ColumnOf(bytes, begin.offset, encoding) : 0;
      const uint64_t to = line == end.line ? ColumnOf(bytes, end.offset, encoding) : width + 1;
      const QRect selected(xOf(from), y, xOf(to) - xOf(from), lineHeight);
      painter.fillRect(selected, palette().brush(QPalette::Highlight));
      painter.save();
      painter.setClipRect(selected);
      painter.setPen(palette().color(QPalette::HighlightedText));
      drawLine();
      painter.restore();
    }
    if (line == cursor_.line && hasFocus()) {
      painter.fillRect(xOf(ColumnOf(bytes, cursor_.offset, encoding)), y, 2, lineHeight,
                       palette().color(QPalette::Text));
    }
  }
}

// Keys.

bool OutputPane::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // The pane's own keys reach it even when a window's action has the same shortcut.
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll) ||
        key->matches(QKeySequence::Find) || IsFindKey(key)) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

bool OutputPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched != findEdit_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)) {
    return QAbstractScrollArea::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (!enter && key->key() != Qt::Key_Escape && !IsFindKey(key)) return false;
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (key->key() == Qt::Key_Escape) {
    CloseFindBar();
  } else {
    Find(!(key->modifiers() & Qt::ShiftModifier));
  }
  return true;
}

void OutputPane::keyPressEvent(QKeyEvent* event) {
  const bool fromFindBar = findBar_->isAncestorOf(QApplication::focusWidget());
  if (event->matches(QKeySequence::Copy)) {
    copy();
  } else if (event->matches(QKeySequence::SelectAll) && !fromFindBar) {
    selectAll();
  } else if (event->matches(QKeySequence::Find)) {
    OpenFindBar();
  } else if (IsFindKey(event)) {
    Find(!(event->modifiers() & Qt::ShiftModifier));
  } else if (event->key() == Qt::Key_Escape && findBar_->isVisible()) {
    CloseFindBar();
  } else if (fromFindBar || !HandleMotionKey(event)) {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

bool OutputPane::HandleMotionKey(QKeyEvent* event) {
  struct Binding {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    Motion motion;
  };
  static constexpr Binding kBindings[] = {
      {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::NextChar},
      {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Motion::PreviousChar},
      {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Motion::NextWord},
      {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Motion::PreviousWord},
      {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::NextLine},
      {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::PreviousLine},
      {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::NextPage},
      {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::PreviousPage},
      {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::LineStart},
      {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::LineEnd},
      {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Motion::Start},
      {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::End},
  };
  for (const Binding& binding : kBindings) {
    if (event->matches(binding.move) || event->matches(binding.select)) {
      Move(binding.motion, event->matches(binding.select));
      return true;
    }
  }
  return false;
}

void OutputPane::Move(Motion motion, bool extend) {
  const bool vertical = motion == Motion::NextLine || motion == Motion::PreviousLine || motion == Motion::NextPage ||
                        motion == Motion::PreviousPage;
  if (motion == Motion::NextPage) SetTop(top_ + VisibleRows());
  if (motion == Motion::PreviousPage) SetTop(top_ - std::min(top_, VisibleRows()));
  SetCursor(Moved(cursor_, motion), extend);
  if (!vertical && file_) goalColumn_ = ColumnOf(file_->Line(cursor_.line, cursor_.offset), cursor_.offset, Encoding());
}

void OutputPane::SetCursor(Position position, bool extend) {
  cursor_ = position;
  if (!extend) anchor_ = position;
  EnsureVisible(position);
  viewport()->update();
}

OutputPane::Position OutputPane::Moved(Position from, Motion motion) const {
  const uint64_t length = LineLength(from.line);
  const uint64_t lastLine = Rows() - 1;
  const TextEncoding encoding = Encoding();
  const auto onLine = [&](uint64_t line) {
    return Position{line, OffsetNearColumn(LineHead(line, goalColumn_ + 1), static_cast<double>(goalColumn_), encoding)};
  };
  // Whether the character before `at` is a word character, on a line read up to `at` at least.
  const auto wordBefore = [encoding](std::string_view bytes, size_t at) {
    return IsWordChar(bytes, CharStart(bytes, at, encoding), encoding);
  };
  switch (motion) {
    case Motion::NextChar:
      if (from.offset < length) {  // a column's worth of bytes holds the character
        return {from.line, CharEnd(file_->Line(from.line, from.offset + BytesForColumns(1, encoding)), from.offset,
                                   encoding)};
      }
      return from.line < lastLine ? Position{from.line + 1, 0} : from;
    case Motion::PreviousChar:
      if (from.offset > 0) return {from.line, CharStart(file_->Line(from.line, from.offset), from.offset, encoding)};
      return from.line > 0 ? Position{from.line - 1, LineLength(from.line - 1)} : from;
    case Motion::NextWord: {
      if (from.offset >= length) return Moved(from, Motion::NextChar);
      const std::string bytes = LineBytes(from.line);
      size_t at = from.offset;
      while (at < length && IsWordChar(bytes, at, encoding)) at = CharEnd(bytes, at, encoding);
      while (at < length && !IsWordChar(bytes, at, encoding)) at = CharEnd(bytes, at, encoding);
      return {from.line, at};
    }
    case Motion::PreviousWord: {
      if (from.offset == 0) return Moved(from, Motion::PreviousChar);  // past here a file is shown
      const std::string bytes = file_->Line(from.line, from.offset);
      size_t at = from.offset;
      while (at > 0 && !wordBefore(bytes, at)) at = CharStart(bytes, at, encoding);
      while (at > 0 && wordBefore(bytes, at)) at = CharStart(bytes, at, encoding);
      return {from.line, at};
    }
    case Motion::NextLine: return onLine(std::min(from.line + 1, lastLine));
    case Motion::PreviousLine: return onLine(from.line - std::min<uint64_t>(from.line, 1));
    case Motion::NextPage: return onLine(std::min(from.line + VisibleRows(), lastLine));
    case Motion::PreviousPage: return onLine(from.line - std::min(from.line, VisibleRows()));
    case Motion::LineStart: return {from.line, 0};
    case Motion::LineEnd: return {from.line, length};
    case Motion::Start: return Position();
    case Motion::End: return EndPosition();
  }
  return from;
}

// The mouse.

OutputPane::Position OutputPane::PositionAt(QPoint point) const {
  if (!file_) return Position();
  const uint64_t row = static_cast<uint64_t>(std::max(0, point.y()) / LineHeight());
  const uint64_t line = std::min(top_ + row, Rows() - 1);
  const double column =
      std::max(0.0, static_cast<double>(point.x() - kMargin) / CharWidth()) + static_cast<double>(left_);
  return {line, OffsetNearColumn(LineHead(line, static_cast<uint64_t>(column) + 1), column, Encoding())};
}

void OutputPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  SetCursor(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
  if (file_) goalColumn_ = ColumnOf(file_->Line(cursor_.line, cursor_.offset), cursor_.offset, Encoding());
  dragging_ = true;
}

void OutputPane::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint point = event->position().toPoint();
  if (point.y() < 0) SetTop(top_ - std::min<uint64_t>(top_, 1));
  if (point.y() >= viewport()->height()) SetTop(top_ + 1);
  SetCursor(PositionAt(QPoint(point.x(), std::clamp(point.y(), 0, viewport()->height() - 1))), true);
}

void OutputPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
}

void OutputPane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !file_) return;
  const Position at = PositionAt(event->position().toPoint());
  const std::string bytes = LineBytes(at.line);
  const TextEncoding encoding = Encoding();
  size_t from = at.offset;
  size_t to = at.offset;
  while (from > 0 && IsWordChar(bytes, CharStart(bytes, from, encoding), encoding)) {
    from = CharStart(bytes, from, encoding);
  }
  while (to < bytes.size() && IsWordChar(bytes, to, encoding)) to = CharEnd(bytes, to, encoding);
  anchor_ = {at.line, from};
  SetCursor({at.line, to}, true);
  dragging_ = false;
}

void OutputPane::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copyAction = menu.addAction(QStringLiteral("&Copy"), this, &OutputPane::copy);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setEnabled(anchor_ != cursor_);
  menu.addAction(QStringLiteral("Select &All"), this, &OutputPane::selectAll)->setShortcut(QKeySequence::SelectAll);
  menu.addSeparator();
  menu.addAction(QStringLiteral("&Find..."), this, &OutputPane::OpenFindBar)->setShortcut(QKeySequence::Find);
  menu.exec(event->globalPos());
}

void OutputPane::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void OutputPane::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

// Finding.

void OutputPane::OpenFindBar() {
  const Position begin = std::min(anchor_, cursor_);
  const Position end = std::max(anchor_, cursor_);
  if (begin.line == end.line && begin.offset < end.offset && end.offset - begin.offset <= kMaxFindPrefill) {
    findEdit_->setText(SelectedText());  // a selected word is what one most often looks for
  }
  findBar_->show();
  setViewportMargins(0, 0, 0, findBar_->sizeHint().height());
  LayOutFindBar();
  findEdit_->setFocus(Qt::ShortcutFocusReason);
  findEdit_->selectAll();
}

void OutputPane::CloseFindBar() {
  findBar_->hide();
  setViewportMargins(0, 0, 0, 0);
  setFocus(Qt::OtherFocusReason);
}

bool OutputPane::FindNext() { return Find(true); }

bool OutputPane::FindPrevious() { return Find(false); }

bool OutputPane::Find(bool forward) {
  const QString text = findEdit_->text();
  if (text.isEmpty()) {
    OpenFindBar();
    return false;
  }
  // UTF-8 outputs hold their characters composed (NFC), as the engine writes them.
  const TextEncoding encoding = Encoding();
  const QString sought = encoding == TextEncoding::Utf8 ? text.normalized(QString::NormalizationForm_C) : text;
  const std::string pattern = EncodeText(sought, encoding);
  std::optional<uint64_t> found;
  if (file_ && DecodeText(pattern, encoding) == sought) {  // else a character no output can hold
    found = file_->Find(pattern, OffsetOf(forward ? cursor_ : std::min(anchor_, cursor_)), forward);
  }
  if (!found) {
    findStatus_->setText(QStringLiteral("Not found"));
    return false;
  }
  findStatus_->clear();
  const Position begin = PositionOf(*found);
  const Position end{begin.line, std::min(begin.offset + pattern.size(), LineLength(begin.line))};
  anchor_ = begin;
  SetCursor(end, true);
  EnsureVisible(begin);
  goalColumn_ = ColumnOf(file_->Line(end.line, end.offset), end.offset, encoding);
  return true;
}

}  // namespace wordloom::app
