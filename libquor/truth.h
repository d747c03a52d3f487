#ifndef QUOR_TRUTH_H
#define QUOR_TRUTH_H

#include <string>

namespace quor {

// A truth value: frequency (how often the statement held in the evidence) and confidence (how
// much evidence there is), both in [0, 1]. Values are kept on a grid of 1/10000 so that the
// text written by a memory dump reads back as exactly the same value.
struct Truth {
    double frequency = 1.0;
    double confidence = 0.9;

    bool operator==(const Truth& other) const
    {
        return frequency == other.frequency && confidence == other.confidence;
    }
    bool operator!=(const Truth& other) const { return !(*this == other); }
};

// The value a judgement gets when it is written without one.
inline constexpr Truth DefaultTruth{1.0, 0.9};

// Largest confidence a judgement may carry; 1 would stand for infinite evidence.
inline constexpr double MaxConfidence = 0.9999;

// Rounds to the 1/10000 grid.
double quantize(double value);
Truth makeTruth(double frequency, double confidence);

// Deduction: <S → M> {f1 c1} and <M → P> {f2 c2} give <S → P> with
// f = f1·f2 and c = f1·f2·c1·c2.
Truth deduction(const Truth& first, const Truth& second);

// Revision pools two bodies of independent evidence. A confidence c stands for the amount of
// evidence w = c / (1 - c); the pooled amount is w1 + w2, the pooled frequency the average of
// f1 and f2 weighted by w1 and w2, and the new confidence w / (w + 1).
Truth revision(const Truth& first, const Truth& second);

// Shortest decimal text of a value on the grid, always with a decimal point: "1.0", "0.81",
// "0.6561". Written by hand so that the C locale of the host program does not matter.
std::string formatNumber(double value);

// "{f c}", for example "{1.0 0.9}".
std::string formatTruth(const Truth& truth);

} // namespace quor

#endif
