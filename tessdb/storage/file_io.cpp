#include "tessdb/storage/file_io.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/file_system.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/core/field_type.h"
#include "tessdb/processing/password_check.h"
#include "tessdb/storage/memory_databases.h"

namespace tessdb {

void TTessDBFileIO::Open(const std::string& fileName, TTessDBMediumType mediumType, bool readOnly,
                         bool exclusive) {
  if (IsOpen()) return;
  try {
    if (mediumType == mtMemory) {
      OpenMemory(fileName);
    } else {
      OpenDisk(fileName, readOnly, exclusive);
    }
    mediumType_ = mediumType;
    readOnly_ = readOnly;
    exclusive_ = exclusive;
    fileName_ = fileName;
    ResetManagers();
    SetupProcessing();
  } catch (...) {
    Close();
    throw;
  }
}

void TTessDBFileIO::OpenDisk(const std::string& fileName, bool readOnly, bool exclusive) {
  if (!platform::FileExists(fileName)) {
    throw EDatabaseError(FormatMessage("Cannot open file %s", fileName));
  }
  {
    // The header is read through a shared open of its own, closed again before the real open.
    TTessDBFileStream probe(fileName, /*readOnly=*/true, /*exclusive=*/false);
    uint8_t header[kFileHeaderSize] = {};
    probe.ReadAt(0, header, kFileHeaderSize);
    CheckFileHeader(header, fileName);
  }
  try {
    fileIsReadOnly_ = platform::IsReadOnlyFile(fileName);
  } catch (const platform::FileError& error) {  // the file vanished since the header was read
    throw EStreamError("Cannot open file \"" + fileName + "\". " + error.what());
  }
  fileStream_ =
      std::make_unique<TTessDBFileStream>(fileName, readOnly || fileIsReadOnly_, exclusive);
  stream_ = fileStream_.get();
}

void TTessDBFileIO::OpenMemory(const std::string& fileName) {
  TStream* stream = FindMemoryDatabase(fileName);
  if (stream == nullptr)
    throw EDatabaseError(FormatMessage("Invalid database name '%s'", fileName));
  uint8_t header[kFileHeaderSize] = {};
  stream->SetPosition(0);
  stream->Read(header, kFileHeaderSize);  // a short stream leaves zeros: an invalid magic
  CheckFileHeader(header, fileName);
  fileIsReadOnly_ = false;
  stream_ = stream;
}

void TTessDBFileIO::CheckFileHeader(const uint8_t* header, const std::string& fileName) {
  if (GetText(header, kMagicSize) != kMagic) {
    throw EDatabaseError(FormatMessage("Database file '%s' is a invalid TessDB", fileName));
  }
  version_ = GetText(header + kVersionOffset, kVersionSize);
  if (version_ == kIncompatibleVersion) throw EDatabaseError("Version 1.00 is not compatible");
  // Byte-wise comparison; a prefix compares smaller, so "2" is accepted and "2.0.1" is not.
  if (version_.compare(kCurrentVersion) > 0) {
    throw EDatabaseError("Version of database file is too High");
  }
}

void TTessDBFileIO::ResetManagers() {
  auto compress = std::make_unique<TCompressMgr>();
  compress->OnEncodeProgress = compressMgr_->OnEncodeProgress;
  compress->OnDecodeProgress = compressMgr_->OnDecodeProgress;
  auto encrypt = std::make_unique<TEncryptMgr>();
  encrypt->OnEncodeProgress = encryptMgr_->OnEncodeProgress;
  encrypt->OnDecodeProgress = encryptMgr_->OnDecodeProgress;
  compressMgr_ = std::move(compress);
  encryptMgr_ = std::move(encrypt);
}

void TTessDBFileIO::SetupProcessing() {
  ReadRange(kProcessingBlockOffset, processingBlock_.data(), kProcessingBlockSize);
  processing_ = DecodeProcessingBlock(processingBlock_);
  if (processing_.compressed) compressMgr_->SetAlgoName(processing_.compression);
  if (processing_.encrypted) {
    encryptMgr_->SetAlgoName(processing_.cipher);
    encryptMgr_->SetMode(processing_.mode);
  }
  ReadRange(kDirectoryOffset, directory_.data(), kDirectorySize);
  const int32_t count = GetInt32(&directory_[kDirTableCount]);
  if (count < 0 || count > kMaxTables) Damaged();
  tableCount_ = count;
}

void TTessDBFileIO::Close() {
  stream_ = nullptr;
  fileStream_.reset();
  tableCount_ = 0;
}

bool TTessDBFileIO::IsFlushed() const {
  return mediumType_ != mtDisk || !fileStream_ || fileStream_->IsFlushed();
}

void TTessDBFileIO::Flush() {
  if (mediumType_ == mtDisk && fileStream_) fileStream_->Flush();
}

bool TTessDBFileIO::SetPassword(const std::string& password) {
  if (!IsOpen()) return false;
  if (!processing_.encrypted) return true;
  if (PasswordCheckText(password) != processing_.checkText) return false;
  std::lock_guard<std::mutex> guard(processingMutex_);
  encryptMgr_->InitKey(password);
  return true;
}

void TTessDBFileIO::GetTableNames(std::vector<std::string>& list) {
  list.clear();
  TTableHeaderBuffer header;
  for (int i = 0; i < tableCount_; ++i) {
    ReadTableHeader(i, header);
    list.push_back(GetText(&header[kThName], kNameSize));
  }
}

void TTessDBFileIO::Lock(int lockRetryCount, int lockWaitTime) {
  if (mediumType_ != mtDisk || !fileStream_) return;
  lockRetryCount = std::max(lockRetryCount, 0);
  int failures = 0;
  while (!fileStream_->TryLockByte(kWriteLockOffset)) {
    ++failures;
    if (lockRetryCount > 0 && failures > lockRetryCount) {
      throw EDatabaseError("Wait for unlock time out");
    }
    if (OnLockWait) OnLockWait(failures);
    platform::SleepMilliseconds(lockWaitTime);
  }
}

void TTessDBFileIO::Unlock() {
  if (mediumType_ != mtDisk || !fileStream_) return;
  try {
    fileStream_->UnlockByte(kWriteLockOffset);
  } catch (const std::exception&) {
    // Releasing cannot meaningfully fail; closing the file releases the lock in any case.
  }
}

int64_t TTessDBFileIO::TableHeaderPosition(int tableNo) {
  if (tableNo < 0 || tableNo >= tableCount_) {
    throw EDatabaseError(
        FormatMessage("Table number out of range in database file '%s'", fileName_));
  }
  const int64_t position = GetInt32(&directory_[kDirPositions + 4 * tableNo]);
  if (position < kFirstAreaOffset) Damaged();
  return position;
}

void TTessDBFileIO::ReadTableHeader(int tableNo, TTableHeaderBuffer& header) {
  ReadRange(TableHeaderPosition(tableNo), header.data(), kTableHeaderSize);
  if (!TableHeaderDefect(DecodeTableHeader(header)).empty()) Damaged();
}

void TTessDBFileIO::WriteTableHeader(int tableNo, const TTableHeaderBuffer& header) {
  WriteRange(TableHeaderPosition(tableNo), header.data(), kTableHeaderSize);
}

void TTessDBFileIO::CheckRange(int64_t position, int64_t length) {
  if (position < 0 || length < 0 || length > FileSize() - position) Damaged();
}

void TTessDBFileIO::ReadRange(int64_t position, void* buffer, int64_t length) {
  if (position < 0 || length < 0) Damaged();
  if (length == 0) return;
  int64_t read;
  if (fileStream_) {
    read = fileStream_->ReadAt(position, buffer, length);
  } else {
    TStream& stream = Stream();
    if (stream.Seek(position, TSeekOrigin::soBeginning) != position) Damaged();
    read = stream.Read(buffer, length);
  }
  if (read != length) Damaged();
}

void TTessDBFileIO::WriteRange(int64_t position, const void* buffer, int64_t length) {
  TStream& stream = Stream();
  if (position < 0 || length < 0) Damaged();
  stream.SetPosition(position);
  stream.WriteBuffer(buffer, length);
}

int64_t TTessDBFileIO::FileSize() {
  return Stream().Size();
}

template <typename Item>
void TTessDBFileIO::ReadTab(int64_t firstBlock, int32_t count, int itemSize,
                            std::vector<Item>& items, TIntegerAry& blockPositions) {
  items.clear();
  blockPositions.clear();
  if (count < 0) Damaged();
  if (count == 0) return;
  // Every block of a sound chain is a distinct area of the file, so the count cannot ask for more
  // blocks than the file holds; checking this first bounds the memory the item arrays take.
  const int64_t blockSize = kTabNextSize + int64_t{itemSize} * kTabItemsPerBlock;
  const int64_t blocks = TabBlockCount(count);
  if (blocks > FileSize() / blockSize) Damaged();
  items.resize(static_cast<size_t>(count));
  blockPositions.reserve(static_cast<size_t>(blocks));
  std::vector<uint8_t> block(static_cast<size_t>(blockSize));
  int64_t position = firstBlock;
  int32_t done = 0;
  while (done < count) {
    if (position < kFirstAreaOffset) Damaged();
    const int32_t take = std::min(kTabItemsPerBlock, count - done);
    ReadRange(position, block.data(), kTabNextSize + int64_t{take} * itemSize);
    blockPositions.push_back(static_cast<int32_t>(position));
    const uint8_t* item = block.data() + kTabNextSize;
    for (int32_t i = 0; i < take; ++i, item += itemSize) {
      if constexpr (std::is_same_v<Item, TRecordTabItem>) {
        items[static_cast<size_t>(done + i)] = DecodeRecordTabItem(item);
      } else {
        items[static_cast<size_t>(done + i)] = DecodeIndexTabItem(item);
      }
    }
    done += take;
    position = GetInt32(block.data());
  }
}

void TTessDBFileIO::ReadRecordTab(const TTableHeaderBuffer& header,
                                  std::vector<TRecordTabItem>& items, TIntegerAry& blockPositions) {
  ReadTab(GetInt32(&header[kThRecordTabPosition]), GetInt32(&header[kThRecordCount]),
          kRecordTabItemSize, items, blockPositions);
}

void TTessDBFileIO::ReadIndexTab(const TTableHeaderBuffer& header, int indexNo,
                                 std::vector<TIndexTabItem>& items, TIntegerAry& blockPositions) {
  const int32_t indexCount = GetInt32(&header[kThIndexCount]);
  if (indexNo < 0 || indexNo >= std::clamp(indexCount, 0, kMaxIndexes)) Damaged();
  const int32_t tabPosition =
      GetInt32(&header[kThIndexes + indexNo * kIndexEntrySize + kIeTabPosition]);
  if (tabPosition == 0) {
    items.clear();
    blockPositions.clear();
    return;
  }
  ReadTab(tabPosition, GetInt32(&header[kThRecordCount]), kIndexTabItemSize, items, blockPositions);
}

void TTessDBFileIO::MarkRecordDeleted(int64_t itemPosition) {
  CheckRange(itemPosition, kRecordTabItemSize);
  const uint8_t deleted = 1;
  WriteRange(itemPosition + 4, &deleted, 1);
}

void TTessDBFileIO::ReadFieldData(int64_t position, TStream& destination, bool compress,
                                  bool encrypt, bool isBlob, int32_t storedSize) {
  int64_t dataPosition = position;
  int64_t dataSize = storedSize;
  if (isBlob) {
    uint8_t descriptor[kBlobDescriptorSize];
    ReadRange(position, descriptor, kBlobDescriptorSize);
    const TBlobDescriptor blob = DecodeBlobDescriptor(descriptor);
    dataPosition = blob.position;
    dataSize = blob.storedSize;
    if (dataSize == 0) dataPosition = 0;  // an empty blob may point anywhere
  }
  CheckRange(dataPosition, dataSize);
  // Unprocessed bytes into a memory stream (the search path's case) go straight to their place.
  auto* memory = dynamic_cast<TMemoryStream*>(&destination);
  if (!compress && !encrypt && memory != nullptr) {
    const int64_t at = memory->Position();
    memory->SetSize(std::max(memory->Size(), at + dataSize));
    ReadRange(dataPosition, memory->Memory() + at, dataSize);
    memory->SetPosition(at + dataSize);
    return;
  }
  TMemoryStream stored;
  stored.SetSize(dataSize);
  ReadRange(dataPosition, stored.Memory(), dataSize);
  DecodeData(stored, destination, compress, encrypt);
}

void TTessDBFileIO::ReadFieldDataOfRecord(int64_t itemPosition, int32_t fieldOffset,
                                          TStream& destination, bool compress, bool encrypt,
                                          bool isBlob, int32_t storedSize) {
  uint8_t item[4];
  ReadRange(itemPosition, item, sizeof item);
  ReadFieldData(int64_t{GetInt32(item)} + fieldOffset, destination, compress, encrypt, isBlob,
                storedSize);
}

void TTessDBFileIO::EncodeData(TStream& source, TStream& destination, bool compress, bool encrypt) {
  std::lock_guard<std::mutex> guard(processingMutex_);
  if (!compress && !encrypt) {
    if (&source != &destination) destination.CopyFrom(source, 0);
    return;
  }
  TMemoryStream copy;
  TStream* input = &source;
  if (&source == &destination) {
    copy.CopyFrom(source, 0);
    destination.SetSize(0);
    destination.SetPosition(0);
    input = &copy;
  }
  input->SetPosition(0);
  if (compress && encrypt) {
    TMemoryStream compressed;
    compressMgr_->EncodeStream(*input, compressed, -1);
    encryptMgr_->EncodeStream(compressed, destination, -1);
  } else if (compress) {
    compressMgr_->EncodeStream(*input, destination, -1);
  } else {
    encryptMgr_->EncodeStream(*input, destination, -1);
  }
}

void TTessDBFileIO::DecodeData(TStream& source, TStream& destination, bool compress, bool encrypt) {
  std::lock_guard<std::mutex> guard(processingMutex_);
  if (!compress && !encrypt) {
    if (&source != &destination) destination.CopyFrom(source, 0);
    return;
  }
  TMemoryStream copy;
  TStream* input = &source;
  if (&source == &destination) {
    copy.CopyFrom(source, 0);
    destination.SetSize(0);
    destination.SetPosition(0);
    input = &copy;
  }
  input->SetPosition(0);
  if (compress && encrypt) {
    TMemoryStream decrypted;
    encryptMgr_->DecodeStream(*input, decrypted, -1);
    compressMgr_->DecodeStream(decrypted, destination, -1);
  } else if (encrypt) {
    encryptMgr_->DecodeStream(*input, destination, -1);
  } else {
    compressMgr_->DecodeStream(*input, destination, -1);
  }
}

void TTessDBFileIO::EncodeBuffer(const uint8_t* source, uint8_t* destination, bool encrypt,
                                 int64_t length) {
  if (!encrypt) {
    if (source != destination && length > 0) std::memmove(destination, source, length);
    return;
  }
  std::lock_guard<std::mutex> guard(processingMutex_);
  encryptMgr_->EncodeBuffer(source, destination, length);
}

void TTessDBFileIO::DecodeBuffer(const uint8_t* source, uint8_t* destination, bool encrypt,
                                 int64_t length) {
  if (!encrypt) {
    if (source != destination && length > 0) std::memmove(destination, source, length);
    return;
  }
  std::lock_guard<std::mutex> guard(processingMutex_);
  encryptMgr_->DecodeBuffer(source, destination, length);
}

TStream& TTessDBFileIO::Stream() {
  if (stream_ == nullptr) {
    throw EDatabaseError("Cannot perform this operation on a closed database");
  }
  return *stream_;
}

void TTessDBFileIO::Damaged() const {
  throw EDatabaseError(DamagedFileMessage(fileName_));
}

}  // namespace tessdb
