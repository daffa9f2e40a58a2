// A main window over a fresh session, settings in a temporary folder, scripted prompts, and
// its scratch folder (TEMP) inside the same temporary folder.
#pragma once

#include <memory>

#include "app_test.h"
#include "project/session.h"
#include "scripted_prompts.h"
#include "shell/main_window.h"
#include "shell/main_window_names.h"
#include "shell/settings.h"
#include "ui/output_pane.h"

namespace wordloom::app::test {

struct WindowFixture {
  QTemporaryDir folder;
  ScriptedPrompts prompts;
  Session session;
  std::unique_ptr<Settings> settings;
  std::unique_ptr<MainWindow> window;

  // `privateScratch`: no TEMP, so the outputs go to the private per-user folder under TMPDIR.
  explicit WindowFixture(bool privateScratch = false) {
    if (privateScratch) {
      qunsetenv("TEMP");
      qputenv("TMPDIR", folder.path().toLocal8Bit());
    } else {
      qputenv("TEMP", Path(QStringLiteral("scratch")).toLocal8Bit());
    }
    settings = std::make_unique<Settings>(SettingsPath());
    window = std::make_unique<MainWindow>(session, *settings, prompts);
    window->Load();
  }
  ~WindowFixture() {
    if (window) window->close();
    qunsetenv("TMPDIR");
  }

  QString Path(const QString& name) const { return folder.filePath(name); }
  QString SettingsPath() const { return Path(QStringLiteral("settings.conf")); }

  // A control of the main window itself; the dialogs reuse its controls' names.
  template <typename T>
  T* Find(const char* name) const {
    for (T* found : window->findChildren<T*>(QString::fromLatin1(name))) {
      auto* widget = qobject_cast<QWidget*>(found);
      if (!widget || widget->window() == window.get()) return found;
    }
    qWarning("no control %s", name);
    return nullptr;
  }
  // A control of the dialog or window named `dialog`, one of the main window's own.
  template <typename T>
  T* FindIn(const char* dialog, const char* name) const {
    auto* owner = window->findChild<QWidget*>(QString::fromLatin1(dialog));
    T* found = owner ? owner->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found) qWarning("no control %s in %s", name, dialog);
    return found;
  }
  void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
  // The text of a status-bar panel or another label of the main window.
  QString Label(const char* name) const { return Find<QLabel>(name)->text(); }
  // wordloom-cli's standard output, its scratch files in this fixture's folder.
  QByteArray Cli(QStringList arguments, QByteArray* errors = nullptr) const {
    arguments << QStringLiteral("--temp") << Path(QStringLiteral("cli"));
    return RunCli(arguments, errors);
  }
  // Clicks a button of the window, or of its dialog `dialog`, and waits until the pass it may
  // have started has been shown.
  void Click(const char* button) { Click(nullptr, button); }
  void Click(const char* dialog, const char* button) {
    QTest::mouseClick(dialog ? FindIn<QPushButton>(dialog, button) : Find<QPushButton>(button), Qt::LeftButton);
    WaitForPass();
  }
  void WaitForPass() const {
    if (window) QTRY_VERIFY_WITH_TIMEOUT(!window->IsRunning(), 120000);
  }
  QString Pane(const char* name) const { return Find<OutputPane>(name)->Text(); }
  void Open(const QString& path) { prompts.fileNames.enqueue(path), Trigger(main_window_names::kOpen); }
  // The status bar, the key-word summary and the citation letters show `project` as
  // `wordloom-cli info` describes it.
  void VerifyShowsProject(const QString& project) const {
    namespace names = main_window_names;
    const QStringList info = QString::fromLatin1(Cli({QStringLiteral("info"), project})).split(u'\n');
    const QStringList shown{Label(names::kPathPanel), Label(names::kTitlePanel), Label(names::kCountsPanel),
                            Find<QLineEdit>(names::kKeyWordsSummary)->text(),
                            Find<QLineEdit>(names::kCitationLetters)->text()};
    QCOMPARE(shown, QStringList{project} + info.mid(0, 4));
  }
};

// Closes the window, then fails the running test if it left a window or a prompt unanswered.
inline void FinishFixture(std::unique_ptr<WindowFixture>& fixture) {
  const QStringList unexpected = fixture->prompts.unexpected;
  fixture.reset();
  VerifyNoWindowLeft();
  QVERIFY2(unexpected.isEmpty(), qPrintable(QStringLiteral("unexpected prompts: ") + unexpected.join(u", ")));
}

}  // namespace wordloom::app::test
