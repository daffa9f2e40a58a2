// A main window over a fresh session, settings in a temporary folder, scripted prompts, and
// its scratch folder (TEMP) inside the same temporary folder.
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "project/session.h"
#include "scripted_prompts.h"
#include "shell/main_window.h"
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

  template <typename T>
  T* Find(const char* name) const {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) qWarning("no control %s", name);
    return found;
  }
  void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  QString Pane(const char* name) const { return Find<OutputPane>(name)->toPlainText(); }
  void Open(const QString& path) {
    prompts.fileNames.enqueue(path);
    Trigger("mnuFileOpen");
  }
};

}  // namespace wordloom::app::test
