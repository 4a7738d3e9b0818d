#include "ChanceTest.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvenna {

namespace {

// What the groups come to: the hits that trials of chance 1 make, and the trials that can go
// either way.
struct Varying {
    int certain = 0;
    int trials = 0;
    double mean = 0;
    double variance = 0;
};

Varying varyingOf(std::span<const TrialGroup> groups) {
    Varying v;
    for (const TrialGroup& g : groups) {
        if (g.trials <= 0 || g.chance <= 0) continue;
        if (g.chance >= 1) {
            v.certain += g.trials;
            continue;
        }
        v.trials += g.trials;
        v.mean += g.trials * g.chance;
        v.variance += g.trials * g.chance * (1 - g.chance);
    }
    return v;
}

double twoSided(double atMost, double atLeast) {
    return std::min(1.0, 2 * std::min(atMost, atLeast));
}

// Terms this much smaller than a distribution's largest are dropped from its ends: they
// change no p-value that can be told from another, and a total of 2,000 trials keeps some
// 25 standard deviations of terms instead of 2,001.
constexpr double Negligible = 1e-30;

// A distribution over whole numbers of hits: the chances of first, first + 1, ...
struct Distribution {
    int first = 0;
    std::vector<double> chances{1.0};
};

// The binomial distribution of `n` trials of chance `p` (0 < p < 1), reckoned outward from its
// mode, down to the negligible terms.
Distribution binomial(int n, double p) {
    const int mode = std::min(n, static_cast<int>(std::floor((n + 1) * p)));
    const double top = std::exp(std::lgamma(n + 1.0) - std::lgamma(mode + 1.0) - std::lgamma(n - mode + 1.0) +
                                mode * std::log(p) + (n - mode) * std::log1p(-p));
    const double odds = p / (1 - p);
    std::vector<double> below, above;  // outward from the mode
    double term = top;
    for (int k = mode; k > 0 && (term *= k / (n - k + 1.0) / odds) >= top * Negligible; --k) below.push_back(term);
    term = top;
    for (int k = mode; k < n && (term *= (n - k) / (k + 1.0) * odds) >= top * Negligible; ++k) above.push_back(term);
    Distribution d;
    d.first = mode - static_cast<int>(below.size());
    d.chances.assign(below.rbegin(), below.rend());
    d.chances.push_back(top);
    d.chances.insert(d.chances.end(), above.begin(), above.end());
    return d;
}

// The distribution of the sum: a convolution of one binomial per group, trimmed as it goes.
Distribution distributionOf(std::span<const TrialGroup> groups) {
    Distribution sum;
    for (const TrialGroup& g : groups) {
        if (g.trials <= 0 || g.chance <= 0 || g.chance >= 1) continue;
        const Distribution b = binomial(g.trials, g.chance);
        std::vector<double> next(sum.chances.size() + b.chances.size() - 1, 0.0);
        for (std::size_t i = 0; i < sum.chances.size(); ++i)
            for (std::size_t j = 0; j < b.chances.size(); ++j) next[i + j] += sum.chances[i] * b.chances[j];
        const double top = *std::max_element(next.begin(), next.end());
        std::size_t from = 0, to = next.size();
        while (next[from] < top * Negligible) ++from;
        while (next[to - 1] < top * Negligible) --to;
        sum.first += b.first + static_cast<int>(from);
        sum.chances.assign(next.begin() + static_cast<std::ptrdiff_t>(from),
                           next.begin() + static_cast<std::ptrdiff_t>(to));
    }
    return sum;
}

// Phi(z), the standard normal distribution function.
double normalAtMost(double z) {
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

}  // namespace

double exactTwoSidedP(std::span<const TrialGroup> groups, int hits) {
    const Varying v = varyingOf(groups);
    const int x = hits - v.certain;
    if (x < 0 || x > v.trials) return 0;
    const Distribution d = distributionOf(groups);
    // The tails are summed from their small ends, so that the small terms are not lost.
    const int last = d.first + static_cast<int>(d.chances.size()) - 1;
    const auto at = [&](int k) { return d.chances[static_cast<std::size_t>(k - d.first)]; };
    double atMost = 0, atLeast = 0;
    for (int k = d.first; k <= std::min(x, last); ++k) atMost += at(k);
    for (int k = last; k >= std::max(x, d.first); --k) atLeast += at(k);
    return twoSided(atMost, atLeast);
}

double normalTwoSidedP(std::span<const TrialGroup> groups, int hits) {
    const Varying v = varyingOf(groups);
    const int x = hits - v.certain;
    if (x < 0 || x > v.trials) return 0;
    if (v.trials == 0) return 1;
    const double sd = std::sqrt(v.variance);
    return twoSided(normalAtMost((x + 0.5 - v.mean) / sd), normalAtMost((v.mean - x + 0.5) / sd));
}

double twoSidedP(std::span<const TrialGroup> groups, int hits) {
    return varyingOf(groups).trials <= ExactTrialsLimit ? exactTwoSidedP(groups, hits) : normalTwoSidedP(groups, hits);
}

namespace {

// The trials of counts[k], each of chance k / numbers.
template <std::size_t Size>
double pOf(const std::array<int, Size>& counts, int numbers, int hits) {
    std::array<TrialGroup, Size> groups;
    for (std::size_t k = 0; k < Size; ++k) groups[k] = {counts[k], static_cast<double>(k) / numbers};
    return twoSidedP(groups, hits);
}

}  // namespace

std::optional<TotalsTest> chanceTest(const ScoreTotals& totals) {
    if (totals.casts == 0) return std::nullopt;
    return TotalsTest{pOf(totals.positionTrials, FrontDigits, totals.positionHits),
                      pOf(totals.blueTrials, BlueNumbers, totals.blueHits),
                      pOf(totals.likelyTrials, FrontDigits, totals.likelyHits)};
}

}  // namespace orvenna
