// TTessDBFileIO: the engine's file object. It opens and validates a database (a disk file or a
// registered in-memory stream), selects the compression and encryption algorithms the file names,
// checks the password, lists the tables, locks the file against writers of other processes, and
// offers the table level its raw read and write primitives and the data-processing calls.
//
// States: closed (no stream) and open. Open on an open object and Close on a closed one do
// nothing. A failed Open leaves the object closed.
//
// Safety: every count, position and length taken from the file is checked against the format's
// limits and against the file before it is used to read or to size a buffer; a violation raises
// EDatabaseError "Database file '<name>' is damaged". Nothing is ever read out of bounds.
//
// Thread safety: every compression and encryption call runs under the object's one critical
// section (the algorithm objects hold per-operation state); the rest runs on the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tessdb/core/stream.h"
#include "tessdb/processing/compress_mgr.h"
#include "tessdb/processing/encrypt_mgr.h"
#include "tessdb/storage/file_format.h"
#include "tessdb/storage/file_stream.h"

namespace tessdb {

enum TTessDBMediumType { mtDisk = 0, mtMemory = 1 };

constexpr int kDefaultLockRetryCount = 20;
constexpr int kDefaultLockWaitTime = 100;  // milliseconds
// The byte whose lock serialises the writers of all processes.
constexpr int64_t kWriteLockOffset = 1;

class TTessDBFileIO {
 public:
  TTessDBFileIO() = default;
  TTessDBFileIO(const TTessDBFileIO&) = delete;
  TTessDBFileIO& operator=(const TTessDBFileIO&) = delete;
  ~TTessDBFileIO() { Close(); }

  // Opens and validates the database, in this order, with these errors (EDatabaseError):
  //   mtDisk: file missing "Cannot open file <name>"; mtMemory: name not ":" + hex digits, or no
  //   stream registered under it, "Invalid database name '<name>'";
  //   magic not "TessDB" "Database file '<name>' is a invalid TessDB";
  //   version "1.00" "Version 1.00 is not compatible"; version above "2.0" "Version of database
  //   file is too High"; unknown algorithm names (from the managers); damaged fixed areas.
  // A disk file that cannot be opened (for example opened exclusively elsewhere) fails with the
  // stream's open error (EStreamError). A file with the read-only attribute opens for reading.
  void Open(const std::string& fileName, TTessDBMediumType mediumType, bool readOnly,
            bool exclusive);
  // Releases the stream: closes it for mtDisk, only forgets it for mtMemory.
  void Close();
  bool IsOpen() const { return stream_ != nullptr; }
  // mtDisk: the file stream's flushed flag; always true for mtMemory (and when closed).
  bool IsFlushed() const;
  // mtDisk: makes the system write the file's buffers to disk; nothing for mtMemory.
  void Flush();

  // False when closed; true for an unencrypted file whatever the text; otherwise true exactly
  // when the text's check text equals the file's, and then the cipher is keyed with it.
  bool SetPassword(const std::string& password);

  // Clears the list and adds the name of each table, in directory order.
  void GetTableNames(std::vector<std::string>& list);

  // Cross-process write lock on byte 1 (mtDisk only; nothing for mtMemory or when closed). A
  // refused request is retried after lockWaitTime ms; after more than lockRetryCount refusals it
  // fails with "Wait for unlock time out". lockRetryCount 0 waits forever; negative values
  // count as 0. A database opened for reading only holds the byte shared (the system grants no
  // exclusive lock through a read-only descriptor): readers then share it but still keep every
  // writer out. Pair every Lock with an Unlock on every path (TFileLockGuard does).
  void Lock(int lockRetryCount = kDefaultLockRetryCount, int lockWaitTime = kDefaultLockWaitTime);
  void Unlock();
  // Called, when set, after each refused lock request that will be retried, with the number of
  // refusals so far, before the pause (a program can show that it is waiting for another one).
  std::function<void(int refusals)> OnLockWait;

  // Reads or writes the header of table tableNo (0-based, below TableCount()). A header read is
  // also checked: field and index counts within the limits, record count not negative, key
  // fields naming existing fields.
  void ReadTableHeader(int tableNo, TTableHeaderBuffer& header);
  void WriteTableHeader(int tableNo, const TTableHeaderBuffer& header);

  // Reads exactly length bytes at an absolute position.
  void ReadRange(int64_t position, void* buffer, int64_t length);
  // Writes length bytes at an absolute position (the record-change level appends at FileSize()).
  void WriteRange(int64_t position, const void* buffer, int64_t length);
  int64_t FileSize();

  // Reads the record tab of a table header: its record count items, min(1024, left) from each
  // block of the chain, and the position of every block.
  void ReadRecordTab(const TTableHeaderBuffer& header, std::vector<TRecordTabItem>& items,
                     TIntegerAry& blockPositions);
  // The same for index indexNo's tab; an index whose tab position is 0 has no tab (both empty).
  void ReadIndexTab(const TTableHeaderBuffer& header, int indexNo,
                    std::vector<TIndexTabItem>& items, TIntegerAry& blockPositions);
  // Sets the deleted byte of the record-tab item at itemPosition to 1.
  void MarkRecordDeleted(int64_t itemPosition);

  // Reads one field's stored bytes at position and appends their decoded form to destination:
  // for a blob the 20-byte descriptor at position, then its stored size of bytes at its position;
  // otherwise storedSize bytes at position.
  void ReadFieldData(int64_t position, TStream& destination, bool compress, bool encrypt,
                     bool isBlob, int32_t storedSize);
  // ReadFieldData at the data position of the record-tab item at itemPosition + fieldOffset.
  void ReadFieldDataOfRecord(int64_t itemPosition, int32_t fieldOffset, TStream& destination,
                             bool compress, bool encrypt, bool isBlob, int32_t storedSize);

  // Stream values (blobs): encoding compresses first, then encrypts; decoding decrypts first,
  // then decompresses; neither flag copies. The whole source is taken from its start and the
  // result written at the destination's position. Source and destination may be the same
  // stream; it then ends up holding only the result.
  void EncodeData(TStream& source, TStream& destination, bool compress, bool encrypt);
  void DecodeData(TStream& source, TStream& destination, bool compress, bool encrypt);
  // Fixed-size values: the cipher's buffer operation, or a copy without encrypt. Never compressed.
  void EncodeBuffer(const uint8_t* source, uint8_t* destination, bool encrypt, int64_t length);
  void DecodeBuffer(const uint8_t* source, uint8_t* destination, bool encrypt, int64_t length);

  const std::string& FileName() const { return fileName_; }
  TTessDBMediumType MediumType() const { return mediumType_; }
  bool Exclusive() const { return exclusive_; }
  // The read-only flag the caller asked for.
  bool ReadOnly() const { return readOnly_; }
  // The disk file carries the read-only attribute.
  bool FileIsReadOnly() const { return fileIsReadOnly_; }
  // The version text of the file header.
  const std::string& Version() const { return version_; }

  const TProcessingBlock& ProcessingBlock() const { return processing_; }
  bool Compressed() const { return processing_.compressed; }
  bool Encrypted() const { return processing_.encrypted; }
  bool VerifyWrites() const { return processing_.verifyWrites; }
  int TableCount() const { return tableCount_; }

  // The managers, for the database to connect its progress events (kept across Open and Close).
  TCompressMgr& CompressMgr() { return *compressMgr_; }
  TEncryptMgr& EncryptMgr() { return *encryptMgr_; }

 private:
  void OpenDisk(const std::string& fileName, bool readOnly, bool exclusive);
  void OpenMemory(const std::string& fileName);
  void CheckFileHeader(const uint8_t* header, const std::string& fileName);
  void ResetManagers();
  void SetupProcessing();
  int64_t TableHeaderPosition(int tableNo);
  void CheckRange(int64_t position, int64_t length);
  [[noreturn]] void Damaged() const;
  TStream& Stream();

  template <typename Item>
  void ReadTab(int64_t firstBlock, int32_t count, int itemSize, std::vector<Item>& items,
               TIntegerAry& blockPositions);

  std::unique_ptr<TTessDBFileStream> fileStream_;  // owned stream of an mtDisk database
  TStream* stream_ = nullptr;  // the database stream: fileStream_ or a borrowed memory stream
  TTessDBMediumType mediumType_ = mtDisk;
  bool exclusive_ = false;
  bool readOnly_ = false;
  bool fileIsReadOnly_ = false;
  std::string fileName_;
  std::string version_;
  TProcessingBlockBuffer processingBlock_{};
  TProcessingBlock processing_;
  TDirectoryBuffer directory_{};
  int tableCount_ = 0;
  // Made afresh by every Open (keeping their progress events), so no algorithm object or key of
  // a file opened before carries over to the next one.
  std::unique_ptr<TCompressMgr> compressMgr_ = std::make_unique<TCompressMgr>();
  std::unique_ptr<TEncryptMgr> encryptMgr_ = std::make_unique<TEncryptMgr>();
  std::mutex processingMutex_;
};

// Holds the file lock for a scope.
class TFileLockGuard {
 public:
  explicit TFileLockGuard(TTessDBFileIO& fileIO, int lockRetryCount = kDefaultLockRetryCount,
                          int lockWaitTime = kDefaultLockWaitTime)
      : fileIO_(fileIO) {
    fileIO_.Lock(lockRetryCount, lockWaitTime);
  }
  ~TFileLockGuard() { fileIO_.Unlock(); }
  TFileLockGuard(const TFileLockGuard&) = delete;
  TFileLockGuard& operator=(const TFileLockGuard&) = delete;

 private:
  TTessDBFileIO& fileIO_;
};

}  // namespace tessdb
