#include <cstdio>

int main() {
    std::printf("vezizo %s\n", VEZIZO_VERSION);
    return 0;
}
