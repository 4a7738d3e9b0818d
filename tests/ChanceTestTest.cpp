#include "engine/ChanceTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace orvenna {
namespace {

// Totals worked by hand: each case lists its trials and the p-value of a total of hits.
TEST(ChanceTestTest, SmallTotalsHaveTheirExactTwoSidedPValue) {
    struct Case {
        const char* what;
        std::vector<TrialGroup> groups;
        int hits;
        double p;
    } const cases[] = {
        {"one fair trial, hit", {{1, 0.5}}, 1, 1.0},
        {"ten fair trials, all hit", {{10, 0.5}}, 10, 2.0 / 1024},
        {"ten fair trials, none hit", {{10, 0.5}}, 0, 2.0 / 1024},
        {"ten fair trials, nine hit", {{10, 0.5}}, 9, 2.0 * 11 / 1024},
        {"ten fair trials, five hit", {{10, 0.5}}, 5, 1.0},
        // P(0) = 0.8 x 0.5 = 0.4, P(2) = 0.2 x 0.5 = 0.1.
        {"chances 0.2 and 0.5, both hit", {{1, 0.2}, {1, 0.5}}, 2, 0.2},
        {"chances 0.2 and 0.5, none hit", {{1, 0.2}, {1, 0.5}}, 0, 0.8},
        {"chances 0.2 and 0.5, one hit", {{1, 0.2}, {1, 0.5}}, 1, 1.0},
        // P(3) = 0.1 x 0.3 x 0.6 = 0.018; P(0) = 0.9 x 0.7 x 0.4 = 0.252.
        {"chances 0.1, 0.3 and 0.6, all hit", {{1, 0.1}, {1, 0.3}, {1, 0.6}}, 3, 0.036},
        {"chances 0.1, 0.3 and 0.6, none hit", {{1, 0.1}, {1, 0.3}, {1, 0.6}}, 0, 0.504},
        // Two of chance 0.1 and one of 0.3: P(3) = 0.01 x 0.3 = 0.003.
        {"a group of two and one more", {{2, 0.1}, {1, 0.3}}, 3, 0.006},
        // A trial that cannot miss counts as a hit, one that cannot hit as nothing.
        {"one certain and two fair, all hit", {{1, 1.0}, {2, 0.5}}, 3, 0.5},
        {"one certain and two fair, none hit", {{1, 1.0}, {2, 0.5}}, 0, 0.0},
        {"three hopeless and three fair, three hit", {{3, 0.0}, {3, 0.5}}, 3, 0.25},
        {"three hopeless, one hit", {{3, 0.0}}, 1, 0.0},
        {"three hopeless, none hit", {{3, 0.0}}, 0, 1.0},
        {"two certain, both hit", {{2, 1.0}}, 2, 1.0},
        {"no trials", {}, 0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(exactTwoSidedP(c.groups, c.hits), c.p, 1e-12);
        EXPECT_NEAR(twoSidedP(c.groups, c.hits), c.p, 1e-12);
    }
}

// At the bound the exact tails and the normal curve agree to a few thousandths, the worst
// case being every trial of the smallest chance, 1/15; twoSidedP changes method there.
TEST(ChanceTestTest, TheNormalCurveTakesOverWhereItAgreesWithTheExactTails) {
    const std::vector<std::vector<TrialGroup>> cases = {
        {{ExactTrialsLimit, 1.0 / 15}},
        {{500, 0.1}, {500, 0.5}, {400, 2.0 / 15}, {600, 0.9}},
        {{1000, 0.3}, {1000, 0.6}, {7, 1.0}, {9, 0.0}},
    };
    for (const std::vector<TrialGroup>& groups : cases) {
        double mean = 0, variance = 0;
        for (const TrialGroup& g : groups) {
            mean += g.trials * g.chance;
            variance += g.trials * g.chance * (1 - g.chance);
        }
        for (int sds = -4; sds <= 4; ++sds) {
            const int hits = static_cast<int>(std::lround(mean + sds * std::sqrt(variance)));
            SCOPED_TRACE(testing::Message() << groups.size() << " groups, " << hits << " hits");
            const double exact = exactTwoSidedP(groups, hits);
            EXPECT_NEAR(normalTwoSidedP(groups, hits), exact, 0.005);
            EXPECT_EQ(twoSidedP(groups, hits), exact);
        }
    }
    const std::vector<TrialGroup> beyond = {{ExactTrialsLimit + 1, 0.5}};
    EXPECT_EQ(twoSidedP(beyond, 950), normalTwoSidedP(beyond, 950));
    EXPECT_NEAR(normalTwoSidedP(beyond, 950), exactTwoSidedP(beyond, 950), 0.001);
}

// A candidate list of `size` different numbers below `numbers`.
std::wstring randomList(std::mt19937& random, int size, int numbers) {
    std::vector<int> all(static_cast<std::size_t>(numbers));
    for (int i = 0; i < numbers; ++i) all[static_cast<std::size_t>(i)] = i;
    std::shuffle(all.begin(), all.end(), random);
    std::wstring list;
    for (int i = 0; i < size; ++i) list += (i ? L"," : L"") + std::to_wstring(all[static_cast<std::size_t>(i)]);
    return list;
}

// Suggestions of random sizes against random draws are no better than chance: their
// p-values are about uniform, a share of about 5 % below 0.05 and about half below 0.5 (a
// little less, as whole numbers of hits make the test careful). Suggestions that hold the
// drawn digit more often than chance are found out.
TEST(ChanceTestTest, RandomSuggestionsGiveUniformPValuesAndKnowingOnesAreFound) {
    std::mt19937 random(20261208);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto batch = [&](int casts, bool knowing) {
        ScoreTotals totals;
        for (int c = 0; c < casts; ++c) {
            Draw draw;
            for (int& digit : draw.front) digit = pick(0, 9);
            draw.blue = pick(0, 14);
            Suggestion suggestion;
            for (std::size_t i = 0; i < 6; ++i) {
                suggestion[i] = randomList(random, pick(1, 6), FrontDigits);
                if (knowing && pick(0, 3) == 0) suggestion[i] += L"," + std::to_wstring(draw.front[i]);
            }
            suggestion[6] = randomList(random, pick(1, 7), BlueNumbers);
            suggestion[7] = randomList(random, pick(0, 6), FrontDigits);
            totals.add(scoreCast(suggestion, draw));
        }
        return totals;
    };
    constexpr int Batches = 400;
    int below005[3] = {}, below05[3] = {};
    for (int b = 0; b < Batches; ++b) {
        const std::optional<TotalsTest> test = chanceTest(batch(30, false));
        ASSERT_TRUE(test);
        const double ps[3] = {test->positionP, test->blueP, test->likelyP};
        for (int t = 0; t < 3; ++t) {
            ASSERT_GE(ps[t], 0.0);
            ASSERT_LE(ps[t], 1.0);
            below005[t] += ps[t] < 0.05;
            below05[t] += ps[t] < 0.5;
        }
    }
    for (int t = 0; t < 3; ++t) {
        SCOPED_TRACE(t);
        EXPECT_GE(below005[t], Batches * 0.01);
        EXPECT_LE(below005[t], Batches * 0.09);
        EXPECT_GE(below05[t], Batches * 0.3);
        EXPECT_LE(below05[t], Batches * 0.58);
    }

    const ScoreTotals knowing = batch(30, true);
    const std::optional<TotalsTest> found = chanceTest(knowing);
    ASSERT_TRUE(found);
    EXPECT_GT(knowing.positionHits, knowing.expectedPositionHits);
    EXPECT_LT(found->positionP, 0.001);
    EXPECT_FALSE(chanceTest(ScoreTotals{})) << "no matched cast, no test";
}

}  // namespace
}  // namespace orvenna
