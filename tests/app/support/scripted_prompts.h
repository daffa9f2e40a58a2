// ScriptedPrompts: answers the windows' questions and dialogs from queues and records what
// was asked, so that GUI tests never wait for a person. An unexpected prompt (a question or a
// file dialog with an empty queue, a browser or a program) is answered "No" or "Cancel" and
// recorded in `unexpected`.
#pragma once

#include <QPrinter>
#include <QtWidgets>

#include "ui/prompts.h"

namespace wordloom::app {

class ScriptedPrompts : public Prompts {
 public:
  QQueue<bool> answers;          // Question
  QQueue<QString> fileNames;     // OpenFileName and SaveFileName; "" cancels
  QString pdfPath;               // ChoosePrinter prints to this PDF file, or cancels when empty
  QQueue<QFont> fonts;           // ChooseFont; an empty queue cancels
  QStringList messages;          // every message shown
  QStringList unexpected;

  void Message(QWidget*, const QString& text, MessageKind) override { messages << text; }
  bool Question(QWidget*, const QString& text) override {
    return answers.isEmpty() ? (unexpected << text, false) : answers.dequeue();
  }
  QString OpenFileName(QWidget*, const QString& filter) override { return NextFileName(filter); }
  QString SaveFileName(QWidget*, const QString& filter, const QString&) override { return NextFileName(filter); }
  bool ChoosePrinter(QWidget*, QPrinter& printer) override { return ToPdf(printer); }
  void SetUpPage(QWidget*, QPrinter&) override {}
  void PreviewPrint(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override {
    if (ToPdf(printer)) paint(&printer);
  }
  bool OpenUrl(const QUrl& url) override { return unexpected << url.toString(), false; }
  bool StartProgram(const QString& program) override { return unexpected << program, false; }
  bool ChooseFont(QWidget*, QFont& font) override { return fonts.isEmpty() ? false : (font = fonts.dequeue(), true); }

 private:
  QString NextFileName(const QString& filter) {
    return fileNames.isEmpty() ? (unexpected << QStringLiteral("file dialog ") + filter, QString()) : fileNames.dequeue();
  }
  bool ToPdf(QPrinter& printer) const {
    if (pdfPath.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    return true;
  }
};

}  // namespace wordloom::app
