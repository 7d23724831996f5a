#include "conversion/conversion_job.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "conversion/album_list.h"
#include "conversion/file_patterns.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;
using Strings = std::vector<std::string>;

// Records each conversion; the album list file is read while it still exists.
struct RecordingConverter : FileConverter {
  ConversionResult ConvertFile(const std::string& filename, const ConversionSettings& settings,
                               const std::string& input_field, PictureEvents& events,
                               const std::function<void(int)>& pages_written) override {
    inputs.push_back(filename);
    if (pages_written) pages_written(1);
    outputs.push_back(settings.outputfile);
    markup.push_back(settings.UseTextFormating);
    fields.push_back(input_field);
    if (filename.find("~temp.txt") != std::string::npos) list = test::ReadFile(filename);
    if (!left_out.empty()) events.PictureLeftOut(left_out, "broken");
    ConversionResult result;
    result.written = succeed && filename.find("fails") == std::string::npos;
    if (!result.written) result.failure = {FailureKind::kError, "Cannot write."};
    return result;
  }
  Strings inputs, outputs, fields;
  std::vector<bool> markup;
  std::string list;
  bool succeed = true;
  std::string left_out;  // a picture each conversion leaves out
};

// Every event and question as a line, in order.
struct RecordingUi : JobEvents, JobQuestions {
  void FileStarted(const std::string& input) override { events.push_back("started " + input); }
  void OutputChosen(const std::string& output) override { events.push_back("output " + output); }
  void FileFailed(const FileFailure& f) override {
    events.push_back("failed " + f.input);
    messages.push_back(f.message);
  }
  void PictureLeftOut(const std::string& picture, const std::string& reason) override {
    events.push_back("left out " + picture + ": " + reason);
  }
  void JobFinished(const JobReport& report) override {
    events.push_back(report.names_missing ? "finished, names missing" : "finished");
  }
  bool AskToOpenPdf(const std::string& pdf) override {
    questions.push_back("open " + pdf + "?");
    return answer;
  }
  bool AskToOpenFolder(const std::string& folder) override {
    questions.push_back("open folder " + folder + "?");
    return answer;
  }
  void OpenPdf(const std::string& pdf) override { opened.push_back(pdf); }
  void OpenFolder(const std::string& folder) override { opened.push_back(folder); }
  void Progress(const JobProgress& progress) override {
    captions.push_back(ProgressCaption(progress));
  }
  Strings events, messages, questions, opened, captions;
  bool answer = false;
};

struct Job {
  JobRequest request;
  RecordingConverter converter;
  RecordingUi ui;
  JobReport report;
  void Run() { report = RunConversionJob(request, converter, ui, ui); }
};

JobRequest Request(const std::string& input, const std::string& output) {
  JobRequest r;
  r.input_text = input;
  r.output_text = output;
  r.image_patterns = ImagePatterns();
  return r;
}

TEST(ConversionJob, SingleFile) {
  TempDir dir;
  Job job;
  job.request = Request(dir / "a.txt", dir / "out/a.pdf");
  job.Run();
  EXPECT_EQ(job.converter.inputs, Strings{dir / "a.txt"});
  EXPECT_EQ(job.converter.outputs, Strings{dir / "out/a.pdf"});
  EXPECT_EQ(job.ui.events, (Strings{"started " + dir / "a.txt", "finished"}));
  EXPECT_EQ(job.ui.questions, Strings{"open " + dir / "out/a.pdf" + "?"});
  EXPECT_TRUE(job.ui.opened.empty());  // the answer was No

  Job open;
  open.request = Request(dir / "a.txt", dir / "a.pdf");
  open.request.open_when_done = true;
  open.Run();
  EXPECT_TRUE(open.ui.questions.empty());
  EXPECT_EQ(open.ui.opened, Strings{dir / "a.pdf"});
}

TEST(ConversionJob, MissingNamesAreReported) {
  for (auto [in, out] : {std::pair{"a.txt", ""}, std::pair{"", "a.pdf"}, std::pair{"", ""}}) {
    Job job;
    job.request = Request(in, out);
    job.Run();
    EXPECT_EQ(job.ui.events, Strings{"finished, names missing"});
    EXPECT_TRUE(job.report.names_missing);
    EXPECT_TRUE(job.ui.questions.empty());
    EXPECT_TRUE(job.converter.inputs.empty());
  }
}

TEST(ConversionJob, FolderJobConvertsEveryMatchBesideItself) {
  TempDir dir;
  for (const char* name : {"b.txt", "a.txt", "C.TXT", "notes.md"}) test::WriteFile(dir / name, "x");
  ASSERT_EQ(std::system(("mkdir " + test::ShellQuote(dir / "sub.txt")).c_str()), 0);
  Job job;
  job.request = Request(dir / "*.txt", "");
  job.Run();
  EXPECT_EQ(job.converter.inputs, (Strings{dir / "a.txt", dir / "b.txt", dir / "C.TXT"}));
  EXPECT_EQ(job.converter.outputs, (Strings{dir / "a.pdf", dir / "b.pdf", dir / "C.pdf"}));
  EXPECT_EQ(job.converter.fields, (Strings{dir / "*.txt", dir / "*.txt", dir / "*.txt"}));
  EXPECT_EQ(job.ui.questions, Strings{"open folder " + dir.path() + "/?"});
  job.ui.answer = true;
  job.Run();
  EXPECT_EQ(job.ui.opened, Strings{dir.path() + "/"});
}

TEST(ConversionJob, AFolderJobNeverWritesOntoItsInput) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  test::WriteFile(dir / "old.pdf", "%PDF");
  Job job;
  job.request = Request(dir / "*", "");
  job.Run();
  EXPECT_EQ(job.converter.inputs, Strings{dir / "a.txt"});
  EXPECT_EQ(job.report.failures, 1);
  ASSERT_EQ(job.ui.messages.size(), 1u);
  EXPECT_NE(job.ui.messages[0].find("old.pdf' is skipped"), std::string::npos);
}

TEST(ConversionJob, FolderPatternWithoutMatchesSaysSo) {
  TempDir dir;
  Job job;
  job.request = Request(dir / "*.txt", "");
  job.Run();
  EXPECT_TRUE(job.converter.inputs.empty());
  EXPECT_EQ(job.ui.messages, Strings{"No file matches " + dir / "*.txt."});
  EXPECT_EQ(job.report.failures, 1);
}

TEST(ConversionJob, AlbumOfAPattern) {
  TempDir dir;
  for (const char* name : {"b.jpg", "a.JPG", "c.png", "q\"uote.jpg", "line\nfeed.jpg"})
    test::WriteFile(dir / name, "x");
  Job job;
  job.request = Request(dir / "*.jpg", "");
  job.request.settings.UseTextFormating = false;  // "-h" once: an album stays pictures
  job.Run();
  EXPECT_EQ(job.converter.markup, std::vector<bool>{true});
  // A name that a tag cannot carry is left out, and said so.
  EXPECT_EQ(job.ui.events[1], "left out " + dir / "line\nfeed.jpg: " +
                                  "its name holds a line feed, which an image tag cannot carry");
  EXPECT_EQ(job.ui.events[2], "left out " + dir / "q\"uote.jpg: " +
                                  "its name holds a double quote, which an image tag cannot carry");
  EXPECT_EQ(job.report.pictures_left_out, 2);
  ASSERT_EQ(job.converter.inputs.size(), 1u);
  EXPECT_NE(job.converter.inputs[0].find("/~temp.txt"), std::string::npos);
  EXPECT_EQ(job.converter.outputs, Strings{dir / "images.pdf"});
  EXPECT_EQ(job.ui.events[0], "output " + dir / "images.pdf");
  EXPECT_EQ(job.converter.list,
            "<img src=\"" + dir / "a.JPG" + "\">\r\n\f\r\n<img src=\"" + dir / "b.jpg" + "\">\r\n");
  // The list lived in a private folder that is gone with the job.
  EXPECT_FALSE(test::PathExists(job.converter.inputs[0]));
}

// An album holds at most 32,000 pictures: the rest are counted and said once, and the list
// ends with the last picture it holds, so no page is left blank.
TEST(ConversionJob, PicturesBeyondWhatAnAlbumHoldsAreCountedAndLeaveNoBlankPage) {
  TempDir dir;
  test::WriteFile(dir / "p00000.jpg", "x");
  for (int i = 1; i < kMaxAlbumPictures + 3; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "p%05d.jpg", i);
    ASSERT_EQ(::link((dir / "p00000.jpg").c_str(), (dir / name).c_str()), 0);
  }
  struct Warnings : RecordingUi {
    void Warning(const std::string& text) override { warnings.push_back(text); }
    Strings warnings;
  };
  Job job;
  Warnings ui;
  job.request = Request(dir / "*.jpg", "");
  job.report = RunConversionJob(job.request, job.converter, ui, ui);
  EXPECT_EQ(ui.warnings,
            Strings{"3 pictures are left out: an album holds at most 32,000 pictures."});
  EXPECT_EQ(job.report.pictures_left_out, 3);
  const std::string& list = job.converter.list;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\f'), kMaxAlbumPictures - 1);
  EXPECT_NE(list.rfind("p31999.jpg\">\r\n"), std::string::npos);
  EXPECT_EQ(list.substr(list.size() - 2), "\r\n");
}

TEST(ConversionJob, AlbumOfOnePictureWithAnOutputName) {
  TempDir dir;
  test::WriteFile(dir / "one.jpg", "x");
  Job job;
  job.request = Request(dir / "one.jpg", dir / "out/album");
  job.request.open_when_done = true;
  job.Run();
  EXPECT_EQ(job.converter.outputs, Strings{dir / "out/album.pdf"});
  EXPECT_EQ(job.ui.events[0], "output " + dir / "out/album.pdf");
  EXPECT_EQ(job.converter.list, "<img src=\"" + dir / "one.jpg" + "\">\r\n");
  EXPECT_EQ(job.ui.opened, Strings{dir / "out/album.pdf"});
}

TEST(ConversionJob, AlbumWithoutPicturesSaysSo) {
  TempDir dir;
  Job job;
  job.request = Request(dir / "*.gif", "");
  job.Run();
  EXPECT_TRUE(job.converter.inputs.empty());
  EXPECT_EQ(job.ui.messages, Strings{"No pictures match '" + dir / "*.gif" + "'."});
  EXPECT_EQ(job.report.failures, 1);
}

TEST(ConversionJob, AlbumPatternsAndTheirExtras) {
  const std::string plain = ImagePatterns();
  const std::string extras = plain + ExtraImagePatterns();
  EXPECT_TRUE(IsAlbumInput("/p/*.JPG", plain));
  EXPECT_TRUE(IsAlbumInput("/p/x.rle", plain));
  EXPECT_FALSE(IsAlbumInput("/p/*.jpeg", plain));
  EXPECT_FALSE(IsAlbumInput("/p/*.png", plain));
  EXPECT_TRUE(IsAlbumInput("/p/*.png", extras));
  EXPECT_FALSE(IsAlbumInput("/p/*.txt", extras));
  // The other names of the types, which the four-character test cannot tell.
  const std::string aliases = AliasPatterns(false);
  EXPECT_TRUE(IsAlbumInput("/p/x.JPEG", plain, aliases));
  EXPECT_TRUE(IsAlbumInput("/p/*.jfif", plain, aliases));
  EXPECT_FALSE(IsAlbumInput("/p/x.tiff", plain, aliases));  // TIFF is one of the extras
  EXPECT_TRUE(IsAlbumInput("/p/x.tiff", extras, AliasPatterns(true)));
  EXPECT_FALSE(IsAlbumInput("/p/x.jfi", plain, aliases));
}

TEST(ConversionJob, UnattendedRunsEndWithoutQuestions) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  Job single;
  single.request = Request(dir / "a.txt", dir / "a.pdf");
  single.request.command_line_text = dir / "a.txt";
  single.Run();
  EXPECT_TRUE(single.report.unattended);
  EXPECT_TRUE(single.ui.questions.empty());

  Job folder;
  folder.request = Request(dir / "*.txt", "");
  folder.request.command_line_text = dir / "*.txt";
  folder.converter.succeed = false;
  folder.converter.left_out = dir / "x.jpg";
  folder.Run();
  EXPECT_TRUE(folder.report.unattended);
  EXPECT_EQ(folder.report.failures, 1);
  EXPECT_EQ(folder.report.pictures_left_out, 1);
  EXPECT_EQ(folder.ui.events,
            (Strings{"started " + dir / "a.txt", "left out " + dir / "x.jpg: broken",
                     "failed " + dir / "a.txt", "finished"}));
  EXPECT_EQ(folder.ui.messages, Strings{"Cannot write."});
  EXPECT_TRUE(folder.ui.questions.empty());
}

// No "PDF file is done" after a failure: the question (and opening the PDF) only when a PDF, or
// for a folder job at least one, was written.
TEST(ConversionJob, TheCompletionQuestionOnlyAfterAPdfWasWritten) {
  TempDir dir;
  struct Case {
    std::string input, output;
    bool open_when_done;
    size_t questions, opened;
  } cases[] = {
      {dir / "fails.txt", dir / "a.pdf", false, 0, 0},
      {dir / "fails.txt", dir / "a.pdf", true, 0, 0},
      {dir / "*fails*.txt", "", false, 0, 0},
      {dir / "*.txt", "", false, 1, 0},  // one of the two is written
  };
  test::WriteFile(dir / "a_fails.txt", "a");
  test::WriteFile(dir / "b.txt", "b");
  for (const Case& c : cases) {
    Job job;
    job.request = Request(c.input, c.output);
    job.request.open_when_done = c.open_when_done;
    job.Run();
    EXPECT_EQ(job.ui.questions.size(), c.questions) << c.input;
    EXPECT_EQ(job.ui.opened.size(), c.opened) << c.input;
  }
}

TEST(ConversionJob, ProgressNamesTheFileAndHowFar) {
  TempDir dir;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) test::WriteFile(dir / name, "x");
  Job job;
  job.request = Request(dir / "*.txt", "");
  job.Run();
  ASSERT_FALSE(job.ui.captions.empty());
  EXPECT_EQ(job.ui.captions.front(),
            "Processing " + dir / "a.txt" + " \xE2\x80\x94 file 1 of 3, page 1");
  struct Case {
    JobProgress progress;
    std::string caption;
  } cases[] = {
      {{"notes.txt", 0, 0, 0, 0, 1234}, "Processing notes.txt \xE2\x80\x94 page 1,234"},
      {{"/p/*.jpg", 0, 0, 120, 2000, 0}, "Processing /p/*.jpg \xE2\x80\x94 picture 120 of 2,000"},
      {{"/p/*.jpg", 0, 0, 2000, 2000, 7}, "Processing /p/*.jpg \xE2\x80\x94 page 7"},
      {{"b.txt", 3, 40, 0, 0, 0}, "Processing b.txt \xE2\x80\x94 file 3 of 40"},
      {{"a.txt", 0, 0, 0, 0, 0}, "Processing a.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressCaption(c.progress), c.caption);
}

}  // namespace
}  // namespace vellumox
