// The instance bus datagram (platform/bus_datagram.h) on any bytes: a
// datagram that decodes encodes back to exactly its bytes; one that does
// not says why.
#include "fuzz/fuzz_support.h"
#include "platform/bus_datagram.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view datagram(reinterpret_cast<const char*>(bytes), size);
  std::string why;
  const std::optional<BusDatagram> message = DecodeBusDatagram(datagram, why);
  if (!message) {
    if (why.empty()) std::abort();
    return 0;
  }
  if (EncodeBusDatagram(*message) != datagram) std::abort();
  return 0;
}

FuzzSeedList FuzzSeeds() {
  return {{"refresh", EncodeBusDatagram(BusDatagram{4242, "MDRefreshTemplates", "Client e-mail"})},
          {"empty-text", EncodeBusDatagram(BusDatagram{1, "MDReady", ""})}};
}
