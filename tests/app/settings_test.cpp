// The settings that outlive a run, as the main window reads and writes them and the Options
// dialog edits them.
#include "shell/options_dialog_names.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace options = options_dialog_names;

// A context width typed in the Options dialog, as it is then shown and stored, the width used, and
// the text the up and the down arrow make of it.
struct ContextCase { QString typed, shown; int used; QString up, down; };

class SettingsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;

  QMap<QString, QString> Stored() const {
    QSettings store(f->SettingsPath(), QSettings::NativeFormat);
    QMap<QString, QString> values;
    for (const QString& key : store.allKeys()) values[key.mid(key.indexOf(u'/') + 1)] = store.value(key).toString();
    return values;
  }
  void Store(const QString& key, const QString& value) {
    QSettings(f->SettingsPath(), QSettings::NativeFormat).setValue(QStringLiteral("Settings/") + key, value);
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
  template <typename T>
  T* Option(const char* name) const { return f->FindIn<T>(options::kDialog, name); }
  QLineEdit* Context() const { return Option<QLineEdit>(options::kContext); }
  void Press(const char* button) { f->Click(options::kDialog, button); }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() { FinishFixture(f); }

  // The first run: two thirds of the screen, centred; then, run after run, where it was closed.
  // Another settings layout resets the place, the size and the scratch folder, not the options.
  void TheWindowReopensWhereItWasClosedUnlessMinimisedOrOfAnotherLayout() {
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(f->window->width() - available.width() * 2 / 3) <= 1);
    QVERIFY(qAbs(f->window->height() - available.height() * 2 / 3) <= 1);
    QVERIFY(qAbs(f->window->geometry().center().x() - available.center().x()) <= 1);
    const QRect place(available.x() + 37, available.y() + 51, 613, 419);
    f->window->setGeometry(place);
    for (int start = 0; start < 3; ++start) {
      f->window->show();
      Restart();
      QCOMPARE(f->window->geometry(), place);
    }
    QCOMPARE(Stored().value("MainWidth"), QStringLiteral("9195"));  // twips
    // A minimised window saves nothing, not even over what another run stored meanwhile.
    Store("Context", "90");
    f->window->resize(800, 600);
    const QMap<QString, QString> before = Stored();
    f->window->showMinimized();
    f->window->close();
    QCOMPARE(Stored(), before);
    Restart([this] {
      Store("Version", "31v1");
      Store("MainWidth", "9000");
      Store("TEMP_DIR", "/elsewhere");
    });
    const QMap<QString, QString> stored = Stored();
    QCOMPARE(stored.value("MainWidth"), QString::number(f->window->width() * 15));
    QCOMPARE(stored.value("TEMP_DIR"), f->Path("scratch"));
    QCOMPARE(stored.value("Context"), QStringLiteral("90"));
    QCOMPARE(f->window->ContextWidth(), 90);
  }

  // A number is shown, stored and used as the width it stands for; other text is kept as typed.
  // The arrows step from the width used, within the bounds.
  void AcceptingOptionsShowsTheContextWidthUsed_data() {
    QTest::addColumn<ContextCase>("c");
    QTest::newRow("within") << ContextCase{"80", "80", 80, "81", "79"};
    QTest::newRow("above") << ContextCase{"999", "240", 240, "240", "239"};
    QTest::newRow("below") << ContextCase{"3", "10", 10, "11", "10"};
    QTest::newRow("blanks, half to even") << ContextCase{" 12.5 ", "12", 12, "13", "11"};
    QTest::newRow("not a number") << ContextCase{"wide", "wide", 60, "61", "59"};
    QTest::newRow("empty") << ContextCase{"", "", 60, "61", "59"};
  }
  void AcceptingOptionsShowsTheContextWidthUsed() {
    QFETCH(ContextCase, c);
    f->Trigger(main_window_names::kViewOptions);
    for (const auto& [arrow, stepped] : {std::pair{options::kStepUp, c.up}, std::pair{options::kStepDown, c.down}}) {
      Context()->setText(c.typed);
      QTest::mouseClick(Option<QToolButton>(arrow), Qt::LeftButton);
      QCOMPARE(Context()->text(), stepped);
    }
    for (const char* button : {options::kApply, options::kOk}) {
      Context()->setText(c.typed);
      Press(button);
      QCOMPARE(Context()->text(), c.shown);
      QCOMPARE(Stored().value("Context"), c.shown);
      QCOMPARE(f->window->ContextWidth(), c.used);
    }
  }

  void ApplyStoresTheOptionsAndCancelForgetsTheEditsSinceThen() {
    f->Trigger(main_window_names::kViewOptions);
    Context()->setText(QStringLiteral("80"));
    Option<QRadioButton>(options::kStartUp[1])->setChecked(true);
    QCOMPARE(Option<QSpinBox>(options::kThreads)->text(), QStringLiteral("Automatic"));
    Option<QSpinBox>(options::kThreads)->setValue(2);
    Press(options::kApply);
    QCOMPARE(Stored().value("StartUp0") + Stored().value("StartUp1"), QStringLiteral("FalseTrue"));
    QCOMPARE(Stored().value("Threads"), QStringLiteral("2"));
    Context()->setText(QStringLiteral("120"));
    Option<QSpinBox>(options::kThreads)->setValue(1);
    Press(options::kCancel);
    QVERIFY(!f->window->findChild<QDialog*>(options::kDialog)->isVisible());
    QCOMPARE(Stored().value("Context"), QStringLiteral("80"));
    f->Trigger(main_window_names::kViewOptions);
    QCOMPARE(Context()->text(), QStringLiteral("80"));
    QCOMPARE(Option<QSpinBox>(options::kThreads)->value(), 2);
    Press(options::kOk);
    f->Open(SamplePath(QStringLiteral("samples.wlm")));  // opens on the Word List page
    QCOMPARE(f->Find<QTabWidget>(main_window_names::kPages)->currentIndex(), 1);
  }
};

WORDLOOM_APP_TEST(SettingsTest);

}  // namespace wordloom::app::test

#include "settings_test.moc"
