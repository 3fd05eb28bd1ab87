// Program entry. The game reads no command line.
#include "app/app.h"

int main() { return WinMain(); }
