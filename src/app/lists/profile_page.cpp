#include "lists/profile_page.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/controls.h"
#include "ui/output_pane.h"

namespace wordloom::app {

ProfilePage::ProfilePage(QWidget* parent) : QWidget(parent) {
  QGroupBox* Frame3 = Frame("Frame3", QString(), this);
  Command3 = Button("Command3", QStringLiteral("Profile"), Frame3);
  Command3->setToolTip(QStringLiteral("Counts, type/token ratios, Yule's k and the frequency spectrum"));
  Option10 = Option("Option10", QStringLiteral("All"), Frame3);
  Option11 = Option("Option11", QStringLiteral("KeyWords"), Frame3);
  Option10->setChecked(true);
  auto* frameLayout = new QHBoxLayout(Frame3);
  frameLayout->addWidget(Command3);
  frameLayout->addWidget(Option10);
  frameLayout->addWidget(Option11);
  frameLayout->addStretch();

  SSTab2 = Named(new QTabWidget(this), "SSTab2");
  RichTextBox3 = new OutputPane(QStringLiteral("RichTextBox3"), SSTab2);
  SSTab2->addTab(RichTextBox3, QStringLiteral("Words"));
  auto* statistics = new QWidget(SSTab2);
  Text11 = ResultBox("Text11", statistics);
  Text11->setText(QString::fromLatin1(kTitle));
  RichTextBox4 = new OutputPane(QStringLiteral("RichTextBox4"), statistics);
  auto* statisticsLayout = new QVBoxLayout(statistics);
  statisticsLayout->addWidget(Text11);
  statisticsLayout->addWidget(RichTextBox4, 1);
  SSTab2->addTab(statistics, QStringLiteral("Statistics"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame3);
  layout->addWidget(SSTab2, 1);
}

}  // namespace wordloom::app
