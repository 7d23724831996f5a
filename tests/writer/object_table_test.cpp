#include "writer/object_table.h"

#include <gtest/gtest.h>

#include "writer/writer_error.h"

namespace vellumox {
namespace {

TEST(ObjectTable, EveryReservedObjectIsWrittenExactlyOnce) {
  ObjectTable table;
  EXPECT_EQ(table.Reserve(), 1);
  EXPECT_EQ(table.ReserveRange(3), 2);
  EXPECT_EQ(table.ReserveRange(0), 5);  // nothing reserved: the next number
  EXPECT_EQ(table.ObjectCount(), 4);
  table.MarkWritten(3, 100);
  table.MarkWritten(1, 9);
  EXPECT_EQ(table.Offset(3), 100);
  EXPECT_THROW(table.MarkWritten(3, 200), WriterError);  // twice
  EXPECT_THROW(table.MarkWritten(5, 300), WriterError);  // never reserved
  EXPECT_THROW(table.MarkWritten(0, 300), WriterError);
  try {
    table.CheckAllWritten();
    ADD_FAILURE() << "objects 2 and 4 are missing";
  } catch (const WriterError& e) {
    EXPECT_STREQ(e.what(), "Internal error: object 2 was reserved but never written.");
  }
  table.MarkWritten(2, 50);
  table.MarkWritten(4, 150);
  EXPECT_NO_THROW(table.CheckAllWritten());
}

}  // namespace
}  // namespace vellumox
