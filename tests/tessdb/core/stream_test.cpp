#include "tessdb/core/stream.h"

#include <gtest/gtest.h>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

TEST(MemoryStream, WritesGrowAndReadsStopAtTheEnd) {
  TMemoryStream stream;
  stream.WriteBuffer("abcdef", 6);
  stream.SetPosition(4);
  stream.WriteBuffer("XYZ", 3);
  EXPECT_EQ(stream.ToString(), "abcdXYZ");
  stream.SetPosition(5);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_EQ(std::string(buffer, 2), "YZ");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
}

TEST(MemoryStream, ShortReadBufferRaisesStreamReadError) {
  TMemoryStream stream(std::string("abc"));
  char buffer[4];
  try {
    stream.ReadBuffer(buffer, 4);
    FAIL() << "no error";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
}

TEST(MemoryStream, CopyFromZeroCopiesTheWholeSourceFromItsStart) {
  TMemoryStream source(std::string("hello"));
  source.SetPosition(3);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 5);
  EXPECT_EQ(target.ToString(), "hello");
}

TEST(MemoryStream, SetSizeClampsThePosition) {
  TMemoryStream stream(std::string("hello"));
  stream.Seek(0, TSeekOrigin::soEnd);
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(stream.ToString(), "he");
}

}  // namespace
}  // namespace tessdb
