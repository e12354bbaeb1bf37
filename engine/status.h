// The record manager's calling vocabulary: operation codes, statuses, open
// and create modes, key flags and types, and the sizes of the buffers the
// caller owns. Shared by the engine and by the layers that call it through
// BTRCALL; plain constants, nothing of the engine's inside.
#pragma once

#include <cstdint>

namespace engine {

namespace op {
inline constexpr uint16_t Open = 0;
inline constexpr uint16_t Close = 1;
inline constexpr uint16_t Insert = 2;
inline constexpr uint16_t Update = 3;
inline constexpr uint16_t Delete = 4;
inline constexpr uint16_t GetEqual = 5;
inline constexpr uint16_t GetNext = 6;
inline constexpr uint16_t GetPrevious = 7;
inline constexpr uint16_t GetGreater = 8;
inline constexpr uint16_t GetGreaterOrEqual = 9;
inline constexpr uint16_t GetLessThan = 10;
inline constexpr uint16_t GetLessThanOrEqual = 11;
inline constexpr uint16_t GetFirst = 12;
inline constexpr uint16_t GetLast = 13;
inline constexpr uint16_t Create = 14;
inline constexpr uint16_t Stat = 15;
inline constexpr uint16_t SetDirectory = 17;
inline constexpr uint16_t GetDirectory = 18;
inline constexpr uint16_t BeginTransaction = 19;
inline constexpr uint16_t EndTransaction = 20;
inline constexpr uint16_t AbortTransaction = 21;
inline constexpr uint16_t GetPosition = 22;
inline constexpr uint16_t GetDirect = 23;
inline constexpr uint16_t StepNext = 24;
inline constexpr uint16_t Stop = 25;
inline constexpr uint16_t Unlock = 27;
inline constexpr uint16_t CreateSupplementalIndex = 31;
inline constexpr uint16_t DropSupplementalIndex = 32;
inline constexpr uint16_t StepFirst = 33;
inline constexpr uint16_t StepLast = 34;
inline constexpr uint16_t StepPrevious = 35;
inline constexpr uint16_t GetByPercentage = 44;
inline constexpr uint16_t FindPercentage = 45;
inline constexpr uint16_t GetEqualKeyOnly = 55;
inline constexpr uint16_t BeginConcurrentTransaction = 1019;
// Added to a Get, a Step or Get Direct: lock the record read, without waiting.
inline constexpr uint16_t SingleNoWaitLock = 200;
}  // namespace op

namespace status {
inline constexpr int16_t Success = 0;
inline constexpr int16_t InvalidOperation = 1;
inline constexpr int16_t IoError = 2;
inline constexpr int16_t FileNotOpen = 3;
inline constexpr int16_t KeyNotFound = 4;
inline constexpr int16_t DuplicateKey = 5;
inline constexpr int16_t InvalidKeyNumber = 6;
inline constexpr int16_t InvalidPositioning = 8;
inline constexpr int16_t EndOfFile = 9;
inline constexpr int16_t KeyNotModifiable = 10;
inline constexpr int16_t InvalidFileName = 11;
inline constexpr int16_t FileNotFound = 12;
inline constexpr int16_t InterfaceNotLoaded = 20;
inline constexpr int16_t KeyBufferTooShort = 21;
inline constexpr int16_t DataBufferTooShort = 22;
inline constexpr int16_t CreateError = 25;
inline constexpr int16_t InvalidNumberOfKeys = 26;
inline constexpr int16_t InvalidKeyPosition = 27;
inline constexpr int16_t InvalidRecordLength = 28;
inline constexpr int16_t InvalidKeyLength = 29;
inline constexpr int16_t NotRecordManagerFile = 30;
inline constexpr int16_t TransactionActive = 37;
inline constexpr int16_t NoTransaction = 39;
inline constexpr int16_t InvalidRecordAddress = 43;
inline constexpr int16_t ReadOnlyOpen = 46;
inline constexpr int16_t FileAlreadyExists = 59;
inline constexpr int16_t Conflict = 80;
inline constexpr int16_t RecordLocked = 84;
inline constexpr int16_t FileLocked = 85;
inline constexpr int16_t FileTableFull = 86;
inline constexpr int16_t AlreadyInitialized = 1016;
}  // namespace status

// Key number of Open.
namespace open_mode {
inline constexpr int8_t Normal = 0;
inline constexpr int8_t Accelerated = -1;
inline constexpr int8_t ReadOnly = -2;
inline constexpr int8_t Verify = -3;
inline constexpr int8_t Exclusive = -4;
}  // namespace open_mode

// Key number of Create.
namespace create_mode {
inline constexpr int8_t Replace = 0;
inline constexpr int8_t NoReplace = -1;
}  // namespace create_mode

namespace key_flag {
inline constexpr uint16_t Duplicates = 1;
inline constexpr uint16_t Modifiable = 2;
inline constexpr uint16_t Segmented = 16;
inline constexpr uint16_t AlternateCollating = 32;
inline constexpr uint16_t Descending = 64;
inline constexpr uint16_t ExtendedType = 256;
inline constexpr uint16_t CaseInsensitive = 0x400;
}  // namespace key_flag

namespace key_type {
inline constexpr uint8_t String = 0;
inline constexpr uint8_t Integer = 1;
inline constexpr uint8_t UnsignedBinary = 14;
inline constexpr uint8_t AutoIncrement = 15;
}  // namespace key_type

inline constexpr uint32_t PositionBlockSize = 128;
inline constexpr uint32_t MaxKeyBufferSize = 255;
inline constexpr uint32_t PhysicalPositionSize = 4;
inline constexpr uint32_t SpecHeaderSize = 16;
inline constexpr uint32_t SegmentSpecSize = 16;
inline constexpr uint32_t CollatingSequenceSize = 265;
inline constexpr uint32_t ClientIdSize = 16;

}  // namespace engine
