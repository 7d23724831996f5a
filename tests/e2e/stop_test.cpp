// One way to stop: a signal or a closed pipe during any kind of job ends it with 128 + the
// signal, and leaves no file beside the output, no temporary folder and no process behind; the
// outside decoders work in a helper whose limits leave a hostile picture out.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A program run in a session of its own (so that its process group holds it and everything it
// starts), by a shell that keeps its exit status.
class Session {
 public:
  Session(const TempDir& dir, const std::string& command) : dir_(dir) {
    const std::string script = command + " >/dev/null 2>&1 & echo $! > " + ShellQuote(dir / "pid") +
                               "; wait $!; echo $? > " + ShellQuote(dir / "status");
    RunCommand("rm -f " + ShellQuote(dir / "pid") + " " + ShellQuote(dir / "status"));
    group_ = Trimmed(RunCommand("cd " + ShellQuote(dir.path()) + " && setsid sh -c " +
                                ShellQuote(script) + " >/dev/null 2>&1 & echo $!")
                         .output);
    for (int i = 0; i < 500 && pid_.empty(); ++i) {
      pid_ = Trimmed(test::ReadFile(dir / "pid"));
      if (pid_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  // Waits up to 60 s for something the program does; false when it never comes.
  static bool Until(const std::function<bool()>& sign) {
    for (int i = 0; i < 6000; ++i) {
      if (sign()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  void Signal(int number) const { RunCommand("kill -" + std::to_string(number) + " " + pid_); }
  // The program's exit status, once it has ended (-1 after 60 s).
  int Wait() const {
    std::string status;
    Until([&] { return !(status = Trimmed(test::ReadFile(dir_ / "status"))).empty(); });
    return status.empty() ? -1 : std::stoi(status);
  }
  // What is still running in the session, once its shell has gone too.
  std::string Left() const {
    Until([&] { return RunCommand("kill -0 " + group_ + " 2>/dev/null").exit_code != 0; });
    return RunCommand("pgrep -a -g " + group_).output;
  }
  bool Running(const std::string& name) const {
    return RunCommand("pgrep -g " + group_ + " -x " + ShellQuote(name)).exit_code == 0;
  }

 private:
  static std::string Trimmed(const std::string& text) { return text.substr(0, text.find('\n')); }
  const TempDir& dir_;
  std::string group_, pid_;
};

bool PartialBeside(const std::string& folder, const std::string& pdf_name) {
  for (const std::string& name : test::ListFolder(folder)) {
    if (name.rfind("." + pdf_name + ".", 0) == 0) return true;
  }
  return false;
}

bool ConvertedPictureIn(const std::string& tmp) {
  for (const std::string& folder : test::ListFolder(tmp)) {
    for (const std::string& name : test::ListFolder(tmp + "/" + folder)) {
      if (name.rfind("~temp", 0) == 0) return true;
    }
  }
  return false;
}

TEST(Stop, EverySignalDuringEveryKindOfJobLeavesNothingBehind) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "tmp") + " " + ShellQuote(dir / "pics") + " " +
             ShellQuote(dir / "config"));
  std::string text;
  const std::string line =
      "Some <b>bold</b> words and <i>italic</i> ones, <font color=red>red</font> too.\n";
  for (int i = 0; i < 400000; ++i) text += line;
  test::WriteFile(dir / "big.txt", text);
  for (int i = 0; i < 24; ++i) {
    test::MakeJpeg(dir / ("pics/p" + std::to_string(i) + ".jpg"), 1600, 1200, test::Pixels::kRgb,
                   95);
  }
  test::MakeEmf(dir / "big.emf", 100, 75, 1000000);
  // Below the best quality every JPEG is decoded and encoded again: the album jobs are at work
  // long enough to be stopped.
  RunCommand("mkdir " + ShellQuote(dir / "config/Vellumox"));
  test::WriteFile(dir / "config/Vellumox/Vellumox.ini", "[Settings]\nJpegCompression=90\n");
  test::WriteFile(dir / "emf.txt", "<img src=\"big.emf\">\r\n");

  const std::string env = "TMPDIR=" + ShellQuote(dir / "tmp") +
                          " XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
                          " env -u DISPLAY -u WAYLAND_DISPLAY ";
  const std::string vellumox = env + ShellQuote(test::BinDir() + "/vellumox") + " --batch ";
  struct Kind {
    const char* name;
    std::string command;
    std::function<bool()> busy;  // a sign that the job is at work; none: emf2svg-conv runs
  } kinds[] = {
      {"text", vellumox + "big.txt", [&] { return PartialBeside(dir.path(), "big.pdf"); }},
      // Pages compressed on worker threads while the next are laid out.
      {"compressed text", vellumox + "--compress big.txt",
       [&] { return PartialBeside(dir.path(), "big.pdf"); }},
      {"album", vellumox + ShellQuote("pics/*.jpg"),
       [&] { return ConvertedPictureIn(dir / "tmp"); }},
      {"emf", vellumox + "emf.txt", nullptr},
      {"album builder", env + ShellQuote(test::BinDir() + "/album") + " pics /o t",
       [&] { return ConvertedPictureIn(dir / "tmp"); }},
  };
  for (Kind& kind : kinds) {
    for (int signal : {15, 2, 1}) {
      SCOPED_TRACE(std::string(kind.name) + ", signal " + std::to_string(signal));
      const std::vector<std::string> before = test::ListFolder(dir.path());
      Session session(dir, kind.command);
      if (kind.busy) {
        ASSERT_TRUE(Session::Until(kind.busy));
      } else {
        ASSERT_TRUE(Session::Until([&] { return session.Running("emf2svg-conv"); }));
      }
      session.Signal(signal);
      EXPECT_EQ(session.Wait(), 128 + signal);
      EXPECT_EQ(session.Left(), "");
      std::vector<std::string> after = test::ListFolder(dir.path());
      std::erase(after, "pid");
      std::erase(after, "status");
      std::vector<std::string> expected = before;
      std::erase(expected, "pid");
      std::erase(expected, "status");
      EXPECT_EQ(after, expected);
      EXPECT_EQ(test::ListFolder(dir / "pics").size(), 24u);
      EXPECT_TRUE(test::ListFolder(dir / "tmp").empty());
    }
  }
}

TEST(Stop, AClosedPipeEndsTheRunAsSigpipeWould) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "tmp"));
  std::string text;
  while (text.size() < (2 << 20)) text += "lorem ipsum dolor sit amet, consectetur\n";
  test::WriteFile(dir / "two.txt", text);
  auto r = RunCommand("bash -c " + ShellQuote("TMPDIR=" + ShellQuote(dir / "tmp") + " " +
                                              test::VellumoxCommand(dir / "config") + " - -o - < " +
                                              ShellQuote(dir / "two.txt") +
                                              " | head -c 10 > /dev/null; echo "
                                              "\"${PIPESTATUS[0]}\""));
  EXPECT_EQ(r.output, "141\n") << r.error;
  EXPECT_TRUE(test::ListFolder(dir / "tmp").empty());
}

TEST(OutsideDecoders, AHostilePictureIsLeftOutWithinItsLimits) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics"));
  test::MakeWmf(dir / "pics/a-bomb.wmf", 1, 1, "", 100000);  // 20 MB of polylines
  test::MakeWithMagick(dir / "pics/b-good.bmp", "BMP", 40, 30);
  test::MakeWithMagick(dir / "pics/c-good.gif", "GIF", 20, 10);
  test::WriteFile(dir / "pics/album.txt",
                  "<img src=\"a-bomb.wmf\">\r\n\f\r\n<img src=\"b-good.bmp\">\r\n\f\r\n"
                  "<img src=\"c-good.gif\">\r\n");
  const auto started = std::chrono::steady_clock::now();
  auto r =
      RunCommand(test::VellumoxCommand(dir / "config") + " " + ShellQuote(dir / "pics/album.txt"));
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
          .count();
  EXPECT_EQ(r.exit_code, 3) << r.error;
  EXPECT_TRUE(Holds(r.error, "picture 'a-bomb.wmf' left out: ")) << r.error;
  for (const char* raw : {"@ error/", "@ warning/", "please send", "Magick"}) {
    EXPECT_FALSE(Holds(r.error, raw)) << r.error;
  }
  EXPECT_LE(seconds, 45);
  std::vector<test::PdfImageRow> rows = test::PdfImages(dir / "pics/album.pdf");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].width, 40);
  EXPECT_EQ(rows[1].width, 20);
}

}  // namespace
}  // namespace vellumox
