#include "shell/options_dialog.h"

#include <string>

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

#include "ui/controls.h"

namespace wordloom::app {
namespace {

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
    arrow->setObjectName(direction > 0 ? QStringLiteral("up") : QStringLiteral("down"));
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
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Options"));

  tbsOptions_ = new QTabWidget(this);
  tbsOptions_->setObjectName(QStringLiteral("tbsOptions"));
  tbsOptions_->addTab(CreateGeneralPage(), QStringLiteral("General"));
  for (int group = 2; group <= 4; ++group) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("picOptions"));
    auto* layout = new QVBoxLayout(page);
    const std::string name = "fraSample" + std::to_string(group);
    layout->addWidget(Frame(name.c_str(), QStringLiteral("Sample %1").arg(group), page));
    tbsOptions_->addTab(page, QStringLiteral("Group %1").arg(group));
  }

  QPushButton* cmdOK = Button("cmdOK", QStringLiteral("OK"), this);
  cmdOK->setDefault(true);
  QPushButton* cmdCancel = Button("cmdCancel", QStringLiteral("Cancel"), this);
  QPushButton* cmdApply = Button("cmdApply", QStringLiteral("Apply"), this);
  connect(cmdOK, &QPushButton::clicked, this, [this] {
    emit applyRequested(Values());
    accept();
  });
  connect(cmdApply, &QPushButton::clicked, this, [this] { emit applyRequested(Values()); });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdApply);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tbsOptions_);
  layout->addLayout(buttons);

  setMinimumWidth(460);
  auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  connect(nextTab, &QShortcut::activated, this, &OptionsDialog::SelectNextTab);
}

QWidget* OptionsDialog::CreateGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("picOptions"));

  QGroupBox* Frame2 = Frame("Frame2", QStringLiteral("Context"), page);
  Text1_ = TextBox("Text1", Frame2);
  Text1_->setText(QStringLiteral("60"));
  Text1_->setMaximumWidth(60);
  auto* UpDown1 = new UpDownButtons(Text1_, kMinimumContext, kMaximumContext, Frame2);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  auto* contextLayout = new QHBoxLayout(Frame2);
  contextLayout->addWidget(Text1_);
  contextLayout->addWidget(UpDown1);
  contextLayout->addStretch();

  QGroupBox* Frame1 = Frame("Frame1", QStringLiteral("On Start Up"), page);
  auto* startUpLayout = new QVBoxLayout(Frame1);
  const char* captions[3] = {"Concordance", "Word List", "Profile"};
  for (int i = 0; i < 3; ++i) {
    const std::string name = "Option" + std::to_string(i + 1);
    startUp_[i] = Option(name.c_str(), QString::fromLatin1(captions[i]), Frame1);
    startUpLayout->addWidget(startUp_[i]);
  }
  startUp_[0]->setChecked(true);

  QGroupBox* fraSample1 = Frame("fraSample1", QStringLiteral("Tips"), page);
  Check1_ = Check("Check1", QStringLiteral("Show Tips on startup"), fraSample1);
  Check1_->setChecked(true);
  auto* tipsLayout = new QVBoxLayout(fraSample1);
  tipsLayout->addWidget(Check1_);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Frame2);
  layout->addWidget(Frame1);
  layout->addWidget(fraSample1);
  layout->addStretch();
  return page;
}

void OptionsDialog::SetValues(const OptionValues& values) {
  Text1_->setText(values.context);
  const OptionValues shown = AsOptionButtons(values);
  for (int page = 0; page < 3; ++page) startUp_[page]->setChecked(shown.startUp[page]);
  Check1_->setChecked(values.tips == 1);
}

OptionValues OptionsDialog::Values() const {
  OptionValues values;
  values.context = Text1_->text();
  for (int page = 0; page < 3; ++page) values.startUp[page] = startUp_[page]->isChecked();
  values.tips = Check1_->isChecked() ? 1 : 0;
  return values;
}

void OptionsDialog::SelectNextTab() { tbsOptions_->setCurrentIndex((tbsOptions_->currentIndex() + 1) % tbsOptions_->count()); }

}  // namespace wordloom::app
