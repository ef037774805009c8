#pragma once
// The one process-wide pseudo-random generator. Every random choice of the program
// draws from it, so a forced seed makes whole compositions reproducible.
#include <cstdint>

// Seeds from AMBIENCE_SEED when that holds a number, else from the clock in seconds.
void RandomizeFromEnvironmentOrClock();
void SeedRandom(std::uint32_t seed);
// Uniform integer 0..n-1 (the generator's next value modulo n); 0 for n <= 0.
int RandomBelow(int n);

// While one lives, RandomBelow on its thread draws from a generator of its own,
// seeded with seed, and the process-wide one is left alone. Compositions made at
// the same time on several threads each get one, seeded from the process-wide
// generator beforehand, so a forced seed still makes all of them reproducible.
class RandomStream {
public:
    explicit RandomStream(std::uint32_t seed);
    ~RandomStream();
    RandomStream(const RandomStream&) = delete;
    RandomStream& operator=(const RandomStream&) = delete;

    struct State; // the generator, kept out of this header

private:
    State* state_;
    State* previous_;
};

// A seed for a RandomStream, drawn from the generator in use.
std::uint32_t RandomSeed();
