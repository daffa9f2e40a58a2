// ScriptedPrompts: answers the windows' questions and dialogs from queues and records what
// was asked, so that GUI tests never wait for a person. An unexpected prompt is answered
// "No" or "Cancel" and recorded in `unexpected`.
#pragma once

#include <QFont>
#include <QPrinter>
#include <QQueue>
#include <QStringList>

#include "ui/prompts.h"

namespace wordloom::app {

class ScriptedPrompts : public Prompts {
 public:
  QQueue<bool> answers;          // Question
  QQueue<QString> fileNames;     // OpenFileName and SaveFileName; "" cancels
  QString pdfPath;               // ChoosePrinter prints to this PDF file, or cancels when empty
  QQueue<QFont> fonts;           // ChooseFont; an empty queue cancels
  QStringList messages;          // every message shown
  QStringList fileFilters;       // the filter of every file dialog
  QStringList unexpected;
  QList<QUrl> openedUrls;
  QStringList startedPrograms;
  int previews = 0;

  void Message(QWidget*, const QString& text, MessageKind) override { messages << text; }
  bool Question(QWidget*, const QString& text) override {
    if (answers.isEmpty()) {
      unexpected << text;
      return false;
    }
    return answers.dequeue();
  }
  QString OpenFileName(QWidget*, const QString& filter) override { return NextFileName(filter); }
  QString SaveFileName(QWidget*, const QString& filter, const QString&) override { return NextFileName(filter); }
  bool ChoosePrinter(QWidget*, QPrinter& printer) override {
    if (pdfPath.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    return true;
  }
  void SetUpPage(QWidget*, QPrinter&) override {}
  void PreviewPrint(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override {
    ++previews;
    if (!pdfPath.isEmpty()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdfPath);
      paint(&printer);
    }
  }
  bool OpenUrl(const QUrl& url) override {
    openedUrls << url;
    return true;
  }
  bool StartProgram(const QString& program) override {
    startedPrograms << program;
    return true;
  }
  bool ChooseFont(QWidget*, QFont& font) override {
    if (fonts.isEmpty()) return false;
    font = fonts.dequeue();
    return true;
  }

 private:
  QString NextFileName(const QString& filter) {
    fileFilters << filter;
    if (fileNames.isEmpty()) {
      unexpected << QStringLiteral("file dialog ") + filter;
      return QString();
    }
    return fileNames.dequeue();
  }
};

}  // namespace wordloom::app
