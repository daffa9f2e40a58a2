#include "shell/options_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "concordance/concordance_run.h"
#include "shell/options_dialog_names.h"
#include "ui/controls.h"
#include "ui/parameter_controls.h"

namespace wordloom::app {
namespace {

namespace names = options_dialog_names;

constexpr int kMinimumContext = 10;
constexpr int kMaximumContext = 240;

}  // namespace

UpDownButtons::UpDownButtons(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int direction : {1, -1}) {
    auto* arrow = new QToolButton(this);
    arrow->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    arrow->setFixedSize(16, 11);
    arrow->setObjectName(QString::fromLatin1(direction > 0 ? names::kStepUp : names::kStepDown));
    connect(arrow, &QToolButton::clicked, this, [this, direction] { Step(direction); });
    layout->addWidget(arrow);
  }
}

// Steps from the width the text stands for: a text that is no number counts as 60.
void UpDownButtons::Step(int by) {
  const int value = std::clamp(ContextWidthOf(buddy_->text()) + by, minimum_, maximum_);
  buddy_->setText(QString::number(value));
}

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::fromLatin1(names::kDialog));
  setWindowTitle(QStringLiteral("Options"));

  tabs_ = Named(new QTabWidget(this), names::kTabs);
  tabs_->addTab(CreateGeneralPage(), QStringLiteral("General"));
  for (int group = 2; group <= 4; ++group) {
    auto* page = Named(new QWidget, names::kPage);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame(names::kGroupFrames[group - 2], QStringLiteral("Sample %1").arg(group), page));
    tabs_->addTab(page, QStringLiteral("Group %1").arg(group));
  }

  QPushButton* okButton = Button(names::kOk, QStringLiteral("OK"), this);
  okButton->setDefault(true);
  QPushButton* cancelButton = Button(names::kCancel, QStringLiteral("Cancel"), this);
  QPushButton* applyButton = Button(names::kApply, QStringLiteral("Apply"), this);
  connect(okButton, &QPushButton::clicked, this, [this] {
    Apply();
    accept();
  });
  connect(applyButton, &QPushButton::clicked, this, &OptionsDialog::Apply);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  buttons->addWidget(applyButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);

  setMinimumWidth(460);
  auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  connect(nextTab, &QShortcut::activated, this, &OptionsDialog::SelectNextTab);
}

QWidget* OptionsDialog::CreateGeneralPage() {
  auto* page = Named(new QWidget, names::kPage);

  QGroupBox* contextFrame = Frame(names::kContextFrame, QStringLiteral("Context"), page);
  contextEdit_ = TextBox(names::kContext, contextFrame);
  contextEdit_->setText(QStringLiteral("60"));
  contextEdit_->setMaximumWidth(60);
  auto* arrows = Named(new UpDownButtons(contextEdit_, kMinimumContext, kMaximumContext, contextFrame),
                       names::kContextArrows);
  auto* contextLayout = new QHBoxLayout(contextFrame);
  contextLayout->addWidget(contextEdit_);
  contextLayout->addWidget(arrows);
  contextLayout->addStretch();

  QGroupBox* startUpFrame = Frame(names::kStartUpFrame, QStringLiteral("On Start Up"), page);
  auto* startUpLayout = new QVBoxLayout(startUpFrame);
  const char* captions[3] = {"Concordance", "Word List", "Profile"};
  for (size_t i = 0; i < startUpOptions_.size(); ++i) {
    startUpOptions_[i] = Option(names::kStartUp[i], QString::fromLatin1(captions[i]), startUpFrame);
    startUpLayout->addWidget(startUpOptions_[i]);
  }
  startUpOptions_[0]->setChecked(true);

  QGroupBox* tipsFrame = Frame(names::kTipsFrame, QStringLiteral("Tips"), page);
  tipsCheck_ = Check(names::kTips, QStringLiteral("Show Tips on startup"), tipsFrame);
  tipsCheck_->setChecked(true);
  auto* tipsLayout = new QVBoxLayout(tipsFrame);
  tipsLayout->addWidget(tipsCheck_);

  QGroupBox* scanFrame = Frame(names::kScanFrame, QStringLiteral("Scanning the texts"), page);
  threadsBox_ = NumberBox(names::kThreads, 0, kMostScanThreads, 0, scanFrame);
  threadsBox_->setSpecialValueText(QStringLiteral("Automatic"));
  threadsBox_->setToolTip(
      QStringLiteral("The threads that read the texts for their words and for the index; Automatic uses one a processor"));
  auto* scanLayout = new QHBoxLayout(scanFrame);
  scanLayout->addWidget(new QLabel(QStringLiteral("Threads:"), scanFrame));
  scanLayout->addWidget(threadsBox_);
  scanLayout->addStretch();

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(contextFrame);
  layout->addWidget(startUpFrame);
  layout->addWidget(tipsFrame);
  layout->addWidget(scanFrame);
  layout->addStretch();
  return page;
}

void OptionsDialog::SetValues(const OptionValues& values) {
  contextEdit_->setText(values.context);
  const OptionValues shown = AsOptionButtons(values);
  for (size_t page = 0; page < startUpOptions_.size(); ++page) startUpOptions_[page]->setChecked(shown.startUp[page]);
  tipsCheck_->setChecked(values.tips == 1);
  threadsBox_->setValue(values.threads);
}

OptionValues OptionsDialog::Values() const {
  OptionValues values;
  values.context = contextEdit_->text();
  for (size_t page = 0; page < startUpOptions_.size(); ++page) {
    values.startUp[page] = startUpOptions_[page]->isChecked();
  }
  values.tips = tipsCheck_->isChecked() ? 1 : 0;
  values.threads = threadsBox_->value();
  return values;
}

void OptionsDialog::Apply() {
  int width = 0;
  if (ParseContextWidth(contextEdit_->text().trimmed().toStdString(), width)) {
    contextEdit_->setText(QString::number(width));
  }
  emit applyRequested(Values());
}

void OptionsDialog::SelectNextTab() { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count()); }

}  // namespace wordloom::app
