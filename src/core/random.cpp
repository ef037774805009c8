#include "core/random.h"

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

struct RandomStream::State {
    std::mt19937 generator;
};

namespace {
thread_local RandomStream::State* streamOfThread = nullptr;

std::mt19937& Generator()
{
    if (streamOfThread)
        return streamOfThread->generator;
    static std::mt19937 generator(static_cast<std::uint32_t>(std::time(nullptr)));
    return generator;
}
} // namespace

RandomStream::RandomStream(std::uint32_t seed) : state_(new State {std::mt19937(seed)}), previous_(streamOfThread)
{
    streamOfThread = state_;
}

RandomStream::~RandomStream()
{
    streamOfThread = previous_;
    delete state_;
}

std::uint32_t RandomSeed()
{
    return static_cast<std::uint32_t>(Generator()());
}

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
