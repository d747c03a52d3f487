#include "truth.h"

#include <algorithm>
#include <cmath>

namespace quor {

double quantize(double value)
{
    if (!(value > 0.0)) // also catches NaN
        return 0.0;
    if (value >= 1.0)
        return 1.0;
    return std::round(value * 10000.0) / 10000.0;
}

Truth makeTruth(double frequency, double confidence)
{
    return Truth{quantize(frequency), std::min(quantize(confidence), MaxConfidence)};
}

Truth deduction(const Truth& first, const Truth& second)
{
    const double f = first.frequency * second.frequency;
    return makeTruth(f, f * first.confidence * second.confidence);
}

Truth revision(const Truth& first, const Truth& second)
{
    const double w1 = first.confidence / (1.0 - first.confidence);
    const double w2 = second.confidence / (1.0 - second.confidence);
    const double w = w1 + w2;
    if (w <= 0.0)
        return makeTruth((first.frequency + second.frequency) / 2.0, 0.0);
    return makeTruth((w1 * first.frequency + w2 * second.frequency) / w, w / (w + 1.0));
}

std::string formatNumber(double value)
{
    const long scaled = std::lround(quantize(value) * 10000.0);
    std::string text = std::to_string(scaled / 10000);
    std::string fraction = std::to_string(scaled % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0')
        fraction.pop_back();
    return text + '.' + fraction;
}

std::string formatTruth(const Truth& truth)
{
    return '{' + formatNumber(truth.frequency) + ' ' + formatNumber(truth.confidence) + '}';
}

} // namespace quor
