// The "ZLIB" framing: both branches, the level mapping, streams made by zlib itself, and damaged
// data.
#include "tessdb/processing/zlib_framing.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

std::string Int32Bytes(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
          static_cast<char>(bits >> 24)};
}

std::string Compressible(size_t length) {
  std::string text;
  while (text.size() < length) text += "record " + std::to_string(text.size() % 97) + "; ";
  text.resize(length);
  return text;
}

std::string Random(size_t length) {
  std::mt19937 random(11);
  std::string bytes(length, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string ZlibCompress(const std::string& data, int level) {
  uLongf length = compressBound(data.size());
  std::string out(length, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &length,
                      reinterpret_cast<const Bytef*>(data.data()), data.size(), level),
            Z_OK);
  out.resize(length);
  return out;
}

std::string Encode(const std::string& data, int level = 1) {
  TCompAlgo_Zlib algo;
  algo.SetLevel(level);
  TMemoryStream source(data), destination;
  algo.EncodeStream(source, destination, -1);
  return destination.ToString();
}

std::string Decode(const std::string& data) {
  TCompAlgo_Zlib algo;
  TMemoryStream source(data), destination;
  algo.DecodeStream(source, destination, -1);
  return destination.ToString();
}

TEST(ZlibFraming, EmptySourceGivesEmptyResult) {
  EXPECT_EQ(Encode(""), "");
  EXPECT_EQ(Decode(""), "");
}

// Every level byte selects its zlib level; the frame holds exactly what zlib produces at that
// level. Sizes above zlib's feeding slice check that slicing does not change the stream.
TEST(ZlibFraming, LevelBytesSelectTheirZlibLevel) {
  const struct {
    int levelByte;
    int zlibLevel;
  } cases[] = {{0, 9}, {1, Z_DEFAULT_COMPRESSION}, {2, 1}, {3, 1}, {4, 0}, {255, 0}, {256, 9}};
  const std::string data = Compressible(200000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.levelByte);
    EXPECT_EQ(TCompAlgo_Zlib::ZlibLevel(static_cast<uint8_t>(c.levelByte)), c.zlibLevel);
    const std::string encoded = Encode(data, c.levelByte);
    if (c.zlibLevel == 0) {
      // Stored deflate blocks are never smaller than the data: the plain branch.
      EXPECT_EQ(encoded, Int32Bytes(-200000) + data);
    } else {
      EXPECT_EQ(encoded, Int32Bytes(200000) + ZlibCompress(data, c.zlibLevel));
    }
    EXPECT_EQ(Decode(encoded), data);
  }
  TCompAlgo_Zlib algo;
  EXPECT_EQ(algo.GetLevel(), 1);
  algo.SetLevel(258);
  EXPECT_EQ(algo.GetLevel(), 2);
}

TEST(ZlibFraming, DataThatDoesNotShrinkIsStoredPlain) {
  for (size_t length : {1, 7, 1000}) {
    const std::string data = Random(length);
    const std::string encoded = Encode(data);
    EXPECT_EQ(encoded, Int32Bytes(-static_cast<int32_t>(length)) + data);
    EXPECT_EQ(Decode(encoded), data);
  }
}

TEST(ZlibFraming, DecodesStreamsMadeByZlib) {
  const std::string data = Compressible(70000);
  for (int level : {0, 1, 6, 9}) {
    EXPECT_EQ(Decode(Int32Bytes(70000) + ZlibCompress(data, level)), data);
  }
  // Exactly the announced number of bytes is taken, even when the zlib data holds more.
  EXPECT_EQ(Decode(Int32Bytes(10) + ZlibCompress(data, 6)), data.substr(0, 10));
}

TEST(ZlibFraming, DamagedData) {
  const std::string data = Compressible(70000);
  const std::string zlibData = ZlibCompress(data, 6);
  const struct {
    std::string name, encoded;
    bool streamError;  // else the zlib wrapper's "error"
  } cases[] = {
      {"truncated zlib data", Int32Bytes(70000) + zlibData.substr(0, zlibData.size() / 2), true},
      {"zlib data ends before the announced length", Int32Bytes(70001) + zlibData, true},
      {"no zlib data at all", Int32Bytes(5), true},
      {"length cut short", std::string("\x10\x00", 2), true},
      {"not zlib data", Int32Bytes(100) + std::string(40, 'x'), false},
      {"corrupt deflate data", Int32Bytes(70000) + zlibData.substr(0, 2) + std::string(50, '\xFF'),
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      Decode(c.encoded);
      ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
      EXPECT_TRUE(c.streamError);
      EXPECT_EQ(e.Message(), "Stream read error");
    } catch (const ECompressionError& e) {
      EXPECT_FALSE(c.streamError);
      EXPECT_EQ(e.Message(), "error");
    }
  }
}

// A size of 0 or more takes that many bytes from the current position; progress ends at 100.
TEST(ZlibFraming, SizedStreamsAndProgress) {
  const std::string data = Compressible(300000);
  TCompAlgo_Zlib algo;
  std::vector<int> encodeProgress, decodeProgress;
  algo.OnEncodeProgress = [&](int percent) { encodeProgress.push_back(percent); };
  algo.OnDecodeProgress = [&](int percent) { decodeProgress.push_back(percent); };
  TMemoryStream source("header" + data + "trailer"), encoded;
  source.SetPosition(6);
  algo.EncodeStream(source, encoded, static_cast<int64_t>(data.size()));
  TMemoryStream framed("xx" + encoded.ToString() + "junk"), decoded;
  framed.SetPosition(2);
  algo.DecodeStream(framed, decoded, encoded.Size());
  EXPECT_EQ(decoded.ToString(), data);
  ASSERT_FALSE(encodeProgress.empty());
  ASSERT_FALSE(decodeProgress.empty());
  EXPECT_EQ(encodeProgress.back(), 100);
  EXPECT_EQ(decodeProgress.back(), 100);
  EXPECT_TRUE(std::is_sorted(decodeProgress.begin(), decodeProgress.end()));
  EXPECT_GT(decodeProgress.size(), 2u);
}

}  // namespace
}  // namespace tessdb
