// The memory model behind the spaced order: FSRS-5, the Free Spaced
// Repetition Scheduler (J. Ye, open-spaced-repetition, "The Algorithm"
// page of the fsrs4anki wiki, version 5), with its published default
// parameters. Times are in days, as the model's parameters are.
#pragma once

namespace learner::fsrs {

enum class Rating { kAgain = 1, kHard = 2, kGood = 3, kEasy = 4 };

struct Memory {
    double stability = 0;   // days until recall falls to 90 %
    double difficulty = 0;  // 1 .. 10
};

// The memory after an entry's first review.
Memory First(Rating rating);
// The memory after a review elapsedDays after the last one.
Memory Next(Memory memory, double elapsedDays, Rating rating);
// The probability of recall elapsedDays after the last review.
double Retrievability(double elapsedDays, double stability);
// Days until recall falls to the retention the schedule aims at (90 %).
double IntervalDays(double stability);

}  // namespace learner::fsrs
