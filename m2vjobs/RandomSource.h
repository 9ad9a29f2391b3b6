#pragma once

namespace pellavo {

// Where the letters of the temporary names come from. Tests pass a fixed sequence.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A number from 0 to below `bound`.
    virtual int below(int bound) = 0;
};

// The system's random numbers, seeded by the system (no two names drawn within the same
// clock tick come out alike).
class SystemRandom : public RandomSource {
  public:
    int below(int bound) override;
};

} // namespace pellavo
