// Placeholder until the theme tool lands.
int main() { return 0; }
