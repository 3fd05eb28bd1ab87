// Program entry. The game reads no command line.
#include "framework/app.h"

int main() { return WinMain(); }
