#pragma once
// The one process-wide pseudo-random generator. Every random choice of the program
// draws from it, so a forced seed makes whole compositions reproducible.
#include <cstdint>

// Seeds from AMBIENCE_SEED when that holds a number, else from the clock in seconds.
void RandomizeFromEnvironmentOrClock();
void SeedRandom(std::uint32_t seed);
// Uniform integer 0..n-1 (the generator's next value modulo n); 0 for n <= 0.
int RandomBelow(int n);
