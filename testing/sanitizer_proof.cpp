// Registered to fail: it passes only while AddressSanitizer catches this overflow.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char**) {
  char* block = static_cast<char*>(std::malloc(8));
  std::memset(block, 'x', 8 + static_cast<std::size_t>(argc));  // one byte past the end
  std::printf("%c\n", block[8]);
  std::free(block);
  return 0;
}
