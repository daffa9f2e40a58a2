#include "shell/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/help_window_names.h"
#include "ui/controls.h"

namespace wordloom::app {

namespace names = help_window_names;

HelpWindow::HelpWindow(const QString& folder, QWidget* parent) : QWidget(parent, Qt::Window), folder_(folder) {
  setObjectName(QString::fromLatin1(names::kWindow));
  setWindowTitle(QStringLiteral("Wordloom Help"));

  browser_ = Named(new QTextBrowser(this), names::kBrowser);
  browser_->setSearchPaths({folder_});
  browser_->setOpenExternalLinks(true);

  auto* contents = new QWidget(this);
  QPushButton* home = Button(names::kContents, QStringLiteral("&Contents"), contents);
  QPushButton* back = Button(names::kBack, QStringLiteral("&Back"), contents);
  connect(home, &QPushButton::clicked, this, &HelpWindow::ShowContents);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  auto* contentsLayout = new QVBoxLayout(contents);
  contentsLayout->setContentsMargins(0, 0, 0, 0);
  contentsLayout->addWidget(home);
  contentsLayout->addWidget(back);
  contentsLayout->addStretch();

  auto* index = new QWidget(this);
  keyword_ = TextBox(names::kKeyword, index);
  keyword_->setPlaceholderText(QStringLiteral("Type a keyword"));
  keywords_ = Named(new QListWidget(index), names::kKeywords);
  auto* indexLayout = new QVBoxLayout(index);
  indexLayout->setContentsMargins(0, 0, 0, 0);
  indexLayout->addWidget(keyword_);
  indexLayout->addWidget(keywords_);
  connect(keyword_, &QLineEdit::textEdited, this, &HelpWindow::FindKeyword);
  connect(keyword_, &QLineEdit::returnPressed, this, [this] { ShowKeyword(keywords_->currentItem()); });
  connect(keywords_, &QListWidget::itemActivated, this, &HelpWindow::ShowKeyword);

  tabs_ = Named(new QTabWidget(this), names::kTabs);
  tabs_->addTab(contents, QStringLiteral("Contents"));
  tabs_->addTab(index, QStringLiteral("Index"));

  auto* splitter = new QSplitter(this);
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({200, 600});
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(splitter);
  resize(860, 600);
  LoadKeywords();
}

void HelpWindow::LoadKeywords() {
  QFile file(folder_ + QStringLiteral("/keywords.txt"));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QStringList fields = in.readLine().split(QLatin1Char('\t'));
    if (fields.size() != 2) continue;
    auto* item = new QListWidgetItem(fields[0], keywords_);
    item->setData(Qt::UserRole, fields[1]);
  }
}

void HelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  ShowPage(QStringLiteral("index.html"));
  show();
  raise();
  activateWindow();
}

void HelpWindow::ShowIndex() {
  if (browser_->source().isEmpty()) ShowPage(QStringLiteral("index.html"));
  tabs_->setCurrentIndex(1);
  show();
  raise();
  activateWindow();
  keyword_->setFocus();
}

void HelpWindow::ShowPage(const QString& page) { browser_->setSource(QUrl(page)); }

void HelpWindow::FindKeyword(const QString& text) {
  for (int row = 0; row < keywords_->count(); ++row) {
    if (keywords_->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
      keywords_->setCurrentRow(row);
      keywords_->scrollToItem(keywords_->item(row), QAbstractItemView::PositionAtTop);
      return;
    }
  }
}

void HelpWindow::ShowKeyword(QListWidgetItem* item) {
  if (item) ShowPage(item->data(Qt::UserRole).toString());
}

}  // namespace wordloom::app
