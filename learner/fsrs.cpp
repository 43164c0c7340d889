#include "learner/fsrs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace learner::fsrs {

namespace {

// FSRS-5's default weights w0 .. w18. Reviews here are timed to the
// millisecond rather than counted in whole days, so the formulas for a
// review a day or more after the last hold at any time since; the same-day
// step that w17 and w18 weigh, made for whole-day schedules, is not used.
constexpr std::array<double, 19> w = {0.40255, 1.18385, 3.173,  15.69105, 7.1949, 0.5345, 1.4604,
                                      0.0046,  1.54575, 0.1192, 1.01925,  1.9395, 0.11,   0.29605,
                                      2.2698,  0.2315,  2.9898, 0.51655,  0.6621};
constexpr double kDecay = -0.5;
constexpr double kFactor = 19.0 / 81.0;  // 0.9^(1 / kDecay) - 1: R(S, S) = 0.9
constexpr double kRetention = 0.9;

double Grade(Rating rating) { return static_cast<double>(rating); }
double ClampDifficulty(double d) { return std::clamp(d, 1.0, 10.0); }

// D0(G) = w4 - e^(w5 (G - 1)) + 1
double InitialDifficulty(Rating rating) { return w[4] - std::exp(w[5] * (Grade(rating) - 1)) + 1; }

// D' = w7 D0(4) + (1 - w7) (D - w6 (G - 3)): a step by the grade, pulled
// back towards the difficulty of an easy first answer.
double NextDifficulty(double d, Rating rating) {
    const double stepped = d - w[6] * (Grade(rating) - 3);
    return ClampDifficulty(w[7] * InitialDifficulty(Rating::kEasy) + (1 - w[7]) * stepped);
}

// S'r = S (e^w8 (11 - D) S^-w9 (e^(w10 (1 - R)) - 1) hard easy + 1), with
// hard = w15 for Hard and easy = w16 for Easy, else 1.
double RecallStability(double d, double s, double r, Rating rating) {
    const double hard = rating == Rating::kHard ? w[15] : 1;
    const double easy = rating == Rating::kEasy ? w[16] : 1;
    return s * (std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) * (std::exp(w[10] * (1 - r)) - 1) * hard * easy + 1);
}

// S'f = w11 D^-w12 ((S + 1)^w13 - 1) e^(w14 (1 - R)), never above S: a
// lapse does not strengthen a memory.
double ForgetStability(double d, double s, double r) {
    const double forgot = w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
    return std::min(forgot, s);
}

constexpr double kMinStability = 0.01;

}  // namespace

Memory First(Rating rating) { return {w[static_cast<int>(rating) - 1], ClampDifficulty(InitialDifficulty(rating))}; }

Memory Next(Memory memory, double elapsedDays, Rating rating) {
    const double s = std::max(memory.stability, kMinStability);
    const double d = ClampDifficulty(memory.difficulty);
    const double r = Retrievability(elapsedDays, s);
    const double stability = rating == Rating::kAgain ? ForgetStability(d, s, r) : RecallStability(d, s, r, rating);
    return {std::max(stability, kMinStability), NextDifficulty(d, rating)};
}

// R(t, S) = (1 + FACTOR t / S)^DECAY
double Retrievability(double elapsedDays, double stability) {
    return std::pow(1 + kFactor * std::max(elapsedDays, 0.0) / stability, kDecay);
}

// I(r, S) = S / FACTOR (r^(1 / DECAY) - 1), which is S at r = 0.9
double IntervalDays(double stability) { return stability / kFactor * (std::pow(kRetention, 1 / kDecay) - 1); }

}  // namespace learner::fsrs
