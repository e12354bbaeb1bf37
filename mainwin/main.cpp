// The program's entry point. Until the start-up is built it only says what it is.
#include <cstdio>

#ifndef MD_VERSION
#define MD_VERSION "0"
#endif

int main() {
  std::printf("Corvenstead Matterdesk %s\n", MD_VERSION);
  return 0;
}
