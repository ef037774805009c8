#include "core/random.h"

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

namespace {
std::mt19937& Generator()
{
    static std::mt19937 generator(static_cast<std::uint32_t>(std::time(nullptr)));
    return generator;
}
} // namespace

void SeedRandom(std::uint32_t seed) { Generator().seed(seed); }

void RandomizeFromEnvironmentOrClock()
{
    if (const char* text = std::getenv("AMBIENCE_SEED")) {
        char* end = nullptr;
        unsigned long long value = std::strtoull(text, &end, 10);
        if (end != text && *end == '\0') {
            SeedRandom(static_cast<std::uint32_t>(value));
            return;
        }
    }
    SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
}

int RandomBelow(int n)
{
    if (n <= 0)
        return 0;
    return static_cast<int>(Generator()() % static_cast<std::uint32_t>(n));
}
