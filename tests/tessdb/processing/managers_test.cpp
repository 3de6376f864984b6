// The algorithm registry, the two managers and stream encryption: selection, failures with their
// texts, message boundaries, chunked streams and progress.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/algorithm_registry.h"
#include "tessdb/processing/cipher_algo.h"
#include "tessdb/processing/compress_mgr.h"
#include "tessdb/processing/encrypt_mgr.h"
#include "tessdb/processing/zlib_framing.h"

namespace tessdb {
namespace {

// Compression that reverses the bytes: enough to show that the registry hands out the class.
class TReverseAlgo : public TCompressAlgo {
 public:
  void EncodeStream(TStream& source, TStream& destination, int64_t size) override {
    Reverse(source, destination, size);
  }
  void DecodeStream(TStream& source, TStream& destination, int64_t size) override {
    Reverse(source, destination, size);
  }

 private:
  static void Reverse(TStream& source, TStream& destination, int64_t size) {
    if (size < 0) {
      source.SetPosition(0);
      size = source.Size();
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    source.ReadBuffer(bytes.data(), size);
    destination.WriteBuffer(std::string(bytes.rbegin(), bytes.rend()).data(), size);
  }
};

class TOtherAlgo : public TReverseAlgo {};

template <class Error>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.Message();
  }
  return "<no error>";
}

TEST(AlgorithmRegistry, BuiltInsAndCaseInsensitiveLookup) {
  TCompressMgr compress;
  TEncryptMgr encrypt;
  EXPECT_GE(compress.IndexOfAlgo("ZLIB"), 0);
  EXPECT_EQ(compress.IndexOfAlgo("zLib"), compress.IndexOfAlgo("ZLIB"));
  EXPECT_EQ(compress.IndexOfAlgo("Blowfish"), -1);
  EXPECT_EQ(compress.IndexOfAlgo(""), -1);
  for (const char* name : {"Blowfish", "Twofish", "Gost"}) EXPECT_GE(encrypt.IndexOfAlgo(name), 0);
  EXPECT_EQ(encrypt.IndexOfAlgo("BLOWFISH"), encrypt.IndexOfAlgo("Blowfish"));
  EXPECT_EQ(encrypt.IndexOfAlgo("gost"), encrypt.IndexOfAlgo("Gost"));
  EXPECT_NE(encrypt.IndexOfAlgo("Twofish"), encrypt.IndexOfAlgo("Blowfish"));
  EXPECT_EQ(encrypt.IndexOfAlgo("Blowfish "), -1);
  EXPECT_EQ(encrypt.IndexOfAlgo("ZLIB"), -1);
}

TEST(AlgorithmRegistry, RegisteringAClassAgainRenamesItsEntry) {
  RegisterCompressAlgo<TReverseAlgo>("Reverse");
  TCompressMgr mgr;
  const int index = mgr.IndexOfAlgo("reverse");
  ASSERT_GT(index, mgr.IndexOfAlgo("ZLIB"));
  RegisterCompressAlgo<TReverseAlgo>("Backwards");
  EXPECT_EQ(mgr.IndexOfAlgo("Reverse"), -1);
  EXPECT_EQ(mgr.IndexOfAlgo("BACKWARDS"), index);
  // Another class under a taken name is appended; lookup finds the first.
  RegisterCompressAlgo<TOtherAlgo>("Backwards");
  EXPECT_EQ(mgr.IndexOfAlgo("Backwards"), index);

  mgr.SetAlgoName("backwards");
  TMemoryStream source(std::string("abc")), destination;
  mgr.EncodeStream(source, destination, -1);
  EXPECT_EQ(destination.ToString(), "cba");
  EXPECT_EQ(mgr.GetLevel(), 1) << "the base class reports level 1";
}

TEST(Managers, FailureTexts) {
  TCompressMgr compress;
  TEncryptMgr encrypt;
  TMemoryStream source(std::string("data")), destination;
  uint8_t buffer[4] = {};
  const std::vector<std::function<void()>> withoutAlgorithm = {
      [&] { compress.EncodeStream(source, destination, -1); },
      [&] { compress.DecodeStream(source, destination, -1); },
      [&] { compress.SetLevel(2); },
      [&] { encrypt.EncodeStream(source, destination, -1); },
      [&] { encrypt.DecodeStream(source, destination, -1); },
      [&] { encrypt.EncodeBuffer(buffer, buffer, 4); },
      [&] { encrypt.DecodeBuffer(buffer, buffer, 4); },
      [&] { encrypt.SetMode(1); },
      [&] { encrypt.InitKey("x"); },
      [&] { encrypt.Done(); },
  };
  for (const auto& action : withoutAlgorithm) {
    EXPECT_EQ(MessageOf<EDatabaseError>(action), "General error");
  }
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { compress.SetAlgoName("LZMA"); }),
            "Compression algorithm module 'LZMA' not found");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { encrypt.SetAlgoName("AES"); }),
            "Encryption algorithm module 'AES' not found");
  encrypt.SetAlgoName("twofish");
  EXPECT_EQ(MessageOf<EEncryptException>([&] { encrypt.EncodeBuffer(buffer, buffer, 4); }),
            "TEnc_Twofish is not initialized call Init() or InitKey() before.");
}

TEST(EncryptMgr, EveryOperationIsASeparateMessage) {
  TEncryptMgr mgr;
  mgr.SetAlgoName("Blowfish");
  mgr.SetMode(ModeCBC);
  mgr.InitKey("secret");
  const std::string value = "the same value, twice";
  std::string first = value, second = value;
  mgr.EncodeBuffer(reinterpret_cast<const uint8_t*>(value.data()),
                   reinterpret_cast<uint8_t*>(first.data()), static_cast<int64_t>(value.size()));
  mgr.EncodeBuffer(reinterpret_cast<uint8_t*>(second.data()),
                   reinterpret_cast<uint8_t*>(second.data()), static_cast<int64_t>(value.size()));
  EXPECT_NE(first, value);
  EXPECT_EQ(first, second);

  TMemoryStream source(value), streamed;
  mgr.EncodeStream(source, streamed, -1);
  EXPECT_EQ(streamed.ToString(), first);
  TMemoryStream again(value), streamedAgain;
  mgr.EncodeStream(again, streamedAgain, -1);
  EXPECT_EQ(streamedAgain.ToString(), first);

  mgr.DecodeBuffer(reinterpret_cast<uint8_t*>(second.data()),
                   reinterpret_cast<uint8_t*>(second.data()), static_cast<int64_t>(value.size()));
  EXPECT_EQ(second, value);
}

TEST(EncryptMgr, SelectingTheSameClassKeepsTheKey) {
  TEncryptMgr mgr;
  mgr.SetAlgoName("Gost");
  mgr.SetMode(ModeOFB8);
  mgr.InitKey("secret");
  TEncryptAlgo* algo = mgr.Algo();
  mgr.SetAlgoName("GOST");
  EXPECT_EQ(mgr.Algo(), algo);
  EXPECT_EQ(mgr.GetMode(), ModeOFB8);
  uint8_t buffer[3] = {1, 2, 3};
  mgr.EncodeBuffer(buffer, buffer, 3);

  mgr.SetAlgoName("Twofish");
  EXPECT_THROW(mgr.EncodeBuffer(buffer, buffer, 3), EEncryptException);
  EXPECT_EQ(mgr.GetMode(), ModeChain);
  mgr.SetAlgoName("Gost");
  EXPECT_THROW(mgr.EncodeBuffer(buffer, buffer, 3), EEncryptException) << "a fresh, unkeyed Gost";
}

// Streams go in chunks of 4096 with the feedback carried over, so the result equals one buffer
// operation over the whole value; progress is 0, the percentage after each chunk, then 0.
TEST(EncryptMgr, StreamsInChunksWithProgress) {
  std::string value(10000, '\0');
  for (size_t i = 0; i < value.size(); ++i) value[i] = static_cast<char>(i * 31 + 7);
  for (int mode = ModeChain; mode <= ModeECB; ++mode) {
    SCOPED_TRACE(mode);
    TEncryptMgr mgr;
    mgr.SetAlgoName("Twofish");
    mgr.SetMode(mode);
    mgr.InitKey("pw");
    std::vector<int> encodeProgress, decodeProgress;
    mgr.OnEncodeProgress = [&](int percent) { encodeProgress.push_back(percent); };
    mgr.OnDecodeProgress = [&](int percent) { decodeProgress.push_back(percent); };

    std::string whole = value;
    mgr.EncodeBuffer(reinterpret_cast<uint8_t*>(whole.data()),
                     reinterpret_cast<uint8_t*>(whole.data()), static_cast<int64_t>(whole.size()));
    TMemoryStream source(value), encoded;
    source.SetPosition(5000);  // a negative size means the whole source from its start
    mgr.EncodeStream(source, encoded, -1);
    EXPECT_EQ(encoded.ToString(), whole);
    EXPECT_EQ(encodeProgress, (std::vector<int>{0, 41, 82, 100, 0}));

    TMemoryStream decoded;
    encoded.SetPosition(0);
    mgr.DecodeStream(encoded, decoded, 20000);  // stops when the source runs out
    EXPECT_EQ(decoded.ToString(), value);
    EXPECT_EQ(decodeProgress, (std::vector<int>{0, 20, 41, 50, 0}));
  }
  TEncryptMgr mgr;
  mgr.SetAlgoName("Blowfish");
  mgr.InitKey("pw");
  std::vector<int> progress;
  mgr.OnEncodeProgress = [&](int percent) { progress.push_back(percent); };
  TMemoryStream empty, out;
  mgr.EncodeStream(empty, out, 0);
  EXPECT_EQ(progress, (std::vector<int>{0, 0}));
  EXPECT_EQ(out.Size(), 0);
}

TEST(CompressMgr, ZlibThroughTheManager) {
  TCompressMgr mgr;
  mgr.SetAlgoName("zlib");
  mgr.SetLevel(0);
  EXPECT_EQ(mgr.GetLevel(), 0);
  TCompressAlgo* algo = mgr.Algo();
  mgr.SetAlgoName("ZLIB");
  EXPECT_EQ(mgr.Algo(), algo);
  EXPECT_EQ(mgr.GetLevel(), 0) << "the same class keeps its object";
  int lastProgress = -1;
  mgr.OnEncodeProgress = [&](int percent) { lastProgress = percent; };
  const std::string value(5000, 'z');
  TMemoryStream source(value), compressed, restored;
  mgr.EncodeStream(source, compressed, -1);
  EXPECT_LT(compressed.Size(), 100);
  EXPECT_EQ(lastProgress, 100);
  mgr.DecodeStream(compressed, restored, -1);
  EXPECT_EQ(restored.ToString(), value);
}

}  // namespace
}  // namespace tessdb
