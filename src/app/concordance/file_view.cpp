#include "concordance/file_view.h"

#include <QHBoxLayout>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "concordance/concordance_page_names.h"
#include "ui/controls.h"
#include "ui/numbered_text_view.h"

namespace wordloom::app {

namespace names = concordance_page_names;

std::vector<FileHit> HitsInFileOf(const HitStore& store, const std::vector<int64_t>& rows, int64_t storeRow,
                                  size_t& current) {
  const int32_t file = store.FileNumber(storeRow);
  std::vector<std::pair<int64_t, FileHit>> found;  // by the store's row, to find the chosen one
  for (const int64_t row : rows) {
    if (store.FileNumber(row) == file) found.push_back({row, FileHit{store.Offset(row), store.Length(row), store.FileLine(row)}});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.second.offset < b.second.offset; });
  std::vector<FileHit> hits;
  current = 0;
  for (const auto& [number, place] : found) {
    if (number == storeRow) current = hits.size();
    hits.push_back(place);
  }
  return hits;
}

FileView::FileView(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QString::fromLatin1(names::kFileView));
  fileNameLabel_ = Label(names::kFileName, QString(), this);
  fileNameLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  text_ = Named(new NumberedTextView(this), names::kFileText);
  previousButton_ = Button(names::kPreviousHit, QStringLiteral("&Previous hit"), this);
  previousButton_->setToolTip(QStringLiteral("Goes to the hit before this one in the file"));
  nextButton_ = Button(names::kNextHit, QStringLiteral("&Next hit"), this);
  nextButton_->setToolTip(QStringLiteral("Goes to the hit after this one in the file"));
  positionLabel_ = Label(names::kHitPosition, QString(), this);
  referencesLabel_ = Label(names::kReferences, QString(), this);
  referencesLabel_->setToolTip(QStringLiteral("The references in force at the cursor; L is the line number"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(previousButton_);
  buttons->addWidget(nextButton_);
  buttons->addWidget(positionLabel_);
  buttons->addStretch();
  buttons->addWidget(referencesLabel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileNameLabel_);
  layout->addWidget(text_, 1);
  layout->addLayout(buttons);
  setFocusProxy(text_);
  resize(760, 520);

  connect(previousButton_, &QPushButton::clicked, this, &FileView::PreviousHit);
  connect(nextButton_, &QPushButton::clicked, this, &FileView::NextHit);
  connect(text_, &QPlainTextEdit::cursorPositionChanged, this, &FileView::ShowReferences);
}

bool FileView::Show(const QString& path, TextEncoding encoding, std::vector<FileHit> hits, size_t current,
                    ReferencesAt referencesAt, QString& error) {
  if (!file_.Load(path, encoding, error)) return false;
  hits_ = std::move(hits);
  referencesAt_ = std::move(referencesAt);
  referencesLabel_->clear();
  fileNameLabel_->setText(path);
  setWindowTitle(QStringLiteral("%1 - Wordloom").arg(path.section(u'/', -1)));
  text_->setPlainText(file_.text());
  GoToHit(std::min(current, hits_.empty() ? 0 : hits_.size() - 1));
  show();
  raise();
  activateWindow();
  return true;
}

void FileView::Clear() {
  hits_.clear();
  current_ = 0;
  referencesAt_ = nullptr;
  file_ = FileText();
  text_->clear();
  referencesLabel_->clear();
  positionLabel_->clear();
  hide();
}

void FileView::NextHit() {
  if (current_ + 1 < hits_.size()) GoToHit(current_ + 1);
}

void FileView::PreviousHit() {
  if (current_ > 0) GoToHit(current_ - 1);
}

// The hit is selected, and marked so that it stays in sight when the cursor moves on.
void FileView::GoToHit(size_t hit) {
  current_ = hit;
  previousButton_->setEnabled(hit > 0);
  nextButton_->setEnabled(hit + 1 < hits_.size());
  if (hits_.empty()) {
    positionLabel_->clear();
    return;
  }
  positionLabel_->setText(QStringLiteral("Hit %1 of %2").arg(hit + 1).arg(hits_.size()));
  const FileHit& place = hits_[hit];
  const int begin = file_.PositionOf(place.offset, place.fileLine);
  const int end = std::max(begin, file_.PositionOf(place.offset + place.length));
  QTextCursor cursor(text_->document());
  cursor.setPosition(begin);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  QTextEdit::ExtraSelection mark;
  mark.cursor = cursor;
  mark.format.setBackground(palette().color(QPalette::Highlight).lighter(160));
  text_->setExtraSelections({mark});
  text_->setTextCursor(cursor);
  text_->centerCursor();
}

void FileView::ShowReferences() {
  if (!referencesAt_) return;
  const std::optional<QString> references = referencesAt_(file_.OffsetOf(text_->textCursor().selectionStart()));
  if (references) referencesLabel_->setText(*references);
}

}  // namespace wordloom::app
