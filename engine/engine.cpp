#include "engine/engine.h"

#include "engine/file_spec.h"
#include "engine/recovery.h"
#include "engine/transaction.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>

#include <sys/stat.h>

namespace engine {

bool ClientFile::Acquire(uint32_t position) {
  auto [held, first] = Held.try_emplace(position, 0);
  if (first && !Locks->LockRecord(position)) {
    Held.erase(held);
    return false;
  }
  ++held->second;
  return true;
}

void ClientFile::Release(uint32_t position) {
  auto held = Held.find(position);
  if (held == Held.end()) return;
  if (--held->second == 0) {
    Locks->UnlockRecord(position);
    Held.erase(held);
  }
}

bool ClientFile::ShareForWrite(uint32_t position) {
  return Held.contains(position) || Locks->ShareRecord(position);
}

void ClientFile::EndWrite(uint32_t position) {
  if (!Held.contains(position)) Locks->UnlockRecord(position);
}

bool ClientFile::SyncOpenLock() {
  return Locks->HoldOpen(ExclusiveOpens > 0 ? Sidecar::Hold::Exclusive
                         : InUse()          ? Sidecar::Hold::Shared
                                            : Sidecar::Hold::None);
}

Client::Client() = default;

// The transaction goes first (its views use the files' connections' specs
// and its locks the files' sidecars), rolled back by closing it.
Client::~Client() { tx_.reset(); }

int16_t Client::OpenFile(const std::string& path, int8_t mode, ClientFile*& out) {
  const int exclusive = mode == open_mode::Exclusive ? 1 : 0;
  struct stat st;
  if (int16_t s = StatDataPath(path, st)) return s;

  auto found = files_.find({st.st_dev, st.st_ino});
  if (found != files_.end()) {
    ClientFile& file = *found->second;
    ++file.Opens;
    file.ExclusiveOpens += exclusive;
    if (!file.SyncOpenLock()) {
      --file.Opens;
      file.ExclusiveOpens -= exclusive;
      return status::FileLocked;
    }
    out = &file;
    return status::Success;
  }

  // The open lock comes before SQLite opens the file, so nothing reads it
  // while another client holds it exclusively or renames it.
  auto file = std::make_unique<ClientFile>();
  file->Path = path;
  if (int16_t s = Sidecar::Claim(path, exclusive ? Sidecar::Hold::Exclusive : Sidecar::Hold::Shared, file->Locks))
    return s;
  file->Opens = 1;
  file->ExclusiveOpens = exclusive;
  if (int16_t s = DataFile::Open(path, file->Own)) {
    // No lock file stays beside what is not one of ours.
    if (file->Locks->Created()) file->Locks->Remove();
    return s;
  }
  if (file->Own->Device() != st.st_dev || file->Own->Inode() != st.st_ino) return status::FileLocked;
  // What killed clients left beside the file goes while nobody has it open.
  if (HasLeftovers(path) && file->Locks->HoldOpen(Sidecar::Hold::Exclusive)) {
    SweepLeftovers(path);
    file->SyncOpenLock();
  }
  out = file.get();
  files_[{st.st_dev, st.st_ino}] = std::move(file);
  return status::Success;
}

void Client::CloseFile(ClientFile& file, int8_t mode) {
  --file.Opens;
  if (mode == open_mode::Exclusive) --file.ExclusiveOpens;
  if (file.InUse())
    file.SyncOpenLock();
  else
    Forget(file);
}

void Client::Forget(ClientFile& file) { files_.erase({file.Own->Device(), file.Own->Inode()}); }

int16_t Client::WriteStore(ClientFile& file, DataFile*& store) {
  if (!tx_) {
    store = file.Own.get();
    return status::Success;
  }
  if (tx_->Lost()) return status::IoError;
  return tx_->Join(file, store);
}

void Client::KeepWritten(ClientFile& file, uint32_t position) {
  if (tx_) tx_->Hold(file, position);
}

int16_t Client::Begin() {
  if (tx_) return status::TransactionActive;
  tx_ = std::make_unique<Transaction>();
  return status::Success;
}

int16_t Client::End() {
  if (!tx_) return status::NoTransaction;
  const int16_t s = tx_->Commit();
  if (s != status::Success && tx_->Open()) return s;
  FinishTransaction();
  return s;
}

int16_t Client::Abort() {
  if (!tx_) return status::NoTransaction;
  tx_->Rollback();
  FinishTransaction();
  return status::Success;
}

// Once committed or rolled back: the views go, the records the transaction
// kept locked are released, and files held only for it are let go.
void Client::FinishTransaction() {
  std::unique_ptr<Transaction> tx = std::move(tx_);
  const std::vector<ClientFile*> joined = tx->Joined();
  for (ClientFile* file : joined) file->Written = nullptr;
  for (const auto& [file, position] : tx->Kept()) file->Release(position);
  tx.reset();
  for (ClientFile* file : joined) {
    if (!file->InUse()) Forget(*file);
  }
}

OpenTable::OpenTable() {
  std::random_device random;
  salt_ = (uint64_t(random()) << 32) ^ random() ^
          uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

uint32_t OpenTable::CheckWord(uint64_t serial, uint32_t handle) const {
  uint64_t x = (serial ^ salt_) * 0x9E3779B97F4A7C15ull + handle;
  x ^= x >> 29;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 32;
  return uint32_t(x);
}

OpenFile* OpenTable::Find(const uint8_t* posBlock, const Client* client) {
  if (!posBlock) return nullptr;
  uint64_t serial = 0;
  for (int i = 7; i >= 0; --i) serial = (serial << 8) | posBlock[i];
  const uint32_t handle = DecodeFixed32(posBlock + 8);
  if (DecodeFixed32(posBlock + 12) != CheckWord(serial, handle)) return nullptr;
  OpenFile* open = At(handle);
  if (!open || open->Serial != serial || open->Owner != client) return nullptr;
  return open;
}

OpenFile* OpenTable::At(uint32_t handle) { return handle < slots_.size() ? slots_[handle].get() : nullptr; }

uint32_t OpenTable::Add(std::unique_ptr<OpenFile> open, uint8_t* posBlock) {
  open->Serial = nextSerial_++;
  uint32_t handle;
  if (!free_.empty()) {
    handle = free_.back();
    free_.pop_back();
  } else {
    handle = uint32_t(slots_.size());
    slots_.emplace_back();
  }
  for (int i = 0; i < 8; ++i) posBlock[i] = uint8_t(open->Serial >> (8 * i));
  EncodeFixed32(posBlock + 8, handle);
  EncodeFixed32(posBlock + 12, CheckWord(open->Serial, handle));
  slots_[handle] = std::move(open);
  return handle;
}

void OpenTable::Remove(uint32_t handle) {
  if (handle >= slots_.size() || !slots_[handle]) return;
  slots_[handle].reset();
  free_.push_back(handle);
}

Engine::Engine() { RecoveryVfs(); }

Client& Engine::ClientFor(const uint8_t* clientId) {
  std::array<uint8_t, ClientIdSize + 1> key{};
  if (clientId) {
    key[0] = 1;
    std::memcpy(key.data() + 1, clientId, ClientIdSize);
  }
  std::unique_ptr<Client>& client = clients_[key];
  if (!client) client = std::make_unique<Client>();
  return *client;
}

void Engine::Close(uint32_t handle) {
  OpenFile* open = Opens.At(handle);
  if (!open) return;
  Client& client = *open->Owner;
  ClientFile& file = *open->File;
  const int8_t mode = open->Mode;
  if (open->Locked) file.Release(open->Locked);
  std::erase(client.Opens, handle);
  Opens.Remove(handle);
  client.CloseFile(file, mode);
}

void Engine::StopClient(Client& client) {
  client.Abort();
  for (uint32_t handle : std::vector<uint32_t>(client.Opens)) Close(handle);
  std::erase_if(clients_, [&](const auto& entry) { return entry.second.get() == &client; });
}

void Engine::StopAll() {
  while (!clients_.empty()) StopClient(*clients_.begin()->second);
  Started = false;
}

}  // namespace engine
