// Reading a table's areas: table headers, tab chains, field values through the data processing,
// deletion marks, and the damaged-file checks on every count, position and length.
#include <gtest/gtest.h>

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/compress_mgr.h"
#include "tessdb/processing/encrypt_mgr.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tests/tessdb/storage/test_image.h"

namespace tessdb {
namespace {

using testing::AppendBytes;
using testing::AppendTabChain;
using testing::Field;
using testing::PatchTableHeader;

TTableDefinition Devices() {
  TTableDefinition table;
  table.name = "Devices";
  table.fields = {Field("Name", ftString, 11), Field("Id", ftAutoInc), Field("Photo", ftGraphic)};
  TIndexEntry byName;
  byName.name = "ByName";
  byName.options = tiPrimary | tiCaseInsensitive;
  byName.keyFields = {0, 1};
  table.indexes = {byName};
  return table;
}

// An open memory database over an image the test can still change.
class OpenImage {
 public:
  explicit OpenImage(const std::string& image) : memory_(image), registration_(memory_) {
    fileIO.Open(registration_.Name(), mtMemory, false, false);
  }
  TMemoryStream& Memory() { return memory_; }
  TTableHeaderBuffer Header(int tableNo = 0) {
    TTableHeaderBuffer header;
    fileIO.ReadTableHeader(tableNo, header);
    return header;
  }
  std::string DamagedMessage() const {
    return "Database file '" + registration_.Name() + "' is damaged";
  }

 private:
  TMemoryStream memory_;
  TMemoryDatabaseRegistration registration_;

 public:
  TTessDBFileIO fileIO;
};

void PutRecordItem(int32_t k, uint8_t* item) {
  PutInt32(item, 100000 + k);
  item[4] = static_cast<uint8_t>(k % 3 == 0);
}

void PutIndexItem(int32_t k, uint8_t* item) {
  PutInt32(item, k);
  PutInt32(item + 4, k * 7 % 1025);
}

TEST(FileIOTabs, ChainsOf1024And1025Items) {
  for (const int32_t count : {1, 1023, 1024, 1025, 2049}) {
    SCOPED_TRACE(count);
    OpenImage db(testing::MakeImage({}, {Devices()}));
    // The last block's next position is garbage a reader must not follow.
    const TIntegerAry recordBlocks =
        AppendTabChain(db.Memory(), kRecordTabItemSize, count, PutRecordItem, true, -77);
    const TIntegerAry indexBlocks =
        AppendTabChain(db.Memory(), kIndexTabItemSize, count, PutIndexItem, true, 999999999);
    PatchTableHeader(db.Memory(), 0, [&](TTableHeaderBuffer& header) {
      PutInt32(&header[kThRecordTabPosition], recordBlocks[0]);
      PutInt32(&header[kThRecordCount], count);
      PutInt32(&header[kThIndexes + kIeTabPosition], indexBlocks[0]);
    });
    const TTableHeaderBuffer header = db.Header();

    std::vector<TRecordTabItem> records;
    TIntegerAry blocks;
    db.fileIO.ReadRecordTab(header, records, blocks);
    EXPECT_EQ(blocks, recordBlocks);
    EXPECT_EQ(static_cast<int64_t>(blocks.size()), TabBlockCount(count));
    ASSERT_EQ(records.size(), static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) {
      ASSERT_EQ(records[k].dataPosition, 100000 + k) << k;
      ASSERT_EQ(records[k].deleted, k % 3 == 0) << k;
    }
    // Item k is addressed through the block positions.
    const int32_t last = count - 1;
    uint8_t item[kRecordTabItemSize];
    db.fileIO.ReadRange(TabItemPosition(blocks, last, kRecordTabItemSize), item, sizeof item);
    EXPECT_EQ(GetInt32(item), 100000 + last);

    std::vector<TIndexTabItem> indexItems;
    db.fileIO.ReadIndexTab(header, 0, indexItems, blocks);
    EXPECT_EQ(blocks, indexBlocks);
    ASSERT_EQ(indexItems.size(), static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) {
      ASSERT_EQ(indexItems[k].recordNo, k);
      ASSERT_EQ(indexItems[k].next, k * 7 % 1025);
    }
  }
}

TEST(FileIOHeaders, WrittenHeaderIsReadBackAtItsDirectoryPosition) {
  OpenImage db(testing::MakeImage({}, {Devices(), {"Other", {}, {}}}));
  TTableHeaderBuffer header = db.Header(1);
  EXPECT_EQ(DecodeTableHeader(header).name, "Other");
  PutInt32(&header[kThAutoIncValue], 42);
  db.fileIO.WriteTableHeader(1, header);
  EXPECT_EQ(DecodeTableHeader(db.Header(1)).autoIncValue, 42);
  EXPECT_EQ(DecodeTableHeader(db.Header(0)).autoIncValue, 0);
  uint8_t stored[4];
  testing::ReadAt(db.Memory(), testing::TableHeaderPosition(db.Memory(), 1) + kThAutoIncValue,
                  stored, 4);
  EXPECT_EQ(GetInt32(stored), 42);
  EXPECT_THROW(db.fileIO.WriteTableHeader(2, header), EDatabaseError);
  EXPECT_THROW(db.Header(-1), EDatabaseError);
}

TEST(FileIOTabs, EmptyTableAndIndexWithoutTab) {
  OpenImage db(testing::MakeImage({}, {Devices()}));
  const TTableHeaderBuffer header = db.Header();
  std::vector<TRecordTabItem> records = {{1, 1}};
  TIntegerAry blocks = {5};
  db.fileIO.ReadRecordTab(header, records, blocks);  // record tab position 0 is not read
  EXPECT_TRUE(records.empty());
  EXPECT_TRUE(blocks.empty());
  std::vector<TIndexTabItem> items = {{1, 1}};
  db.fileIO.ReadIndexTab(header, 0, items, blocks);
  EXPECT_TRUE(items.empty());
}

TEST(FileIOTabs, MarkRecordDeletedSetsTheFlagByte) {
  OpenImage db(testing::MakeImage({}, {Devices()}));
  const TIntegerAry blocks = AppendTabChain(db.Memory(), kRecordTabItemSize, 1030,
                                            [](int32_t k, uint8_t* item) { PutInt32(item, k); });
  PatchTableHeader(db.Memory(), 0, [&](TTableHeaderBuffer& header) {
    PutInt32(&header[kThRecordTabPosition], blocks[0]);
    PutInt32(&header[kThRecordCount], 1030);
  });
  db.fileIO.MarkRecordDeleted(TabItemPosition(blocks, 1027, kRecordTabItemSize));
  std::vector<TRecordTabItem> records;
  TIntegerAry read;
  db.fileIO.ReadRecordTab(db.Header(), records, read);
  for (int32_t k = 0; k < 1030; ++k) {
    ASSERT_EQ(records[k].deleted, k == 1027 ? 1 : 0) << k;
    ASSERT_EQ(records[k].dataPosition, k);
  }
}

TEST(FileIOFieldData, ReadsAndDecodesFieldsAndBlobsOfARecord) {
  struct Setting {
    bool compressed;
    bool encrypted;
  };
  for (const Setting setting :
       {Setting{false, false}, Setting{true, false}, Setting{false, true}, Setting{true, true}}) {
    SCOPED_TRACE(std::to_string(setting.compressed) + std::to_string(setting.encrypted));
    TNewDatabase settings;
    settings.compressed = setting.compressed;
    settings.encrypted = setting.encrypted;
    settings.cipher = "Blowfish";
    settings.mode = 0;
    settings.password = "pw";
    OpenImage db(testing::MakeImage(settings, {Devices()}));
    ASSERT_TRUE(db.fileIO.SetPassword("pw"));
    // One record: a string filling its 11 characters, an integer and a blob of 3 KiB.
    const std::string value = "Hello world";
    const std::string blob = std::string(3000, 'x') + "tail of the blob";
    const TRecordLayout layout = ComputeRecordLayout(DecodeTableHeader(db.Header()).fields, "x");
    ASSERT_EQ(layout.fieldOffsets, (TIntegerAry{0, 12, 16}));
    ASSERT_EQ(layout.recordSize, 36);

    // The blob, encoded as a writer stores it, goes first; then the data area and the tab.
    TMemoryStream plainBlob(blob), storedBlob;
    db.fileIO.EncodeData(plainBlob, storedBlob, setting.compressed, setting.encrypted);
    const int64_t blobPosition = AppendBytes(db.Memory(), storedBlob.Memory(), storedBlob.Size());
    std::vector<uint8_t> area(static_cast<size_t>(layout.recordSize));
    std::vector<uint8_t> text(12, 0);
    std::copy(value.begin(), value.end(), text.begin());
    db.fileIO.EncodeBuffer(text.data(), &area[0], setting.encrypted, 12);
    uint8_t number[4];
    PutInt32(number, 4711);
    db.fileIO.EncodeBuffer(number, &area[12], setting.encrypted, 4);
    const auto storedSize = static_cast<int32_t>(storedBlob.Size());
    EncodeBlobDescriptor({static_cast<int32_t>(blobPosition), storedSize,
                          static_cast<int32_t>(ReservedBlobSize(storedSize))},
                         &area[16]);
    const int64_t dataPosition = AppendBytes(db.Memory(), area.data(), layout.recordSize);
    const TIntegerAry blocks = AppendTabChain(
        db.Memory(), kRecordTabItemSize, 1,
        [&](int32_t, uint8_t* item) { PutInt32(item, static_cast<int32_t>(dataPosition)); });
    const int64_t itemPosition = TabItemPosition(blocks, 0, kRecordTabItemSize);

    TMemoryStream out;
    db.fileIO.ReadFieldDataOfRecord(itemPosition, 0, out, false, setting.encrypted, false, 12);
    EXPECT_EQ(out.ToString(), std::string(text.begin(), text.end()));
    out.Clear();
    db.fileIO.ReadFieldDataOfRecord(itemPosition, 12, out, false, setting.encrypted, false, 4);
    ASSERT_EQ(out.Size(), 4);
    EXPECT_EQ(GetInt32(out.Memory()), 4711);
    out.Clear();
    db.fileIO.ReadFieldDataOfRecord(itemPosition, 16, out, setting.compressed, setting.encrypted,
                                    true, kBlobDescriptorSize);
    EXPECT_EQ(out.ToString(), blob);
    // A stored blob is smaller than the value only when it went through compression, and the
    // stored field bytes differ from the value exactly when they are encrypted.
    EXPECT_EQ(storedBlob.Size() < static_cast<int64_t>(blob.size()), setting.compressed);
    EXPECT_EQ(std::memcmp(&area[0], text.data(), 12) != 0, setting.encrypted);
  }
}

TEST(FileIOFieldData, CompressionComesFirstAndSameStreamWorks) {
  TNewDatabase settings;
  settings.compressed = true;
  settings.encrypted = true;
  settings.cipher = "Twofish";
  settings.mode = 1;
  settings.password = "pw";
  OpenImage db(testing::MakeImage(settings, {}));
  ASSERT_TRUE(db.fileIO.SetPassword("pw"));
  const std::string value(5000, 'a');

  // The same work done by separate managers: compress, then encrypt.
  TCompressMgr compress;
  compress.SetAlgoName("ZLIB");
  TEncryptMgr encrypt;
  encrypt.SetAlgoName("Twofish");
  encrypt.SetMode(1);
  encrypt.InitKey("pw");
  TMemoryStream source(value), compressed, expected;
  compress.EncodeStream(source, compressed, -1);
  encrypt.EncodeStream(compressed, expected, -1);

  TMemoryStream encoded;
  source.SetPosition(1234);  // the source is taken from its start wherever its position is
  db.fileIO.EncodeData(source, encoded, true, true);
  EXPECT_EQ(encoded.ToString(), expected.ToString());

  TMemoryStream inPlace(value);
  db.fileIO.EncodeData(inPlace, inPlace, true, true);
  EXPECT_EQ(inPlace.ToString(), expected.ToString());
  db.fileIO.DecodeData(inPlace, inPlace, true, true);
  EXPECT_EQ(inPlace.ToString(), value);

  // An empty blob is stored as nothing, whatever the processing.
  TMemoryStream empty, emptyOut;
  db.fileIO.EncodeData(empty, emptyOut, true, true);
  EXPECT_EQ(emptyOut.Size(), 0);
}

// Damage the image, then open it and run one operation (none: Open itself must fail). Either
// fails with the damaged-file message.
using Operation = std::function<void(TTessDBFileIO&)>;
struct DamageCase {
  std::string label;
  std::function<void(TMemoryStream&)> damage;
  Operation operation;
};

TTableHeaderBuffer HeaderOf(TTessDBFileIO& fileIO) {
  TTableHeaderBuffer header;
  fileIO.ReadTableHeader(0, header);
  return header;
}

void ReadTab(TTessDBFileIO& fileIO) {
  std::vector<TRecordTabItem> items;
  TIntegerAry blocks;
  fileIO.ReadRecordTab(HeaderOf(fileIO), items, blocks);
}

Operation ReadIndex(int indexNo) {
  return [indexNo](TTessDBFileIO& fileIO) {
    std::vector<TIndexTabItem> items;
    TIntegerAry blocks;
    fileIO.ReadIndexTab(HeaderOf(fileIO), indexNo, items, blocks);
  };
}

void Names(TTessDBFileIO& fileIO) {
  std::vector<std::string> names;
  fileIO.GetTableNames(names);
}

std::function<void(TMemoryStream&)> HeaderInt(int offset, int32_t value) {
  return [=](TMemoryStream& image) {
    PatchTableHeader(image, 0, [&](TTableHeaderBuffer& h) { PutInt32(&h[offset], value); });
  };
}

std::function<void(TMemoryStream&)> Int32At(int64_t position, int32_t value) {
  return [=](TMemoryStream& image) { testing::WriteInt32At(image, position, value); };
}

TEST(FileIODamage, EveryCountPositionAndLengthIsChecked) {
  // A sound record tab of 1500 items and an index tab, for damage to start from.
  TMemoryStream sound(testing::MakeImage({}, {Devices()}));
  const TIntegerAry blocks = AppendTabChain(sound, kRecordTabItemSize, 1500, PutRecordItem);
  const TIntegerAry index = AppendTabChain(sound, kIndexTabItemSize, 1500, PutIndexItem);
  PatchTableHeader(sound, 0, [&](TTableHeaderBuffer& h) {
    PutInt32(&h[kThRecordTabPosition], blocks[0]);
    PutInt32(&h[kThRecordCount], 1500);
    PutInt32(&h[kThIndexes + kIeTabPosition], index[0]);
  });
  const int64_t dir = kDirectoryOffset;
  const auto size = static_cast<int32_t>(sound.Size());
  const std::vector<DamageCase> cases = {
      {"sound file", nullptr, ReadTab},
      {"table count 257", Int32At(dir, 257), nullptr},
      {"table count -1", Int32At(dir, -1), nullptr},
      {"table header cut by the end", Int32At(dir + kDirPositions, size - 100), Names},
      {"table header inside the fixed areas", Int32At(dir + kDirPositions, 0), Names},
      {"negative table header position", Int32At(dir + kDirPositions, -5000), Names},
      {"field count 97", HeaderInt(kThFieldCount, 97), Names},
      {"field count -1", HeaderInt(kThFieldCount, -1), Names},
      {"index count 9", HeaderInt(kThIndexCount, 9), Names},
      {"negative record count", HeaderInt(kThRecordCount, -1), Names},
      {"key field beyond the fields", HeaderInt(kThIndexes + kIeKeyFields + 4, 3), Names},
      {"negative key field", HeaderInt(kThIndexes + kIeKeyFields, -2), Names},
      {"record count beyond what the file holds", HeaderInt(kThRecordCount, INT32_MAX), ReadTab},
      {"record tab past the end", HeaderInt(kThRecordTabPosition, 0x7FFFFF00), ReadTab},
      {"record tab at 0", HeaderInt(kThRecordTabPosition, 0), ReadTab},
      {"second block cut by the end", [&](TMemoryStream& m) { m.SetSize(blocks[1] + 100); },
       ReadTab},
      {"next block past the end", Int32At(blocks[0], 0x7FFFFFF0), ReadTab},
      {"chain ends too early", Int32At(blocks[0], 0), ReadTab},
      {"negative next block", Int32At(blocks[0], -1), ReadTab},
      {"index tab past the end", HeaderInt(kThIndexes + kIeTabPosition, 0x70000000), ReadIndex(0)},
      {"index number beyond the count", nullptr, ReadIndex(1)},
      {"record-tab item past the end", nullptr,
       [](TTessDBFileIO& fileIO) { fileIO.MarkRecordDeleted(fileIO.FileSize() - 4); }},
      {"negative read position", nullptr,
       [](TTessDBFileIO& fileIO) {
         uint8_t b;
         fileIO.ReadRange(-1, &b, 1);
       }},
      {"read past the end", nullptr,
       [](TTessDBFileIO& fileIO) {
         uint8_t b[8];
         fileIO.ReadRange(fileIO.FileSize() - 4, b, 8);
       }},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.label);
    TMemoryStream memory(sound.ToString());
    if (c.damage) c.damage(memory);
    TMemoryDatabaseRegistration registration(memory);
    TTessDBFileIO fileIO;
    const bool sound = c.label == "sound file";
    try {
      fileIO.Open(registration.Name(), mtMemory, false, false);
      ASSERT_TRUE(c.operation) << "Open accepted the damage";
      c.operation(fileIO);
      EXPECT_TRUE(sound) << "no error";
    } catch (const EDatabaseError& error) {
      EXPECT_FALSE(sound);
      EXPECT_EQ(error.what(), "Database file '" + registration.Name() + "' is damaged");
    }
  }
}

TEST(FileIODamage, BlobDescriptorsAreChecked) {
  OpenImage db(testing::MakeImage({}, {Devices()}));
  auto readBlob = [&](int32_t position, int32_t size) {
    uint8_t descriptor[kBlobDescriptorSize] = {};
    PutInt32(descriptor + kBdPosition, position);
    PutInt32(descriptor + kBdStoredSize, size);
    const int64_t at = AppendBytes(db.Memory(), descriptor, sizeof descriptor);
    TMemoryStream out;
    db.fileIO.ReadFieldData(at, out, false, false, true, kBlobDescriptorSize);
    return out.ToString();
  };
  EXPECT_EQ(readBlob(0, 0), "");     // an empty blob
  EXPECT_EQ(readBlob(-123, 0), "");  // points anywhere: nothing is read
  EXPECT_EQ(readBlob(0, 6), std::string("TessDB"));
  for (const auto& [position, size] : std::vector<std::pair<int32_t, int32_t>>{
           {0, -1}, {-1, 4}, {4000, INT32_MAX}, {INT32_MAX, 1}, {0, 0x7FFFFFF0}}) {
    EXPECT_THROW(readBlob(position, size), EDatabaseError) << position << " " << size;
  }
  // The descriptor itself must lie in the file.
  TMemoryStream out;
  EXPECT_THROW(db.fileIO.ReadFieldData(db.fileIO.FileSize() - 10, out, false, false, true, 20),
               EDatabaseError);
  EXPECT_THROW(db.fileIO.ReadFieldData(100, out, false, false, false, -1), EDatabaseError);
}

TEST(FileFormat, BlobDescriptorBytesAndReservedSizes) {
  uint8_t bytes[kBlobDescriptorSize];
  std::memset(bytes, 0xEE, sizeof bytes);
  EncodeBlobDescriptor({0x01020304, 130, 192}, bytes);
  const uint8_t expected[kBlobDescriptorSize] = {4, 3, 2, 1, 130, 0, 0, 0, 192, 0};
  EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);
  const TBlobDescriptor back = DecodeBlobDescriptor(bytes);
  EXPECT_EQ(back.position, 0x01020304);
  EXPECT_EQ(back.storedSize, 130);
  EXPECT_EQ(back.reservedSize, 192);
  EXPECT_EQ(ReservedBlobSize(0), 64);
  EXPECT_EQ(ReservedBlobSize(63), 64);
  EXPECT_EQ(ReservedBlobSize(64), 128);
  EXPECT_EQ(ReservedBlobSize(130), 192);
}

TEST(FileFormat, RecordLayoutOfEveryStorableTypeAndTheRest) {
  std::vector<TFieldEntry> fields;
  for (int code = 0; code <= kLastFieldType; ++code) {
    const std::vector<TFieldEntry> one = {Field("F", code, 7)};
    const std::optional<int> size = StoredFieldSize(code, 7);
    if (!size) {
      EXPECT_THROW(
          {
            try {
              ComputeRecordLayout(one, "db");
            } catch (const EDatabaseError& error) {
              EXPECT_STREQ(error.what(), "General error");
              throw;
            }
          },
          EDatabaseError)
          << code;
      continue;
    }
    EXPECT_EQ(ComputeRecordLayout(one, "db").recordSize, *size) << code;
    fields.push_back(one[0]);
  }
  const TRecordLayout layout = ComputeRecordLayout(fields, "db");
  int32_t offset = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(layout.fieldOffsets[i], offset);
    offset += layout.storedSizes[i];
  }
  EXPECT_EQ(layout.recordSize, offset);
  // Declared sizes of a damaged header neither go negative nor overflow.
  EXPECT_THROW(ComputeRecordLayout({Field("S", ftString, -5)}, "db"), EDatabaseError);
  EXPECT_THROW(
      ComputeRecordLayout({Field("S", ftString, INT32_MAX), Field("T", ftFixedChar, 5)}, "db"),
      EDatabaseError);
}

}  // namespace
}  // namespace tessdb
