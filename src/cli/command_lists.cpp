#include "cli/command.h"
#include "lists/keyword_selection.h"
#include "lists/profile.h"
#include "lists/word_list.h"

namespace wordloom::cli {

void ApplyKeyWordEdits(const std::vector<KeyWordEdit>& edits, Session& session) {
  if (edits.empty()) return;
  KeyWordsEditor editor(session.lists, session.tables);
  for (const KeyWordEdit& edit : edits) {
    switch (edit.kind) {
      case KeyWordEdit::Kind::Clear:
        editor.Clear();
        break;
      case KeyWordEdit::Kind::Pattern:
        editor.PatternMove(edit.direction, edit.pattern, edit.text);
        break;
      case KeyWordEdit::Kind::Frequency:
        editor.FrequencyMove(edit.direction, edit.test, edit.text);
        break;
      case KeyWordEdit::Kind::Word: {
        // The entries of that very text, selected in the list the move takes them from.
        const EntryList& list = edit.direction == MoveDirection::Add ? session.lists.Vocabulary : session.lists.KeyWords;
        std::vector<size_t> selected;
        for (size_t i = 0; i < list.size(); ++i) {
          if (list[i].word == edit.text) selected.push_back(i);
        }
        editor.SelectionMove(edit.direction, selected);
        break;
      }
    }
  }
  editor.Commit();
}

int RunWordList(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  ApplyKeyWordEdits(args.query.keyWordEdits, session);
  WordListQuery query;
  query.order = args.query.wordListOrder;
  query.rhyme = args.query.rhyme;
  query.layout = args.query.layout;
  query.frequencies = args.query.frequencies;
  query.keyWords = args.query.keyWords;
  WordListResult result;
  status = MakeWordList(session, query, scratch, result);
  if (!status.ok()) return Fail(output, status);
  output.outFile = result.outputPath;
  output.err += result.countText + "\n";
  return 0;
}

int RunProfile(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  if (!status.ok()) return Fail(output, status);
  ApplyKeyWordEdits(args.query.keyWordEdits, session);
  ProfileResult result;
  status = MakeProfile(session, args.query.keyWords, scratch, result);
  if (!status.ok()) return Fail(output, status);
  output.outFile = args.query.spectrum ? result.spectrumPath : result.statisticsPath;
  output.err += result.title + "\n";
  return 0;
}

}  // namespace wordloom::cli
