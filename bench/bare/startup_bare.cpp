// The floor bench_startup measures the program's headless start against: a
// program that does nothing. The benchmark starts it with the shared
// libraries the start maps preloaded, so the dynamic loader maps, relocates
// and initialises the same objects as for the start, and nothing else runs.
int main() { return 0; }
