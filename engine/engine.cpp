#include "engine/engine.h"

#include "engine/file_spec.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

#include <sys/stat.h>

namespace engine {

int16_t Client::Attach(const std::string& path, std::shared_ptr<DataFile>& file) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    auto found = files_.find({st.st_dev, st.st_ino});
    if (found != files_.end()) {
      if ((file = found->second.lock())) return status::Success;
      files_.erase(found);
    }
  }
  if (int16_t s = DataFile::Open(path, file)) return s;
  files_[{file->Device(), file->Inode()}] = file;
  return status::Success;
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

bool OpenTable::AnyOpen(dev_t device, ino_t inode) const {
  return std::any_of(slots_.begin(), slots_.end(), [&](const std::unique_ptr<OpenFile>& open) {
    return open && open->File->Device() == device && open->File->Inode() == inode;
  });
}

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
  std::erase(open->Owner->Opens, handle);
  Opens.Remove(handle);
}

void Engine::StopClient(Client& client) {
  for (uint32_t handle : std::vector<uint32_t>(client.Opens)) Close(handle);
  std::erase_if(clients_, [&](const auto& entry) { return entry.second.get() == &client; });
}

void Engine::StopAll() {
  while (!clients_.empty()) StopClient(*clients_.begin()->second);
  Started = false;
}

}  // namespace engine
