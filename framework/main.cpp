// Program entry. The game reads no command line.
int main() { return 0; }
