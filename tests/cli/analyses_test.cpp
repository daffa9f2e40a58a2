// The analyses' commands: their tables on texts small enough to work out by hand, the options
// they share with other commands, and their usage.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"

namespace wordloom::cli {
namespace {

using test::ReadFile;
using test::TempFolder;

struct TwoTexts {
  TempFolder folder;
  std::string one, two;
  TwoTexts() {
    one = folder.Write("one.txt", "a b a c\n");
    two = folder.Write("two.txt", "b a c\n");
  }
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {one, two});
    return RunCli(args, folder);
  }
};

TEST(Analyses, TablesWorkedByHand) {
  TwoTexts texts;
  // a's hits: 0 and 2 of the first text, 1 of the second; windows of 2 a side. The windows hold
  // R1 = 12 positions and N is 7, so the cell N - R1 - f(c) + O is negative: no LL.
  CliRun run = texts.Run({"collocates", "--keys", "a", "--left", "2", "--right", "2", "--min", "1"});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(run.out,
            "rank\tword\tleft\tright\tfrequency\tcollocate_frequency\tmi\tt\tlogdice\tll\n"
            "1\ta\t1\t1\t2\t3\t-1.36257\t-2.222336\t13.415037\t\n"
            "2\tb\t2\t1\t2\t2\t-0.777608\t-1.010153\t13.678072\t\n"
            "3\tc\t0\t2\t2\t2\t-0.777608\t-1.010153\t13.678072\t\n");
  EXPECT_EQ(run.err.substr(run.err.rfind('\n', run.err.size() - 2) + 1), "3 collocates of 3 hits\n");

  run = texts.Run({"ngrams", "--n", "2..3"});
  EXPECT_EQ(run.out, "rank\tngram\tn\tfrequency\trange\n1\ta c\t2\t2\t2\n2\tb a\t2\t2\t2\n3\tb a c\t3\t2\t2\n");
  run = texts.Run({"clusters", "--keys", "c", "--position", "right", "--n", "2", "--min", "1", "--format", "csv"});
  EXPECT_EQ(run.out, "rank,ngram,n,frequency,range\r\n1,a c,2,2,2\r\n");

  run = texts.Run({"dispersion", "--keys", "a"});
  EXPECT_EQ(run.out, "part\ttokens\thits\tper_million\trange\tdp\tdp_norm\tjuilland_d\n" + texts.one +
                         "\t4\t2\t500000\t\t\t\t\n" + texts.two + "\t3\t1\t333333.333333\t\t\t\t\n" +
                         "*\t7\t3\t428571.428571\t2\t0.095238\t0.166667\t0.8\n");

  // Against a word list: c is absent from it, d from the texts.
  texts.folder.Write("ref.tsv", "a\t1\nB\t5\n\nd\t4\n");
  // The references run to the next option; a line of blanks and tabs is blank too.
  texts.folder.Write("more.tsv", " \t \nd\t0\n");
  run = texts.Run({"keyness", "--reference", texts.folder.File("ref.tsv"), texts.folder.File("more.tsv"), "--min", "1",
                   "--threshold", "0"});
  EXPECT_EQ(run.out, "rank\tword\tfrequency\treference_frequency\tll\tlog_ratio\tdirection\n"
                     "1\tc\t2\t0\t3.549213\t2.514573\t+\n2\ta\t3\t1\t1.886395\t2.099536\t+\n"
                     "3\tb\t2\t5\t0.479721\t-0.807355\t-\n");
  run = texts.Run({"keyness", "--reference", texts.folder.File("ref.tsv"), "--format", "jsonl", "--min", "3"});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.out, "");
}

TEST(Analyses, ABadReferenceListIsNamedAndNothingIsWritten) {
  TwoTexts texts;
  texts.folder.Write("ref.tsv", "a\t1\n\nb 5\n");
  const CliRun run = texts.Run({"keyness", "--reference", texts.folder.File("ref.tsv")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("line 3"), std::string::npos) << run.err;
}

// wordloom-cli hands plot to the program beside it before making its scratch folder, and says
// so when that program is not there.
TEST(Analyses, PlotIsDrawnByTheProgramBesideTheTool) {
  const std::filesystem::path tool = WORDLOOM_CLI;
  if (!std::filesystem::exists(tool.parent_path() / "wordloom-cli-plot")) GTEST_SKIP() << "built without plots";
  TempFolder folder;
  folder.Write("t.txt", "<S Ann> the cat\n<S Bo> the dog\n");
  const std::vector<std::string> plot = {"plot", "t.txt", "--keys", "the", "--out", "p.svg"};
  const CliRun drawn = RunCli(plot, folder);
  EXPECT_EQ(drawn.exit, 0) << drawn.err;
  EXPECT_EQ(drawn.err, "2 hits in 1 part, drawn in p.svg\n");
  EXPECT_NE(test::ReadFile(folder.File("p.svg")).find("<svg"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("scratch")));

  const std::string alone = folder.File("wordloom-cli");
  std::filesystem::copy_file(tool, alone);
  const CliRun missing = RunCli(plot, folder, {}, alone);
  EXPECT_EQ(missing.exit, 1);
  EXPECT_EQ(missing.err, "Could not start " + folder.File("wordloom-cli-plot") +
                             ", which draws plots: No such file or directory.\n");
}

TEST(Analyses, Usage) {
  TempFolder folder;
  folder.Write("t.txt", "<S Ann> the cat\n<S Bo> the dog\n");
  const auto exit = [&](std::vector<std::string> args) { return RunCli(args, folder).exit; };
  EXPECT_EQ(exit({"collocates", "t.txt"}), 2);                                 // no keys
  EXPECT_EQ(exit({"collocates", "t.txt", "--keys", "the", "--left", "0", "--right", "0"}), 2);
  EXPECT_EQ(exit({"collocates", "t.txt", "--keys", "the", "--left", "51"}), 2);
  EXPECT_EQ(exit({"collocates", "t.txt", "--keys", "the", "--sort", "dice"}), 2);
  EXPECT_EQ(exit({"ngrams", "t.txt", "--n", "1..3"}), 2);
  EXPECT_EQ(exit({"ngrams", "t.txt", "--n", "3..2"}), 2);
  EXPECT_EQ(exit({"ngrams", "t.txt", "--format", "text"}), 2);
  EXPECT_EQ(exit({"keyness", "t.txt"}), 2);
  EXPECT_EQ(exit({"keyness", "t.txt", "--reference", "r.tsv", "--threshold", "-1"}), 2);
  EXPECT_EQ(exit({"plot", "t.txt", "--keys", "the", "--out", "p.gif"}), 2);
  EXPECT_EQ(exit({"dispersion", "t.txt", "--keys", "the", "--by", "AB"}), 2);
  // --left and --right stay the tag characters for the other commands.
  const CliRun run = RunCli({"dispersion", "t.txt", "--keys", "the", "--by", "s", "--refs", "type1", "--left", "<"}, folder);
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_NE(run.out.find("\nAnn\t2\t1\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nBo\t2\t1\t"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace wordloom::cli
