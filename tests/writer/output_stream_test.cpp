#include "writer/output_stream.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "support/test_support.h"
#include "writer/writer_error.h"

namespace vellumox {
namespace {

using test::ListFolder;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(OutputStream, CountsEveryLineWithItsCarriageReturn) {
  TempDir dir;
  OutputStream out;
  out.Reset(dir / "a.pdf");
  out.EmitLine("%PDF-1.3");
  EXPECT_EQ(out.Offset(), 9);
  out.EmitLine("");
  EXPECT_EQ(out.Offset(), 10);
  out.EmitBytes("stream\r\n");
  EXPECT_EQ(out.Offset(), 18);
  out.Commit();
  EXPECT_EQ(ReadFile(dir / "a.pdf"), "%PDF-1.3\r\rstream\r\n");
  EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"a.pdf"});
}

TEST(OutputStream, FlushesOnlyWhenTheBufferHoldsMoreThan32000Bytes) {
  TempDir dir;
  OutputStream out;
  out.Reset(dir / "a.pdf");
  out.EmitLine(std::string(31999, 'x'));  // 32,000 bytes with its CR
  EXPECT_EQ(out.BytesWritten(), 0);
  out.EmitLine("");
  EXPECT_EQ(out.BytesWritten(), 32001);
  out.EmitLine("y", true);
  EXPECT_EQ(out.BytesWritten(), 32003);
  out.Commit();
  EXPECT_EQ(ReadFile(dir / "a.pdf").size(), 32003u);
}

TEST(OutputStream, LeavesAnEarlierFileUntouchedUntilCommit) {
  TempDir dir;
  WriteFile(dir / "a.pdf", "old");
  OutputStream out;
  out.Reset(dir / "a.pdf");
  out.EmitLine(std::string(40000, 'n'));  // flushed into the temporary file
  EXPECT_EQ(ReadFile(dir / "a.pdf"), "old");
  out.Discard();
  EXPECT_EQ(ReadFile(dir / "a.pdf"), "old");
  EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"a.pdf"});

  out.Reset(dir / "a.pdf");
  out.EmitLine("new");
  out.Commit();
  EXPECT_EQ(ReadFile(dir / "a.pdf"), "new\r");
}

TEST(OutputStream, ReportsAFileThatCannotBeCreated) {
  TempDir dir;
  WriteFile(dir / "plain", "x");
  OutputStream out;
  out.Reset(dir / "plain/a.pdf");  // a folder that is a file
  try {
    out.Open();
    FAIL() << "no error";
  } catch (const WriterError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot create the PDF file"), std::string::npos);
  }
  EXPECT_TRUE(out.Failed());
  EXPECT_NO_THROW(out.EmitLine("later lines only count"));
  EXPECT_NO_THROW(out.Commit());
  EXPECT_FALSE(out.Committed());
}

TEST(OutputStream, StopsBeforeGrowingPastItsLimit) {
  TempDir dir;
  WriteFile(dir / "a.pdf", "old");
  OutputStream out(100);
  out.Reset(dir / "a.pdf");
  out.EmitLine(std::string(98, 'a'));  // 99 bytes
  EXPECT_THROW(out.EmitLine("b"), WriterError);
  EXPECT_TRUE(out.Failed());
  out.Commit();
  EXPECT_FALSE(out.Committed());
  EXPECT_EQ(ReadFile(dir / "a.pdf"), "old");
  EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"a.pdf"});
}

TEST(OutputStream, OffsetsAreSixtyFourBit) {
  TempDir dir;
  OutputStream out(OutputStream::kMaxOffset);
  out.Reset(dir / "a.pdf");
  // Count past 2^31 without writing: a failed stream only advances the offset.
  out.SetMaxSize(10);
  EXPECT_THROW(out.EmitLine(std::string(20, 'a')), WriterError);
  std::string big(1 << 20, 'z');
  for (int i = 0; i < 2100; ++i) out.EmitLine(big);
  EXPECT_GT(out.Offset(), int64_t{1} << 31);
}

TEST(OutputStream, ReportsAWriteFailure) {
  TempDir dir;
  // A file size limit makes write() fail with EFBIG, like a full disk would.
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 50000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  OutputStream out;
  out.Reset(dir / "a.pdf");
  bool threw = false;
  try {
    for (int i = 0; i < 10; ++i) out.EmitLine(std::string(20000, 'q'));
  } catch (const WriterError& e) {
    threw = true;
    EXPECT_NE(std::string(e.what()).find("Cannot write the PDF file"), std::string::npos);
  }
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_TRUE(threw);
  out.Commit();
  EXPECT_FALSE(out.Committed());
  EXPECT_TRUE(ListFolder(dir.path()).empty());
}

TEST(OutputStream, StreamsAFileInChunks) {
  TempDir dir;
  std::string data(200000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  WriteFile(dir / "in.bin", data);
  OutputStream out;
  out.Reset(dir / "a.pdf");
  out.EmitLine("x");
  EXPECT_EQ(out.EmitFileContents(dir / "in.bin", 200000), 200000);
  EXPECT_EQ(out.Offset(), 200002);
  out.Commit();
  EXPECT_EQ(ReadFile(dir / "a.pdf"), "x\r" + data);

  OutputStream shorter;
  shorter.Reset(dir / "b.pdf");
  EXPECT_THROW(shorter.EmitFileContents(dir / "in.bin", 300000), WriterError);
  EXPECT_TRUE(shorter.Failed());
}

}  // namespace
}  // namespace vellumox
