// The Options dialog, opened from the main window over settings in a temporary folder.
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>

#include "app_test.h"
#include "shell/options_dialog.h"
#include "shell/options_dialog_names.h"
#include "shell/main_window_names.h"
#include "window_fixture.h"

namespace wordloom::app::test {

namespace names = options_dialog_names;

class OptionsDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> f;

  template <typename T>
  T* Control(const char* name) const { return f->FindIn<T>(names::kDialog, name); }
  QLineEdit* Context() const { return Control<QLineEdit>(names::kContext); }
  void Press(const char* button) { f->Click(names::kDialog, button); }
  QString Stored(const char* key) const {
    return QSettings(f->SettingsPath(), QSettings::NativeFormat).value(QStringLiteral("Settings/") + key).toString();
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    f->Trigger(main_window_names::kViewOptions);
  }
  void cleanup() {
    f.reset();
    VerifyNoWindowLeft();
  }

  // A number is shown, stored and used as the width it stands for; other text is kept as typed.
  void AcceptingShowsTheContextWidthUsed_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("used");
    QTest::newRow("within") << "80" << "80" << 80;
    QTest::newRow("above") << "999" << "240" << 240;
    QTest::newRow("below") << "3" << "10" << 10;
    QTest::newRow("blanks, half to even") << " 12.5 " << "12" << 12;
    QTest::newRow("not a number") << "wide" << "wide" << 60;
    QTest::newRow("empty") << "" << "" << 60;
  }
  void AcceptingShowsTheContextWidthUsed() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, used);
    for (const char* button : {names::kApply, names::kOk}) {
      Context()->setText(typed);
      Press(button);
      QCOMPARE(Context()->text(), shown);
      QCOMPARE(Stored("Context"), shown);
      QCOMPARE(f->window->ContextWidth(), used);
    }
  }

  void ApplyStoresAndCancelForgetsTheEditsSinceThen() {
    Context()->setText(QStringLiteral("80"));
    Control<QRadioButton>(names::kStartUp[1])->setChecked(true);
    Press(names::kApply);
    QCOMPARE(Stored("StartUp0") + Stored("StartUp1"), QStringLiteral("FalseTrue"));
    Context()->setText(QStringLiteral("120"));
    Press(names::kCancel);
    QVERIFY(!f->window->findChild<OptionsDialog*>(names::kDialog)->isVisible());
    QCOMPARE(Stored("Context"), QStringLiteral("80"));
    f->Trigger(main_window_names::kViewOptions);
    QCOMPARE(Context()->text(), QStringLiteral("80"));
    Press(names::kOk);
    f->Open(SamplePath(QStringLiteral("samples.wlm")));  // opens on the Word List page
    QCOMPARE(f->Find<QTabWidget>(main_window_names::kPages)->currentIndex(), 1);
  }

  void TheArrowsStepWithinBounds() {
    auto* arrows = Control<UpDownButtons>(names::kContextArrows);
    const std::tuple<const char*, int, const char*> cases[] = {
        {"wide", 1, "61"}, {"240", 1, "240"}, {"10", -1, "10"}, {"999", -1, "239"}};
    for (const auto& [typed, by, stepped] : cases) {
      Context()->setText(QString::fromLatin1(typed));
      arrows->Step(by);
      QCOMPARE(Context()->text(), QString::fromLatin1(stepped));
    }
  }
};

WORDLOOM_APP_TEST(OptionsDialogTest);

}  // namespace wordloom::app::test

#include "options_dialog_test.moc"
