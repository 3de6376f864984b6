// Fuzz target: arbitrary bytes opened as an in-memory database. Every table header, record tab
// and index tab is read, a few records' fields are decoded, and passwords are tried; then every
// table is loaded by the table level, which reads every record of every list with every blob
// and searches each index. Any failure must be an engine exception; a crash, a sanitizer report
// or an out-of-bounds read is a bug.
//
// Input: a first byte with the low bit clear takes the rest as the whole file. With the low bit
// set the rest patches a sound database that has records and blobs (pairs of a 16-bit offset
// into a spread of the image and a byte value), which reaches the deep paths quickly; bit 4 picks
// a database written by the table level (index chains, reserved blob areas, a deleted record).
#include <cstddef>
#include <cstdint>

#include "tessdb/core/exceptions.h"
#include "tessdb/core/field_type.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tessdb/storage/record_authoring.h"
#include "tessdb/storage/table_io.h"
#include "tests/tessdb/storage/test_image.h"

namespace {

using namespace tessdb;

// A database with two records in a table with a string, an integer and a blob, compressed and
// encrypted as the variant says; the password is "pw".
std::string SoundImage(int variant) {
  TNewDatabase settings;
  settings.compressed = variant & 1;
  settings.encrypted = variant & 2;
  settings.cipher = variant & 4 ? "Twofish" : "Blowfish";
  settings.mode = static_cast<uint8_t>(variant % 5);
  settings.password = "pw";
  TIndexEntry index{"ByName", tiPrimary, {0}, 0, 0};
  TMemoryStream image(
      testing::MakeImage(settings, {{"T",
                                     {testing::Field("S", ftString, 5),
                                      testing::Field("I", ftInteger), testing::Field("B", ftBlob)},
                                     {index}}}));
  TMemoryDatabaseRegistration registration(image);
  TTessDBFileIO fileIO;
  fileIO.Open(registration.Name(), mtMemory, false, false);
  fileIO.SetPassword("pw");
  std::vector<int32_t> dataPositions;
  for (int r = 0; r < 2; ++r) {
    TMemoryStream blob(std::string(200 + r, 'b')), stored;
    fileIO.EncodeData(blob, stored, settings.compressed, settings.encrypted);
    const int64_t blobAt = testing::AppendBytes(image, stored.Memory(), stored.Size());
    uint8_t area[30] = {'a', 'b', 'c', 0, 0, 0, 1, 2, 3, 4};
    fileIO.EncodeBuffer(area, area, settings.encrypted, 6);
    fileIO.EncodeBuffer(area + 6, area + 6, settings.encrypted, 4);
    PutInt32(area + 10, static_cast<int32_t>(blobAt));
    PutInt32(area + 14, static_cast<int32_t>(stored.Size()));
    dataPositions.push_back(static_cast<int32_t>(testing::AppendBytes(image, area, sizeof area)));
  }
  const TIntegerAry records =
      testing::AppendTabChain(image, kRecordTabItemSize, 2,
                              [&](int32_t k, uint8_t* item) { PutInt32(item, dataPositions[k]); });
  const TIntegerAry chain =
      testing::AppendTabChain(image, kIndexTabItemSize, 2, [](int32_t k, uint8_t* item) {
        PutInt32(item, k);
        PutInt32(item + 4, k == 0 ? 1 : -1);
      });
  testing::PatchTableHeader(image, 0, [&](TTableHeaderBuffer& h) {
    PutInt32(&h[kThRecordTabPosition], records[0]);
    PutInt32(&h[kThRecordCount], 2);
    PutInt32(&h[kThIndexes + kIeTabPosition], chain[0]);
  });
  return image.ToString();
}

// A database written by the table level itself: two indexes, blobs, a deleted record and a
// relocated blob, compressed and encrypted as the variant says; the password is "pw".
std::string EngineImage(int variant) {
  TNewDatabase settings;
  settings.compressed = variant & 1;
  settings.encrypted = variant & 2;
  settings.cipher = variant & 4 ? "Gost" : "Twofish";
  settings.mode = static_cast<uint8_t>(variant % 5);
  settings.password = "pw";
  TIndexEntry byName{"ByName", tiPrimary, {0}, 0, 0};
  TIndexEntry byNumber{"ByNumber", tiDescending, {1, 0}, 0, 0};
  TMemoryStream image(testing::MakeImage(
      settings, {{"E",
                  {testing::Field("S", ftString, 5), testing::Field("I", ftInteger),
                   testing::Field("B", ftBlob), testing::Field("M", ftMemo, 0, false)},
                  {byName, byNumber}}}));
  std::vector<TRecordValues> records;
  for (int r = 0; r < 5; ++r) {
    records.push_back({"k" + std::to_string(7 - r), StoredBytes<int32_t>(r % 2),
                       std::string(static_cast<size_t>(30 * r), 'b'), "memo"});
  }
  AppendRecords(image, "pw", "E", records);
  TMemoryDatabaseRegistration registration(image);
  TTessDBFileIO fileIO;
  fileIO.Open(registration.Name(), mtMemory, false, false);
  fileIO.SetPassword("pw");
  TTessTableIO table(fileIO, "E");
  table.Open();
  TFieldBuffers buffers;
  for (int f = 0; f < table.FieldDefs().Count(); ++f) {
    buffers.AddOwned(static_cast<TFieldType>(table.FieldDefs()[f].typeCode), table.FieldSize(f));
  }
  table.ReadRecord(buffers, table.GetList(0), 1);
  buffers[2].SetText(std::string(500, 'r'));
  table.ModifyRecord(buffers, 1, nullptr, false);
  table.DeleteRecord(3, false);
  table.Close();
  return image.ToString();
}

// Loads every table through the table level and reads everything it lists.
void ExerciseTables(TTessDBFileIO& fileIO) {
  std::vector<std::string> names;
  try {
    fileIO.GetTableNames(names);
  } catch (const Exception&) {
    return;
  }
  for (const std::string& name : names) {
    TTessTableIO table(fileIO, name);
    try {
      table.Open();
    } catch (const Exception&) {
      continue;
    }
    // An empty table may declare records of any size; buffers for one larger than the file
    // would only measure this process's memory.
    if (table.RecordSize() > fileIO.FileSize()) continue;
    TFieldBuffers buffers;
    for (int f = 0; f < table.FieldDefs().Count(); ++f) {
      buffers.AddOwned(static_cast<TFieldType>(table.FieldDefs()[f].typeCode), table.FieldSize(f));
    }
    for (int k = 0; k < table.ListCount(); ++k) {
      const TRecordList& list = table.GetList(k);
      for (int p = 0; p < static_cast<int>(list.size()); ++p) {
        try {
          table.ReadRecord(buffers, list, p);
          for (int f = 0; f < buffers.Count(); ++f) {
            if (buffers[f].IsBlob()) buffers[f].Blob()->Size();
          }
        } catch (const Exception&) {
        }
      }
      if (k > 0) {
        try {
          table.SearchIndex(buffers, list, true, 0, k - 1);
          table.SearchIndexBound(buffers, list, false, 0, true, k - 1);
        } catch (const Exception&) {
        }
      }
    }
    // The write path on the same file: it must refuse damage as cleanly as the reads do.
    try {
      table.AppendRecord(buffers, false, nullptr);
      table.ModifyRecord(buffers, 0, nullptr, false);
      table.DeleteRecord(0, false);
    } catch (const Exception&) {
    }
  }
}

void Exercise(TMemoryStream& image) {
  TMemoryDatabaseRegistration registration(image);
  TTessDBFileIO fileIO;
  try {
    fileIO.Open(registration.Name(), mtMemory, false, false);
  } catch (const Exception&) {
    return;
  }
  for (const char* password : {"", "pw"}) {
    try {
      fileIO.SetPassword(password);
    } catch (const Exception&) {
    }
  }
  for (int t = 0; t < fileIO.TableCount(); ++t) {
    try {
      TTableHeaderBuffer buffer;
      fileIO.ReadTableHeader(t, buffer);
      const TTableHeader header = DecodeTableHeader(buffer);
      std::vector<TRecordTabItem> records;
      TIntegerAry blocks;
      fileIO.ReadRecordTab(buffer, records, blocks);
      for (int i = 0; i < static_cast<int>(header.indexes.size()); ++i) {
        std::vector<TIndexTabItem> items;
        TIntegerAry indexBlocks;
        try {
          fileIO.ReadIndexTab(buffer, i, items, indexBlocks);
        } catch (const Exception&) {
        }
      }
      const TRecordLayout layout = ComputeRecordLayout(header.fields, fileIO.FileName());
      const bool processed = fileIO.Encrypted();
      for (size_t k = 0; k < std::min<size_t>(records.size(), 3); ++k) {
        for (size_t f = 0; f < header.fields.size(); ++f) {
          const bool blob = IsBlobType(header.fields[f].typeCode);
          const bool encrypt = processed && header.fields[f].Processed();
          const bool compress = blob && fileIO.Compressed() && header.fields[f].Processed();
          TMemoryStream value;
          try {
            fileIO.ReadFieldDataOfRecord(
                TabItemPosition(blocks, static_cast<int32_t>(k), kRecordTabItemSize),
                layout.fieldOffsets[f], value, compress, encrypt, blob, layout.storedSizes[f]);
          } catch (const Exception&) {
          }
        }
      }
    } catch (const Exception&) {
    }
  }
  try {
    std::vector<std::string> names;
    fileIO.GetTableNames(names);
  } catch (const Exception&) {
  }
  ExerciseTables(fileIO);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string bytes;
  if ((data[0] & 1) == 0) {
    bytes.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  } else {
    static const std::string sound[8] = {SoundImage(0), SoundImage(1), SoundImage(2),
                                         SoundImage(3), SoundImage(4), SoundImage(5),
                                         SoundImage(6), SoundImage(7)};
    static const std::string engine[8] = {EngineImage(0), EngineImage(1), EngineImage(2),
                                          EngineImage(3), EngineImage(4), EngineImage(5),
                                          EngineImage(6), EngineImage(7)};
    bytes = (data[0] & 16 ? engine : sound)[(data[0] >> 1) & 7];
    // Patches land in the fixed areas and everything after them, spread over the image.
    for (size_t i = 1; i + 2 < size; i += 3) {
      const size_t where =
          (data[i] | size_t{data[i + 1]} << 8) % (bytes.size() - kProcessingBlockOffset);
      bytes[kProcessingBlockOffset + where] = static_cast<char>(data[i + 2]);
    }
  }
  TMemoryStream image(bytes);
  Exercise(image);
  return 0;
}
