// The settings that outlive a run, as the main window reads and writes them.
#include <QApplication>
#include <QScreen>
#include <QSettings>

#include "app_test.h"
#include "window_fixture.h"

namespace wordloom::app::test {

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

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    f.reset();
    VerifyNoWindowLeft();
  }

  void ASecondRunReadsThePlaceAndSizeBack() {
    const QSize first = QApplication::primaryScreen()->availableGeometry().size() * 2 / 3;
    QVERIFY(qAbs(f->window->width() - first.width()) <= 1 && qAbs(f->window->height() - first.height()) <= 1);
    f->window->resize(700, 500);
    Restart();
    QCOMPARE(f->window->size(), QSize(700, 500));
    QCOMPARE(Stored().value("MainWidth"), QStringLiteral("10500"));  // twips
    QCOMPARE(f->window->TempDir(), f->Path("scratch"));
  }

  void AMinimisedWindowSavesNothing() {
    Store("Context", "90");  // stored by another run meanwhile
    f->window->resize(800, 600);
    const QMap<QString, QString> before = Stored();
    f->window->showMinimized();
    f->window->close();
    QCOMPARE(Stored(), before);
  }

  void AnotherLayoutVersionResetsPlaceSizeAndFolderButKeepsTheOptions() {
    Restart([this] {
      Store("Version", "31v1");
      Store("MainWidth", "9000");
      Store("TEMP_DIR", "/elsewhere");
      Store("Context", "100");
    });
    const QMap<QString, QString> stored = Stored();
    QCOMPARE(stored.value("Version"), QStringLiteral("32v32"));
    QCOMPARE(stored.value("MainWidth"), QString::number(f->window->width() * 15));
    QCOMPARE(stored.value("TEMP_DIR"), f->Path("scratch"));
    QCOMPARE(stored.value("Context"), QStringLiteral("100"));
    QCOMPARE(f->window->ContextWidth(), 100);
  }
};

WORDLOOM_APP_TEST(SettingsTest);

}  // namespace wordloom::app::test

#include "settings_test.moc"
