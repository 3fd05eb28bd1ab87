// The data generator: writes every file of base/ deterministically from code.
// Usage: zarnok_gen <base folder>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <base folder>\n", argv[0]);
    return 2;
  }
  return 0;
}
