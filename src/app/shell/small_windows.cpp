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
#include "shell/small_windows_names.h"
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
  setObjectName(QString::fromLatin1(splash_window_names::kWindow));
  auto* frame = Named(new QFrame(this), splash_window_names::kFrame);
  frame->setFrameShape(QFrame::Box);
  QLabel* productName = Label(splash_window_names::kProductName, AppTitle(), frame);
  QFont large = productName->font();
  large.setPointSize(large.pointSize() * 2);
  large.setBold(true);
  productName->setFont(large);
  auto* text = new QVBoxLayout;
  text->addWidget(Label(splash_window_names::kCompanyProduct, QStringLiteral("A concordance program"), frame));
  text->addWidget(productName);
  const QString version = QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor);
  text->addWidget(Label(splash_window_names::kVersion, version, frame));
  text->addWidget(Label(splash_window_names::kPlatform, QStringLiteral("For Linux"), frame));
  text->addWidget(Label(splash_window_names::kCompany, QStringLiteral("The Wordloom authors"), frame));
  text->addWidget(Label(splash_window_names::kWarning,
                        QStringLiteral("Free software under the MIT licence, with no warranty."), frame));
  auto* frameLayout = new QHBoxLayout(frame);
  frameLayout->addWidget(Picture(splash_window_names::kLogo, 64, frame));
  frameLayout->addLayout(text);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame);
}

AboutDialog::AboutDialog(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
  setObjectName(QString::fromLatin1(about_dialog_names::kDialog));
  setWindowTitle(QStringLiteral("About %1").arg(AppTitle()));
  QLabel* title = Label(about_dialog_names::kTitle, AppTitle(), this);
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 4);
  title->setFont(bold);
  QLabel* disclaimer =
      Label(about_dialog_names::kDisclaimer,
            QStringLiteral("Wordloom is free software under the MIT licence. It comes with no warranty: "
                           "see \"Copyright and Legals\" in the Help menu."),
            this);
  disclaimer->setWordWrap(true);
  QPushButton* okButton = Button(about_dialog_names::kOk, QStringLiteral("OK"), this);
  okButton->setDefault(true);
  QPushButton* systemInfoButton = Button(about_dialog_names::kSystemInfo, QStringLiteral("&System Info..."), this);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(systemInfoButton, &QPushButton::clicked, this, &AboutDialog::ShowSystemInfo);

  auto* text = new QVBoxLayout;
  text->addWidget(title);
  text->addWidget(Label(about_dialog_names::kVersion,
                        QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision),
                        this));
  text->addWidget(Label(about_dialog_names::kDescription, QStringLiteral("For Linux"), this));
  text->addWidget(disclaimer);
  auto* top = new QHBoxLayout;
  top->addWidget(Picture(about_dialog_names::kIcon, 48, this), 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(systemInfoButton);
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
  setObjectName(QString::fromLatin1(copyright_window_names::kWindow));
  setWindowTitle(QStringLiteral("Copyright and Legals"));
  textView_ = Named(new QPlainTextEdit(this), copyright_window_names::kText);
  textView_->setReadOnly(true);
  textView_->setFont(PaneFont());
  QPushButton* close = Button(copyright_window_names::kClose, QStringLiteral("Close"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(textView_);
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
  textView_->setPlainText(Decode1252(RtfPlainText(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())))));
  return true;
}

ErrorReportWindow::ErrorReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QString::fromLatin1(error_report_names::kWindow));
  setWindowTitle(QStringLiteral("Error Report"));
  reportView_ = Named(new QPlainTextEdit(this), error_report_names::kReport);
  reportView_->setReadOnly(true);
  reportView_->setFont(PaneFont());
  reportView_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(reportView_);
  resize(600, 400);
}

void ErrorReportWindow::SetReport(const std::string& text, TextEncoding encoding) {
  QString shown = DecodeText(text, encoding);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  reportView_->setPlainText(shown);
}

QString ErrorReportWindow::Report() const { return reportView_->toPlainText(); }

}  // namespace wordloom::app
