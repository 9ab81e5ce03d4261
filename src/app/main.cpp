// Placeholder until the saver window lands.
int main() { return 0; }
