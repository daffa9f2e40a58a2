#include "shell/small_windows.h"

#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "shell/app_info.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/output_pane.h"
#include "ui/prompts.h"
#include "ui/rtf.h"

namespace wordloom::app {
namespace {

QLabel* Picture(const char* objectName, int size, QWidget* parent) {
  QLabel* picture = Label(objectName, QString(), parent);
  picture->setPixmap(QIcon(QStringLiteral(":/wordloom.png")).pixmap(size, size));
  return picture;
}

QString AppTitle() { return QString::fromLatin1(kAppTitle); }

// System-information programs of the common desktops, in the order they are tried.
constexpr const char* kSystemInfoPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor",
                                               "xfce4-taskmanager", "lshw-gtk"};

}  // namespace

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  auto* fraMainFrame = Named(new QFrame(this), "fraMainFrame");
  fraMainFrame->setFrameShape(QFrame::Box);
  QLabel* lblProductName = Label("lblProductName", AppTitle(), fraMainFrame);
  QFont large = lblProductName->font();
  large.setPointSize(large.pointSize() * 2);
  large.setBold(true);
  lblProductName->setFont(large);
  auto* text = new QVBoxLayout;
  text->addWidget(Label("lblCompanyProduct", QStringLiteral("A concordance program"), fraMainFrame));
  text->addWidget(lblProductName);
  text->addWidget(Label("lblVersion", QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor), fraMainFrame));
  text->addWidget(Label("lblPlatform", QStringLiteral("For Linux"), fraMainFrame));
  text->addWidget(Label("lblCompany", QStringLiteral("The Wordloom authors"), fraMainFrame));
  text->addWidget(Label("lblWarning", QStringLiteral("Free software under the MIT licence, with no warranty."), fraMainFrame));
  auto* frameLayout = new QHBoxLayout(fraMainFrame);
  frameLayout->addWidget(Picture("picLogo", 64, fraMainFrame));
  frameLayout->addLayout(text);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(fraMainFrame);
}

AboutDialog::AboutDialog(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About %1").arg(AppTitle()));
  QLabel* lblTitle = Label("lblTitle", AppTitle(), this);
  QFont bold = lblTitle->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 4);
  lblTitle->setFont(bold);
  QLabel* lblDisclaimer =
      Label("lblDisclaimer",
            QStringLiteral("Wordloom is free software under the MIT licence. It comes with no warranty: "
                           "see \"Copyright and Legals\" in the Help menu."),
            this);
  lblDisclaimer->setWordWrap(true);
  QPushButton* cmdOK = Button("cmdOK", QStringLiteral("OK"), this);
  cmdOK->setDefault(true);
  QPushButton* cmdSysInfo = Button("cmdSysInfo", QStringLiteral("&System Info..."), this);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::ShowSystemInfo);

  auto* text = new QVBoxLayout;
  text->addWidget(lblTitle);
  text->addWidget(Label("lblVersion",
                        QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision),
                        this));
  text->addWidget(Label("lblDescription", QStringLiteral("For Linux"), this));
  text->addWidget(lblDisclaimer);
  auto* top = new QHBoxLayout;
  top->addWidget(Picture("picIcon", 48, this), 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdSysInfo);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  setMinimumWidth(380);
}

void AboutDialog::ShowSystemInfo() {
  for (const char* name : kSystemInfoPrograms) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (!program.isEmpty() && prompts_.StartProgram(program)) return;
  }
  prompts_.Message(this, QStringLiteral("System Information Is Unavailable At This Time"), MessageKind::Warning);
}

CopyrightWindow::CopyrightWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Copyright and Legals"));
  RichTextBox1_ = Named(new QPlainTextEdit(this), "RichTextBox1");
  RichTextBox1_->setReadOnly(true);
  RichTextBox1_->setFont(PaneFont());
  QPushButton* close = Button("cmdClose", QStringLiteral("Close"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichTextBox1_);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(640, 480);
}

bool CopyrightWindow::LoadRtfFile(const QString& path, QString& error) {
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Could not read %1: %2.")
                .arg(path.isEmpty() ? QStringLiteral("copyrigh.rtf") : path,
                     path.isEmpty() ? QStringLiteral("No such file or directory") : file.errorString());
    return false;
  }
  const QByteArray rtf = file.readAll();
  RichTextBox1_->setPlainText(Decode1252(RtfPlainText(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())))));
  return true;
}

ErrorReportWindow::ErrorReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("Error Report"));
  RichTextBox1_ = Named(new QPlainTextEdit(this), "RichTextBox1");
  RichTextBox1_->setReadOnly(true);
  RichTextBox1_->setFont(PaneFont());
  RichTextBox1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichTextBox1_);
  resize(600, 400);
}

void ErrorReportWindow::SetReport(const std::string& text) {
  QString shown = Decode1252(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  RichTextBox1_->setPlainText(shown);
}

QString ErrorReportWindow::Report() const { return RichTextBox1_->toPlainText(); }

}  // namespace wordloom::app
