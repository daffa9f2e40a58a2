#include "lists/profile_page.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/main_window_names.h"
#include "ui/controls.h"
#include "ui/output_pane.h"

namespace wordloom::app {

namespace names = main_window_names;

ProfilePage::ProfilePage(QWidget* parent) : QWidget(parent) {
  QGroupBox* frame = Frame(names::kProfileFrame, QString(), this);
  profileButton_ = Button(names::kProfile, QStringLiteral("&Profile"), frame);
  profileButton_->setToolTip(QStringLiteral("Counts, type/token ratios, Yule's k and the frequency spectrum"));
  allWordsOption_ = Option(names::kProfileAllWords, QStringLiteral("All"), frame);
  keyWordsOption_ = Option(names::kProfileKeyWords, QStringLiteral("KeyWords"), frame);
  allWordsOption_->setChecked(true);
  auto* frameLayout = new QHBoxLayout(frame);
  frameLayout->addWidget(profileButton_);
  frameLayout->addWidget(allWordsOption_);
  frameLayout->addWidget(keyWordsOption_);
  frameLayout->addStretch();

  panes_ = Named(new QTabWidget(this), names::kProfilePanes);
  spectrumPane_ = new OutputPane(QString::fromLatin1(names::kSpectrumPane), panes_);
  panes_->addTab(spectrumPane_, QStringLiteral("Words"));
  auto* statistics = new QWidget(panes_);
  titleBox_ = ResultBox(names::kProfileTitle, statistics);
  titleBox_->setFocusPolicy(Qt::NoFocus);
  titleBox_->setText(QString::fromLatin1(kTitle));
  statisticsPane_ = new OutputPane(QString::fromLatin1(names::kStatisticsPane), statistics);
  auto* statisticsLayout = new QVBoxLayout(statistics);
  statisticsLayout->addWidget(titleBox_);
  statisticsLayout->addWidget(statisticsPane_, 1);
  panes_->addTab(statistics, QStringLiteral("Statistics"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(panes_, 1);

  connect(profileButton_, &QPushButton::clicked, this, &ProfilePage::profileRequested);
  OnDoubleClick(keyWordsOption_, [this] { emit keyWordsDialogRequested(); });
}

bool ProfilePage::KeyWordsChosen() const { return !allWordsOption_->isChecked(); }

void ProfilePage::ShowTitle(const QString& title) {
  titleBox_->setText(title.isEmpty() ? QString::fromLatin1(kTitle) : title);
}

void ProfilePage::SetRunning(bool running) { profileButton_->setEnabled(!running); }

OutputPane* ProfilePage::shownPane() const { return panes_->currentIndex() == 0 ? spectrumPane_ : statisticsPane_; }

}  // namespace wordloom::app
