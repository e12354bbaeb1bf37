// The record manager's interface library, loaded at run time so that the
// program starts where the engine is missing and reports it at the first
// open. The library exports four entry points with the classic calling form;
// everything above calls the engine through BTRCALL and BTRCALLID below,
// which go through the addresses resolved here.
//
// One binding serves every user in the process (the numbered-file layer,
// file creation, the dataset library's sessions). Each LoadBtrieveDll that
// the engine answers 0 or 1016 takes a reference; each UnloadBtrieveDll
// gives one back, and only the last one stops the engine and closes the
// library, so no user can pull the engine from under another's open files.
// Each user unloads only what it loaded.
#pragma once

#include <cstdint>
#include <string>

// Operation codes. Adding SingleNoWaitLock to a Get, a Step or Get Direct
// asks for a single-record lock that fails at once when another holds it.
namespace BtrOp {
constexpr uint16_t Open = 0;
constexpr uint16_t Close = 1;
constexpr uint16_t Insert = 2;
constexpr uint16_t Update = 3;
constexpr uint16_t Delete = 4;
constexpr uint16_t GetEqual = 5;
constexpr uint16_t GetNext = 6;
constexpr uint16_t GetPrevious = 7;
constexpr uint16_t GetGreater = 8;
constexpr uint16_t GetGreaterOrEqual = 9;
constexpr uint16_t GetLessThan = 10;
constexpr uint16_t GetLessThanOrEqual = 11;
constexpr uint16_t GetFirst = 12;
constexpr uint16_t GetLast = 13;
constexpr uint16_t Create = 14;
constexpr uint16_t Stat = 15;
constexpr uint16_t SetDirectory = 17;
constexpr uint16_t GetDirectory = 18;
constexpr uint16_t BeginTransaction = 19;
constexpr uint16_t BeginConcurrentTransaction = 1019;
constexpr uint16_t EndTransaction = 20;
constexpr uint16_t AbortTransaction = 21;
constexpr uint16_t GetPosition = 22;
constexpr uint16_t GetDirect = 23;
constexpr uint16_t StepNext = 24;
constexpr uint16_t Stop = 25;
constexpr uint16_t Unlock = 27;
constexpr uint16_t CreateSupplementalIndex = 31;
constexpr uint16_t DropSupplementalIndex = 32;
constexpr uint16_t StepFirst = 33;
constexpr uint16_t StepLast = 34;
constexpr uint16_t StepPrevious = 35;
constexpr uint16_t GetByPercentage = 44;
constexpr uint16_t FindPercentage = 45;
constexpr uint16_t GetEqualKeyOnly = 55;
constexpr uint16_t SingleNoWaitLock = 200;
}  // namespace BtrOp

// Statuses this layer and its callers act on by number.
namespace BtrStatus {
constexpr int16_t Success = 0;
constexpr int16_t FileNotOpen = 3;
constexpr int16_t KeyNotFound = 4;
constexpr int16_t DuplicateKey = 5;
constexpr int16_t InvalidKeyNumber = 6;
constexpr int16_t EndOfFile = 9;
constexpr int16_t FileNotFound = 12;
// The interface is not loaded (no library, a broken one, or not started).
constexpr int16_t NotLoaded = 20;
constexpr int16_t DataBufferTooShort = 22;
constexpr int16_t InvalidKeyPath = 44;
constexpr int16_t FileAlreadyExists = 59;
constexpr int16_t Conflict = 80;
constexpr int16_t RecordLocked = 84;
constexpr int16_t FileLocked = 85;
// WBTRVINIT on an engine that is already running; counts as loaded.
constexpr int16_t AlreadyStarted = 1016;
}  // namespace BtrStatus

// The entry points as the library exports them (C linkage).
using TBtrCall = int16_t (*)(uint16_t Op, void* PosBlock, void* DataBuf, uint32_t* DataLen,
                             void* KeyBuf, uint8_t KeyLen, int8_t KeyNum);
using TBtrCallId = int16_t (*)(uint16_t Op, void* PosBlock, void* DataBuf, uint32_t* DataLen,
                               void* KeyBuf, uint8_t KeyLen, int8_t KeyNum, const uint8_t* ClientId);
using TWbtrvInit = int16_t (*)(const char* InitString);
using TWbtrvStop = int16_t (*)();

// Routes the platform's copies, renames and deletes of record-manager files
// through the record manager (btrieve/record_files.h), loads the library
// when needed, then starts the engine with InitString and
// returns WBTRVINIT's status (0, or 1016 when already started, both mean
// loaded and take a reference). Status 20 when the library cannot be loaded
// or lacks an entry point; nothing stays loaded then, and the next call
// tries again. A start that fails while nobody holds a reference closes the
// library again. While loaded, DllName is not looked at.
int16_t LoadBtrieveDll(const std::string& InitString, const std::string& DllName);

// Gives back one reference: 0 while others remain; the last one stops the
// engine, closes the library and returns WBTRVSTOP's status. 0 when nothing
// is loaded.
int16_t UnloadBtrieveDll();

bool BtrieveDllLoaded();

// The file a library name stands for, in the program folder: the name up to
// its first zero byte ("wbtrv32.dll" when empty), without any folder part,
// lower-cased, with a trailing ".dll" dropped, as "lib<name>.so".
// "C:\BTI\WBTRV32.DLL" -> "libwbtrv32.so".
std::string BtrieveLibraryFile(const std::string& DllName);

// The engine calls. Status 20 while the library is not loaded. A call holds
// the binding shared, so the library cannot be closed under it.
int16_t BTRCALL(uint16_t Op, void* PosBlock, void* DataBuf, uint32_t* DataLen, void* KeyBuf,
                uint8_t KeyLen, int8_t KeyNum);
int16_t BTRCALLID(uint16_t Op, void* PosBlock, void* DataBuf, uint32_t* DataLen, void* KeyBuf,
                  uint8_t KeyLen, int8_t KeyNum, const uint8_t* ClientId);
