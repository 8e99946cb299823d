// Placeholder entry point until the start-up sequence lands.
int main() { return 0; }
