#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <optional>

#include "concordance/concordance_page.h"
#include "lists/keywords_dialog.h"
#include "lists/profile_page.h"
#include "lists/word_list_page.h"
#include "project/project_dialog.h"
#include "project/reference_letters_dialog.h"
#include "shell/app_info.h"
#include "shell/help_window.h"
#include "shell/options_dialog.h"
#include "shell/small_windows.h"
#include "ui/controls.h"
#include "ui/elided_label.h"
#include "ui/output_pane.h"
#include "ui/prompts.h"
#include "ui/run_progress.h"

namespace wordloom::app {
namespace {

QAction* MakeAction(QObject* parent, const char* objectName, const QString& text, const QString& tip,
                    const QKeySequence& shortcut = QKeySequence()) {
  auto* action = new QAction(text, parent);
  action->setObjectName(QString::fromLatin1(objectName));
  action->setStatusTip(tip);
  action->setToolTip(tip);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

// The desktop's icon, else the style's own where it has a fitting one; an action without an
// icon shows its text on the toolbar.
QIcon ThemeIcon(const char* name, std::optional<QStyle::StandardPixmap> fallback = std::nullopt) {
  const QIcon fromTheme = QIcon::fromTheme(QString::fromLatin1(name));
  if (!fromTheme.isNull() || !fallback) return fromTheme;
  return QApplication::style()->standardIcon(*fallback);
}

}  // namespace

MainWindow::MainWindow(Session& session, Settings& settings, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), session_(session), settings_(settings), prompts_(prompts) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(MainCaption());
  setWindowIcon(QIcon(QStringLiteral(":/wordloom.png")));
  CreateActions();
  CreateMenus();
  CreateToolBars();
  CreatePages();
  CreateStatusBar();
  ConnectRuns();
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateActions() {
  mnuFileNew = MakeAction(this, "mnuFileNew", QStringLiteral("&New"), QStringLiteral("Creates a new project"),
                          QKeySequence::New);
  mnuFileOpen = MakeAction(this, "mnuFileOpen", QStringLiteral("&Open"),
                           QStringLiteral("Opens a project, or a text file as a new project"), QKeySequence::Open);
  mnuFileSave = MakeAction(this, "mnuFileSave", QStringLiteral("&Save"),
                           QStringLiteral("Saves the output on show as an RTF or text file"), QKeySequence::Save);
  mnuFileSaveAs = MakeAction(this, "mnuFileSaveAs", QStringLiteral("Save &As..."),
                             QStringLiteral("Saves the output on show as an RTF or text file"), QKeySequence::SaveAs);
  mnuFilePageSetup = MakeAction(this, "mnuFilePageSetup", QStringLiteral("Page Set&up..."),
                                QStringLiteral("Chooses the paper, its orientation and margins"));
  mnuFilePrintPreview = MakeAction(this, "mnuFilePrintPreview", QStringLiteral("Print Pre&view"),
                                   QStringLiteral("Shows the printout of the output on show"));
  mnuFilePrint = MakeAction(this, "mnuFilePrint", QStringLiteral("&Print..."),
                            QStringLiteral("Prints the output on show"), QKeySequence::Print);
  mnuFileExit = MakeAction(this, "mnuFileExit", QStringLiteral("E&xit"), QStringLiteral("Ends Wordloom"),
                           QKeySequence::Quit);
  mnuEditUndo = MakeAction(this, "mnuEditUndo", QStringLiteral("&Undo"), QStringLiteral("Undoes the last edit"),
                           QKeySequence::Undo);
  mnuEditCut = MakeAction(this, "mnuEditCut", QStringLiteral("Cu&t"), QStringLiteral("Cuts the selection"),
                          QKeySequence::Cut);
  mnuEditCopy = MakeAction(this, "mnuEditCopy", QStringLiteral("&Copy"), QStringLiteral("Copies the selection"),
                           QKeySequence::Copy);
  mnuEditPaste = MakeAction(this, "mnuEditPaste", QStringLiteral("&Paste"), QStringLiteral("Pastes the clipboard"),
                            QKeySequence::Paste);
  mnuViewProject = MakeAction(this, "mnuViewProject", QStringLiteral("&Project"),
                              QStringLiteral("Shows the project's files and scanning rules"));
  mnuViewToolbar = MakeAction(this, "mnuViewToolbar", QStringLiteral("&Toolbar"),
                              QStringLiteral("Shows or hides the toolbar"));
  mnuViewKeyWords = MakeAction(this, "mnuViewKeyWords", QStringLiteral("&KeyWords"),
                               QStringLiteral("Shows or hides the KeyWords toolbar"));
  mnuViewStatusBar = MakeAction(this, "mnuViewStatusBar", QStringLiteral("Status &Bar"),
                                QStringLiteral("Shows or hides the status bar"));
  mnuViewOptions = MakeAction(this, "mnuViewOptions", QStringLiteral("&Options..."),
                              QStringLiteral("Context width, the page shown after opening, tips"));
  mnuViewWebBrowser = MakeAction(this, "mnuViewWebBrowser", QStringLiteral("&Web Browser"),
                                 QStringLiteral("Opens Wordloom's home page in the web browser"));
  mnuHelpContents = MakeAction(this, "mnuHelpContents", QStringLiteral("&Contents"),
                               QStringLiteral("Shows the contents of the manual"), QKeySequence::HelpContents);
  mnuHelpSearch = MakeAction(this, "mnuHelpSearch", QStringLiteral("&Search For Help On..."),
                             QStringLiteral("Looks up a keyword in the manual's index"));
  mnuHelpCopyright = MakeAction(this, "mnuHelpCopyright", QStringLiteral("Copyright and &Legals"),
                                QStringLiteral("Shows the copyright and the licence"));
  mnuHelpAbout = MakeAction(this, "mnuHelpAbout", QStringLiteral("&About Wordloom..."),
                            QStringLiteral("Shows the version of Wordloom"));
  // Saving and printing need an output: they wait for a project.
  for (QAction* action : {mnuFileSave, mnuFileSaveAs, mnuFilePrintPreview, mnuFilePrint}) action->setEnabled(false);
  for (QAction* toggle : {mnuViewToolbar, mnuViewKeyWords, mnuViewStatusBar}) {
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }

  mnuFileNew->setIcon(ThemeIcon("document-new", QStyle::SP_FileIcon));
  mnuFileOpen->setIcon(ThemeIcon("document-open", QStyle::SP_DialogOpenButton));
  mnuFileSave->setIcon(ThemeIcon("document-save", QStyle::SP_DialogSaveButton));
  mnuFilePrint->setIcon(ThemeIcon("document-print"));
  mnuEditCut->setIcon(ThemeIcon("edit-cut"));
  mnuEditCopy->setIcon(ThemeIcon("edit-copy"));
  mnuEditPaste->setIcon(ThemeIcon("edit-paste"));

  connect(mnuFileNew, &QAction::triggered, this, &MainWindow::NewProjectCommand);
  connect(mnuFileOpen, &QAction::triggered, this, &MainWindow::OpenProjectCommand);
  connect(mnuFileSave, &QAction::triggered, this, [this] { PaneCode() == 1 ? SaveWordList() : SavePane(PaneCode()); });
  connect(mnuFileSaveAs, &QAction::triggered, mnuFileSave, &QAction::trigger);
  connect(mnuFilePageSetup, &QAction::triggered, this, [this] { prompts_.SetUpPage(this, printer_); });
  connect(mnuFilePrintPreview, &QAction::triggered, this, &MainWindow::PrintPreview);
  connect(mnuFilePrint, &QAction::triggered, this, [this] { PrintPane(PaneCode()); });
  connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
  connect(mnuEditUndo, &QAction::triggered, this, [this] { EditCommand("undo"); });
  connect(mnuEditCut, &QAction::triggered, this, [this] { EditCommand("cut"); });
  connect(mnuEditCopy, &QAction::triggered, this, [this] { EditCommand("copy"); });
  connect(mnuEditPaste, &QAction::triggered, this, [this] { EditCommand("paste"); });
  connect(mnuViewProject, &QAction::triggered, this, &MainWindow::EditProjectCommand);
  connect(mnuViewToolbar, &QAction::triggered, this, &MainWindow::LayoutMainWindow);
  connect(mnuViewKeyWords, &QAction::triggered, this, &MainWindow::LayoutMainWindow);
  connect(mnuViewStatusBar, &QAction::triggered, this, &MainWindow::LayoutMainWindow);
  connect(mnuViewOptions, &QAction::triggered, this, &MainWindow::ShowOptions);
  connect(mnuViewWebBrowser, &QAction::triggered, this, &MainWindow::OpenWebBrowser);
  connect(mnuHelpContents, &QAction::triggered, this, [this] { ShowHelp(false); });
  connect(mnuHelpSearch, &QAction::triggered, this, [this] { ShowHelp(true); });
  connect(mnuHelpCopyright, &QAction::triggered, this, &MainWindow::ShowCopyright);
  connect(mnuHelpAbout, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  file->addActions({mnuFileNew, mnuFileOpen});
  file->addSeparator();
  file->addActions({mnuFileSave, mnuFileSaveAs});
  file->addSeparator();
  file->addActions({mnuFilePageSetup, mnuFilePrintPreview, mnuFilePrint});
  file->addSeparator();
  recentMenu_ = file;
  exitSeparator_ = file->addSeparator();
  file->addAction(mnuFileExit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("mnuEdit"));
  edit->addAction(mnuEditUndo);
  edit->addSeparator();
  edit->addActions({mnuEditCut, mnuEditCopy, mnuEditPaste});

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("mnuView"));
  view->addAction(mnuViewProject);
  view->addSeparator();
  view->addActions({mnuViewToolbar, mnuViewKeyWords, mnuViewStatusBar});
  view->addSeparator();
  view->addActions({mnuViewOptions, mnuViewWebBrowser});

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  help->addActions({mnuHelpContents, mnuHelpSearch});
  help->addSeparator();
  help->addActions({mnuHelpCopyright, mnuHelpAbout});
}

void MainWindow::CreateToolBars() {
  tbToolBar = addToolBar(QStringLiteral("Toolbar"));
  tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
  tbToolBar->addActions({mnuFileNew, mnuFileOpen, mnuFileSave, mnuFilePrint});
  tbToolBar->addSeparator();
  tbToolBar->addActions({mnuEditCut, mnuEditCopy, mnuEditPaste});

  addToolBarBreak();
  Toolbar2 = addToolBar(QStringLiteral("KeyWords"));
  Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
  Text2 = ResultBox("Text2", Toolbar2);
  Text2->setMinimumWidth(150);
  Text2->setToolTip(QStringLiteral("The key words chosen"));
  Command9 = Button("Command9", QStringLiteral("KeyWords"), Toolbar2);
  Command9->setToolTip(QStringLiteral("Chooses the key words"));
  Combo2 = DropDown("Combo2",
                    {{"Ascending Alphabetic Order", 1},
                     {"Descending Alphabetic Order", 2},
                     {"Increasing Frequency Order", 3},
                     {"Decreasing Frequency Order", 4},
                     {"Increasing Length Order", 5},
                     {"Decreasing Length Order", 6}},
                    Toolbar2);
  Combo2->setToolTip(QStringLiteral("The order of word lists and of key-word concordances"));
  Check2 = Check("Check2", QStringLiteral("Rhyme"), Toolbar2);
  Check2->setToolTip(QStringLiteral("Orders words from their last letter"));
  Toolbar2->addWidget(Text2);
  Toolbar2->addWidget(Command9);
  Toolbar2->addWidget(Combo2);
  Toolbar2->addWidget(Check2);
  Toolbar2->setEnabled(false);
  connect(Command9, &QPushButton::clicked, this, &MainWindow::ShowKeyWordsDialog);
}

void MainWindow::CreatePages() {
  SSTab1 = Named(new QTabWidget(this), "SSTab1");
  concordancePage_ = new ConcordancePage(SSTab1);
  wordListPage_ = new WordListPage(SSTab1);
  profilePage_ = new ProfilePage(SSTab1);
  SSTab1->addTab(concordancePage_, QStringLiteral("Concordance"));
  SSTab1->addTab(wordListPage_, QStringLiteral("Word List"));
  SSTab1->addTab(profilePage_, QStringLiteral("Profile"));
  SSTab1->setEnabled(false);
  setCentralWidget(SSTab1);
}

void MainWindow::CreateStatusBar() {
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  // The path and the title give way to the counts when the window is narrow.
  statusPanels_[0] = Named(new ElidedLabel(this), "Panel1");
  statusPanels_[1] = Named(new ElidedLabel(this), "Panel2");
  statusPanels_[2] = Label("Panel3", QString(), this);
  statusBar()->addWidget(statusPanels_[0], 1);
  statusBar()->addWidget(statusPanels_[1], 1);
  statusBar()->addWidget(statusPanels_[2]);
  ProgressBar1 = Named(new QProgressBar(this), "ProgressBar1");
  ProgressBar1->setMaximumWidth(160);
  ProgressBar1->setVisible(false);
  statusBar()->addPermanentWidget(ProgressBar1);
}

void MainWindow::ConnectRuns() {
  connect(concordancePage_->Command5, &QPushButton::clicked, this, [this] { RunConcordancePass(false); });
  connect(concordancePage_->Command2, &QPushButton::clicked, this, [this] { RunConcordancePass(true); });
  connect(concordancePage_->Command4, &QPushButton::clicked, this, [this] {
    if (currentRun_) currentRun_->RequestStop();
  });
  connect(wordListPage_->Command6, &QPushButton::clicked, this, &MainWindow::RunWordList);
  connect(profilePage_->Command3, &QPushButton::clicked, this, &MainWindow::RunProfile);
  // A double-click on either "KeyWords" option opens the KeyWords Required dialog.
  OnDoubleClick(concordancePage_->Option9, [this] { ShowKeyWordsDialog(); });
  OnDoubleClick(profilePage_->Option11, [this] { ShowKeyWordsDialog(); });
}

void MainWindow::Load() {
  if (!settings_.HasCurrentLayout()) {
    settings_.ResetLayout();
    SaveOptions(settings_.ReadOptions());  // the Options dialog's defaults
  }
  const QRect geometry = settings_.ReadGeometry();
  resize(geometry.size());
  move(geometry.topLeft());
  TempDir_ = settings_.TempDir();
  LoadOptions();
  CentreWindows();
  LayoutMainWindow();
  UpdateRecentProjects();
  settings_.Sync();
}

void MainWindow::LoadOptions() {
  options_ = settings_.ReadOptions();
  if (frmOptions_) frmOptions_->SetValues(options_);
  const OptionValues shown = AsOptionButtons(options_);
  ContextWidth_ = ContextWidthOf(shown.context);
  StartUpOutput_ = StartUpOutputOf(shown);
}

void MainWindow::SaveOptions(const OptionValues& values) {
  settings_.WriteOptions(values);
  settings_.Sync();
  LoadOptions();
}

void MainWindow::CentreWindows() {
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QRect available = screen->geometry();
    move(available.x() + (available.width() - width()) / 2, available.y() + (available.height() - height()) / 2);
  }
  concordancePage_->Text1->clear();
  Text2->clear();
  mnuViewToolbar->setChecked(true);
}

void MainWindow::LayoutMainWindow() {
  tbToolBar->setVisible(mnuViewToolbar->isChecked());
  Toolbar2->setVisible(mnuViewKeyWords->isChecked());
  statusBar()->setVisible(mnuViewStatusBar->isChecked());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // A concordance ends at its next check, other passes run to their end; the window
    // closes as soon as the pass is over.
    closePending_ = true;
    if (currentRun_) currentRun_->RequestStop();
    event->ignore();
    return;
  }
  SaveOnUnload();
  for (QWidget* window : std::initializer_list<QWidget*>{helpWindow_, Form6_, Form1_, Form4_, Form3_, Form5_}) {
    if (window) window->hide();
  }
  event->accept();
}

void MainWindow::SaveOnUnload() {
  if (isMinimized()) return;
  settings_.WriteGeometry(QRect(pos(), size()));
  settings_.WriteOptions(options_);
  settings_.Sync();
}

void MainWindow::ShowOptions() {
  if (!frmOptions_) {
    frmOptions_ = new OptionsDialog(this);
    frmOptions_->setWindowModality(Qt::ApplicationModal);
    connect(frmOptions_, &OptionsDialog::applyRequested, this, &MainWindow::SaveOptions);
  }
  LoadOptions();
  frmOptions_->show();
  frmOptions_->raise();
}

void MainWindow::ShowHelp(bool index) {
  const QString folder = FindDataFile(QStringLiteral("help"));
  if (folder.isEmpty()) {
    prompts_.Message(this, QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
    return;
  }
  if (!helpWindow_) helpWindow_ = new HelpWindow(folder, this);
  index ? helpWindow_->ShowIndex() : helpWindow_->ShowContents();
}

void MainWindow::ShowCopyright() {
  if (!Form2_) Form2_ = new CopyrightWindow(this);
  QString error;
  if (!Form2_->LoadRtfFile(FindDataFile(QStringLiteral("copyrigh.rtf")), error)) {
    prompts_.Message(this, error, MessageKind::Warning);
    return;
  }
  Form2_->show();
  Form2_->raise();
}

void MainWindow::ShowAbout() {
  auto* about = new AboutDialog(prompts_, this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
}

void MainWindow::OpenWebBrowser() {
  const QString home = FindDataFile(QStringLiteral("help/index.html"));
  if (home.isEmpty()) {
    prompts_.Message(this, QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
    return;
  }
  if (!prompts_.OpenUrl(QUrl::fromLocalFile(home))) {
    prompts_.Message(this, QStringLiteral("Could not start a web browser for %1.").arg(home), MessageKind::Warning);
  }
}

void MainWindow::EditCommand(const char* slot) {
  QWidget* focused = QApplication::focusWidget();
  if (qobject_cast<QLineEdit*>(focused) || qobject_cast<QPlainTextEdit*>(focused)) {
    QMetaObject::invokeMethod(focused, slot);
  }
}

}  // namespace wordloom::app
