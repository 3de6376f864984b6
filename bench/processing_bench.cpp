// Throughput of the stored-data processing on 1 MiB buffers: each cipher in each mode, the ZLIB
// framing at each level, and, in the same run, libgcrypt (Blowfish, GOST 28147-89) and nettle
// (Twofish) in ECB and CBC with the same 20-byte key. Prints MB/s (10^6 bytes per second) of
// ours and theirs and the ratio ours/theirs.
//
// Usage: processing_bench [seconds per measurement, default 0.3]
#include <gcrypt.h>
#include <nettle/cbc.h>
#include <nettle/twofish.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tessdb/core/stream.h"
#include "tessdb/processing/blowfish.h"
#include "tessdb/processing/gost.h"
#include "tessdb/processing/twofish.h"
#include "tessdb/processing/zlib_framing.h"

namespace {

using namespace tessdb;

constexpr size_t kBufferSize = 1 << 20;
double gSeconds = 0.3;

// Best rate over repeated runs within the time budget (the best run is the least disturbed by
// the other work on a shared machine).
double MegabytesPerSecond(size_t bytes, const std::function<void()>& work) {
  using Clock = std::chrono::steady_clock;
  work();  // warm-up
  double best = 1e30;
  const auto start = Clock::now();
  do {
    const auto t0 = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  } while (std::chrono::duration<double>(Clock::now() - start).count() < gSeconds);
  return static_cast<double>(bytes) / best / 1e6;
}

struct TCipherCase {
  const char* name;
  std::function<std::unique_ptr<TEncrypt>()> make;
  int gcryptAlgo;  // 0: nettle's Twofish
};

// The library's ECB or CBC encryption of the buffer, in place.
std::function<void()> LibraryWork(const TCipherCase& c, const uint8_t* key, bool cbc,
                                  std::vector<uint8_t>& buffer, std::shared_ptr<void>& keep) {
  if (c.gcryptAlgo != 0) {
    gcry_cipher_hd_t handle;
    gcry_cipher_open(&handle, c.gcryptAlgo, cbc ? GCRY_CIPHER_MODE_CBC : GCRY_CIPHER_MODE_ECB, 0);
    uint8_t padded[32] = {};
    std::memcpy(padded, key, 20);
    if (c.gcryptAlgo == GCRY_CIPHER_GOST28147) {
      static char sbox[] = "1.2.643.2.2.30.0";
      gcry_cipher_ctl(handle, GCRYCTL_SET_SBOX, sbox, 0);
      gcry_cipher_setkey(handle, padded, 32);
    } else {
      gcry_cipher_setkey(handle, padded, 20);
    }
    keep.reset(handle, [](void* h) { gcry_cipher_close(static_cast<gcry_cipher_hd_t>(h)); });
    return [handle, cbc, &buffer] {
      if (cbc) {
        uint8_t iv[8] = {};
        gcry_cipher_setiv(handle, iv, 8);
      }
      gcry_cipher_encrypt(handle, buffer.data(), buffer.size(), nullptr, 0);
    };
  }
  auto ctx = std::make_shared<twofish_ctx>();
  twofish_set_key(ctx.get(), 20, key);
  keep = ctx;
  return [ctx, cbc, &buffer] {
    if (cbc) {
      uint8_t iv[16] = {};
      cbc_encrypt(ctx.get(), reinterpret_cast<nettle_cipher_func*>(twofish_encrypt), 16, iv,
                  buffer.size(), buffer.data(), buffer.data());
    } else {
      twofish_encrypt(ctx.get(), buffer.size(), buffer.data(), buffer.data());
    }
  };
}

void CipherTable() {
  const TCipherCase cases[] = {
      {"Blowfish", [] { return std::make_unique<TEnc_Blowfish>(); }, GCRY_CIPHER_BLOWFISH},
      {"Twofish", [] { return std::make_unique<TEnc_Twofish>(); }, 0},
      {"Gost", [] { return std::make_unique<TEnc_Gost>(); }, GCRY_CIPHER_GOST28147},
  };
  const char* modeNames[] = {"Chain", "CBC", "CFB8", "OFB8", "ECB"};
  uint8_t key[20];
  for (int i = 0; i < 20; ++i) key[i] = static_cast<uint8_t>(i * 13 + 5);
  std::vector<uint8_t> buffer(kBufferSize);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 7);

  std::printf("%-9s %-6s %12s %12s %12s %8s\n", "cipher", "mode", "ours enc", "ours dec",
              "library enc", "ratio");
  for (const TCipherCase& c : cases) {
    auto cipher = c.make();
    cipher->Init(key, sizeof key);
    for (int mode = ModeChain; mode <= ModeECB; ++mode) {
      cipher->SetMode(mode);
      const double encode = MegabytesPerSecond(kBufferSize, [&] {
        cipher->EncodeBuffer(buffer.data(), buffer.data(), buffer.size());
        cipher->Done();
      });
      const double decode = MegabytesPerSecond(kBufferSize, [&] {
        cipher->DecodeBuffer(buffer.data(), buffer.data(), buffer.size());
        cipher->Done();
      });
      if (mode == ModeCBC || mode == ModeECB) {
        std::shared_ptr<void> keep;
        const auto work = LibraryWork(c, key, mode == ModeCBC, buffer, keep);
        const double library = MegabytesPerSecond(kBufferSize, work);
        std::printf("%-9s %-6s %12.1f %12.1f %12.1f %8.2f\n", c.name, modeNames[mode], encode,
                    decode, library, encode / library);
      } else {
        std::printf("%-9s %-6s %12.1f %12.1f %12s %8s\n", c.name, modeNames[mode], encode, decode,
                    "-", "-");
      }
    }
  }
}

void ZlibTable() {
  // Text-like data that compresses to roughly a fifth.
  std::string data;
  data.reserve(kBufferSize);
  for (size_t i = 0; data.size() < kBufferSize; ++i) {
    data +=
        "device " + std::to_string(i % 1000) + " vendor " + std::to_string(i * 7919 % 353) + ";";
  }
  data.resize(kBufferSize);
  std::printf("\n%-12s %12s %12s %10s\n", "ZLIB level", "encode MB/s", "decode MB/s", "stored");
  for (int level : {0, 1, 2, 3, 4}) {
    TCompAlgo_Zlib algo;
    algo.SetLevel(level);
    TMemoryStream source(data), encoded;
    const double encode = MegabytesPerSecond(kBufferSize, [&] {
      encoded.Clear();
      algo.EncodeStream(source, encoded, -1);
    });
    TMemoryStream decoded;
    const double decode = MegabytesPerSecond(kBufferSize, [&] {
      decoded.Clear();
      algo.DecodeStream(encoded, decoded, -1);
    });
    std::printf("%-12d %12.1f %12.1f %10lld\n", level, encode, decode,
                static_cast<long long>(encoded.Size()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) gSeconds = std::atof(argv[1]);
  gcry_check_version(nullptr);
  gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  CipherTable();
  ZlibTable();
  return 0;
}
