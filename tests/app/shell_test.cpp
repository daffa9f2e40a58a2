// Settings, the Options dialog and the small windows of the shell.
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTextBrowser>

#include "app_test.h"
#include "shell/options_dialog.h"
#include "window_fixture.h"

namespace wordloom::app::test {

class ShellTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;

  QString Stored(const QString& key) const {
    QSettings store(f->SettingsPath(), QSettings::NativeFormat);
    return store.value(QStringLiteral("Settings/") + key).toString();
  }
  void Store(const QString& key, const QString& value) {
    QSettings store(f->SettingsPath(), QSettings::NativeFormat);
    store.setValue(QStringLiteral("Settings/") + key, value);
  }
  QMap<QString, QString> AllStored() const {
    QSettings store(f->SettingsPath(), QSettings::NativeFormat);
    QMap<QString, QString> values;
    for (const QString& key : store.allKeys()) values[key] = store.value(key).toString();
    return values;
  }
  // Closes the window and opens another on the same settings, as a second run does; `between`
  // runs while no window is open.
  void Restart(const std::function<void()>& between = {}) {
    f->window->close();
    f->window.reset();
    if (between) between();
    f->settings = std::make_unique<Settings>(f->SettingsPath());
    f->window = std::make_unique<MainWindow>(f->session, *f->settings, f->prompts);
    f->window->Load();
  }
  OptionsDialog* Options() const { return f->window->findChild<OptionsDialog*>(QStringLiteral("frmOptions")); }
  template <typename T>
  T* InOptions(const char* name) const {
    return Options()->findChild<T*>(QString::fromLatin1(name));
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    f.reset();
    VerifyNoWindowLeft();
  }

  void TheFirstRunWritesElevenSettings() {
    QMap<QString, QString> expected{{"Settings/Version", "32v32"},   {"Settings/MainLeft", "1000"},
                                    {"Settings/MainTop", "1000"},    {"Settings/MainWidth", "7800"},
                                    {"Settings/MainHeight", "6500"}, {"Settings/TEMP_DIR", f->Path("scratch")},
                                    {"Settings/Tips", "1"},          {"Settings/StartUp0", "True"},
                                    {"Settings/StartUp1", "False"},  {"Settings/StartUp2", "False"},
                                    {"Settings/Context", "60"}};
    QCOMPARE(AllStored(), expected);
    QCOMPARE(f->window->size(), QSize(520, 433));
    QCOMPARE(f->window->TempDir(), f->Path("scratch"));
  }

  void ASecondRunReadsThemBack() {
    const QMap<QString, QString> first = AllStored();
    Restart();
    QCOMPARE(f->window->size(), QSize(520, 433));
    QCOMPARE(f->window->ContextWidth(), 60);
    QCOMPARE(AllStored().value("Settings/MainHeight"), first.value("Settings/MainHeight"));
    f->window->resize(700, 500);
    Restart();
    QCOMPARE(f->window->size(), QSize(700, 500));
    QCOMPARE(Stored("MainWidth"), QStringLiteral("10500"));
  }

  void AMinimisedWindowSavesNothing() {
    Store("Context", "90");  // stored by another run meanwhile
    f->window->resize(800, 600);
    const QMap<QString, QString> before = AllStored();
    f->window->showMinimized();
    f->window->close();
    QCOMPARE(AllStored(), before);
  }

  void AnotherLayoutVersionResetsPlaceSizeAndFolder() {
    Restart([this] {
      Store("Version", "31v1");
      Store("MainWidth", "9000");
      Store("TEMP_DIR", "/elsewhere");
      Store("Context", "100");
    });
    QCOMPARE(Stored("Version"), QStringLiteral("32v32"));
    QCOMPARE(Stored("MainWidth"), QStringLiteral("7800"));
    QCOMPARE(Stored("TEMP_DIR"), f->Path("scratch"));
    QCOMPARE(Stored("Context"), QStringLiteral("100"));  // options are kept
    QCOMPARE(f->window->ContextWidth(), 100);
  }

  void ContextWidthOfTypedTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("width");
    QTest::newRow("plain") << "80" << 80;
    QTest::newRow("blanks") << " 90 " << 90;
    QTest::newRow("below") << "5" << 10;
    QTest::newRow("above") << "500" << 240;
    QTest::newRow("half to even") << "12.5" << 12;
    QTest::newRow("far above") << "1e400" << 240;
    QTest::newRow("far below") << "-1e400" << 10;
    QTest::newRow("not a number") << "wide" << 60;
    QTest::newRow("empty") << "" << 60;
  }
  void ContextWidthOfTypedTexts() {
    QFETCH(QString, typed);
    QFETCH(int, width);
    QCOMPARE(ContextWidthOf(typed), width);
  }

  void OptionsApplyCancelAndOk() {
    f->Trigger("mnuViewOptions");
    QVERIFY(Options()->isVisible());
    InOptions<QLineEdit>("Text1")->setText("80");
    InOptions<QRadioButton>("Option2")->setChecked(true);
    QTest::mouseClick(InOptions<QPushButton>("cmdApply"), Qt::LeftButton);
    QCOMPARE(Stored("Context"), QStringLiteral("80"));
    QCOMPARE(Stored("StartUp0"), QStringLiteral("False"));
    QCOMPARE(Stored("StartUp1"), QStringLiteral("True"));
    QCOMPARE(f->window->ContextWidth(), 80);
    InOptions<QLineEdit>("Text1")->setText("120");
    QTest::mouseClick(InOptions<QPushButton>("cmdCancel"), Qt::LeftButton);
    QVERIFY(!Options()->isVisible());
    QCOMPARE(Stored("Context"), QStringLiteral("80"));  // Apply, then Cancel, keeps what was applied
    f->Trigger("mnuViewOptions");
    QCOMPARE(InOptions<QLineEdit>("Text1")->text(), QStringLiteral("80"));

    InOptions<QLineEdit>("Text1")->setText("wide");
    QTest::mouseClick(InOptions<QPushButton>("cmdOK"), Qt::LeftButton);
    QVERIFY(!Options()->isVisible());
    QCOMPARE(Stored("Context"), QStringLiteral("wide"));  // stored as typed
    QCOMPARE(f->window->ContextWidth(), 60);

    // "Word List" on start-up: the next project opens on that page.
    f->Open(SamplePath("samples.wlm"));
    QCOMPARE(f->Find<QTabWidget>("SSTab1")->currentIndex(), 1);
  }

  void TheSpinArrowsStayWithinBounds() {
    f->Trigger("mnuViewOptions");
    auto* text = InOptions<QLineEdit>("Text1");
    auto* arrows = InOptions<UpDownButtons>("UpDown1");
    text->setText("wide");
    arrows->Step(1);
    QCOMPARE(text->text(), QStringLiteral("61"));
    text->setText("240");
    arrows->Step(1);
    QCOMPARE(text->text(), QStringLiteral("240"));
    text->setText("10");
    arrows->Step(-1);
    QCOMPARE(text->text(), QStringLiteral("10"));
  }

  void CtrlTabCyclesTheOptionPages() {
    f->Trigger("mnuViewOptions");
    QVERIFY(QTest::qWaitForWindowActive(Options()));
    auto* tabs = InOptions<QTabWidget>("tbsOptions");
    QCOMPARE(tabs->count(), 4);
    for (int expected : {1, 2, 3, 0}) {
      QTest::keyClick(Options(), Qt::Key_Tab, Qt::ControlModifier);
      QCOMPARE(tabs->currentIndex(), expected);
    }
  }

  void HelpBrowserAndAbout() {
    f->Trigger("mnuHelpContents");
    auto* help = f->window->findChild<QTextBrowser*>(QStringLiteral("brwHelp"));
    QVERIFY(help && help->isVisible());
    QVERIFY(help->source().toString().endsWith(QStringLiteral("index.html")));
    QVERIFY(help->toPlainText().contains(QStringLiteral("Wordloom")));

    f->Trigger("mnuViewWebBrowser");
    QCOMPARE(f->prompts.openedUrls.size(), 1);
    QVERIFY(f->prompts.openedUrls[0].isLocalFile());
    QVERIFY(f->prompts.openedUrls[0].toLocalFile().endsWith(QStringLiteral("help/index.html")));

    f->Trigger("mnuHelpCopyright");
    auto* copyright = f->window->findChild<QDialog*>(QStringLiteral("Form2"));
    QVERIFY(copyright && copyright->isVisible());
    QVERIFY(copyright->findChild<QPlainTextEdit*>()->toPlainText().contains(QStringLiteral("MIT")));

    f->Trigger("mnuHelpAbout");
    auto* about = f->window->findChild<QDialog*>(QStringLiteral("frmAbout"));
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 3.2.0"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", f->Path("empty").toLocal8Bit());
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    qputenv("PATH", path);
    QCOMPARE(f->prompts.messages.last(), QStringLiteral("System Information Is Unavailable At This Time"));
    about->close();
  }
};

WORDLOOM_APP_TEST(ShellTest);

}  // namespace wordloom::app::test

#include "shell_test.moc"
