#include "ChartMarks.h"

#include "Calendar.h"
#include "SolarTerms.h"
#include "Tables.h"
#include "base/Text.h"

namespace orvenna {

using namespace std::string_view_literals;

namespace {

// Element numbers: 金 1, 木 2, 水 3, 火 4, 土 5; index 0 is no element.
// Element number -> the element it generates, and the element it overcomes.
constexpr std::array<int, 6> Generates = {0, 3, 4, 2, 5, 1};
constexpr std::array<int, 6> Overcomes = {0, 2, 5, 4, 1, 3};
// Element number -> branch index of its 墓 and of its 绝 (水 and 土 share theirs).
constexpr std::array<int, 6> GraveBranch = {-1, 1, 7, 4, 10, 4};
constexpr std::array<int, 6> CutBranch = {-1, 2, 8, 5, 11, 5};

// The branches twice over, so that any two neighbours (亥子 too) are one view.
constexpr std::wstring_view BranchRing = L"子丑寅卯辰巳午未申酉戌亥子";

constexpr std::array<std::wstring_view, 5> StrengthNames = {L"旺", L"相", L"休", L"囚", L"死"};

// Day stem index -> 贵人, 禄神 and 文昌.
constexpr std::array<std::wstring_view, 10> Nobles = {L"丑未", L"子申", L"亥酉", L"亥酉", L"丑未",
                                                      L"子申", L"丑未", L"午寅", L"卯巳", L"卯巳"};
constexpr std::wstring_view Salaries = L"寅卯巳午巳午申酉亥子";
constexpr std::wstring_view Scholars = L"巳午申酉申酉亥子寅卯";
// Day branch group (申子辰, 寅午戌, 巳酉丑, 亥卯未) -> 驿马 桃花 将星 华盖 谋星 劫煞 灾煞.
constexpr std::array<std::wstring_view, 7> GroupSpirits = {L"寅申亥巳", L"酉卯午子", L"子午酉卯", L"辰戌丑未",
                                                           L"戌辰未丑", L"巳亥寅申", L"午子卯酉"};
// Branch index mod 4 -> the branch's group above.
constexpr std::array<int, 4> GroupOfBranch = {0, 2, 1, 3};

// 进神 pairs, from the moving branch to the changed one; the reverses are 退神.
constexpr std::array<std::array<int, 2>, 7> Advances = {{{11, 0}, {2, 3}, {5, 6}, {8, 9}, {1, 4}, {4, 7}, {7, 10}}};

int floorMod(std::int64_t a, int b) {
    const auto r = static_cast<int>(a % b);
    return r < 0 ? r + b : r;
}

bool clashes(int a, int b) {
    return a >= 0 && b >= 0 && (a - b + 12) % 12 == 6;
}

bool combines(int a, int b) {
    return a >= 0 && b >= 0 && (a + b) % 12 == 1;
}

bool validElement(int e) {
    return e >= 1 && e <= 5;
}

bool generates(int a, int b) {
    return validElement(a) && Generates[static_cast<std::size_t>(a)] == b;
}

bool overcomes(int a, int b) {
    return validElement(a) && Overcomes[static_cast<std::size_t>(a)] == b;
}

// Stem index 0..9 of a pillar's first character, -1 for any other.
constexpr int stemOf(wchar_t c) {
    switch (c) {
        case L'甲':
            return 0;
        case L'乙':
            return 1;
        case L'丙':
            return 2;
        case L'丁':
            return 3;
        case L'戊':
            return 4;
        case L'己':
            return 5;
        case L'庚':
            return 6;
        case L'辛':
            return 7;
        case L'壬':
            return 8;
        case L'癸':
            return 9;
        default:
            return -1;
    }
}
static_assert(stemOf(StemNames[9]) == 9 && stemOf(StemNames[4]) == 4);

int stemIndex(std::wstring_view pillar) {
    return pillar.empty() ? -1 : stemOf(pillar[0]);
}

// Branch index 0..11 of a branch character, -1 for any other; a switch, since every line of
// both charts asks.
constexpr int branchOf(wchar_t c) {
    switch (c) {
        case L'子':
            return 0;
        case L'丑':
            return 1;
        case L'寅':
            return 2;
        case L'卯':
            return 3;
        case L'辰':
            return 4;
        case L'巳':
            return 5;
        case L'午':
            return 6;
        case L'未':
            return 7;
        case L'申':
            return 8;
        case L'酉':
            return 9;
        case L'戌':
            return 10;
        case L'亥':
            return 11;
        default:
            return -1;
    }
}
static_assert(branchOf(BranchNames[11]) == 11 && branchOf(BranchNames[4]) == 4);

// -1 for a text without a branch.
int branchIndex(std::wstring_view stemBranch) {
    return stemBranch.size() < 2 ? -1 : branchOf(stemBranch[1]);
}

// Branch index -> element number, as BranchElements has it.
constexpr std::array<int, 12> BranchElementNumbers = {3, 5, 2, 2, 5, 4, 4, 5, 1, 1, 5, 3};
static_assert(ElementNames[BranchElementNumbers[6] - 1] == BranchElements[6]);

int branchElement(int branch) {
    return branch < 0 || branch >= 12 ? 0 : BranchElementNumbers[static_cast<std::size_t>(branch)];
}

// Bit b set for each branch index b of the text.
constexpr std::uint16_t branchBits(std::wstring_view branches) {
    std::uint16_t bits = 0;
    for (const wchar_t c : branches) {
        const int b = branchOf(c);
        if (b >= 0) bits = static_cast<std::uint16_t>(bits | (1u << b));
    }
    return bits;
}

std::wstring_view elementName(int element) {
    return validElement(element) ? ElementNames.substr(static_cast<std::size_t>(element - 1), 1) : std::wstring_view();
}

std::wstring_view strengthOf(int element, int monthElement) {
    if (!validElement(element) || !validElement(monthElement)) return {};
    if (element == monthElement) return StrengthNames[0];
    if (generates(monthElement, element)) return StrengthNames[1];
    if (generates(element, monthElement)) return StrengthNames[2];
    if (overcomes(element, monthElement)) return StrengthNames[3];
    return StrengthNames[4];
}

std::wstring_view changeRelation(int moving, int changed) {
    if (!validElement(moving) || !validElement(changed)) return {};
    if (moving == changed) return L"比和"sv;
    if (generates(changed, moving)) return L"回头生"sv;
    if (overcomes(changed, moving)) return L"回头克"sv;
    if (generates(moving, changed)) return L"泄"sv;
    return L"克出"sv;
}

std::wstring_view flyRelation(int fly, int hidden) {
    if (generates(fly, hidden)) return L"飞生伏"sv;
    if (overcomes(fly, hidden)) return L"飞克伏"sv;
    if (generates(hidden, fly)) return L"伏生飞"sv;
    if (overcomes(hidden, fly)) return L"伏克飞"sv;
    return {};
}

std::wstring_view advanceOf(int from, int to) {
    for (const auto& [a, b] : Advances) {
        if (from == a && to == b) return L"进神"sv;
        if (from == b && to == a) return L"退神"sv;
    }
    return {};
}

std::wstring_view shapeOf(const std::array<int, 6>& branches) {
    bool allClash = true;
    bool allCombine = true;
    for (std::size_t i = 0; i < 3; ++i) {
        allClash = allClash && clashes(branches[i], branches[i + 3]);
        allCombine = allCombine && combines(branches[i], branches[i + 3]);
    }
    if (allClash) return L"六冲"sv;
    if (allCombine) return L"六合"sv;
    return {};
}

// The constant table's view of a stem-branch text; empty for one that is not in the cycle.
std::wstring_view pillarName(std::wstring_view pillar) {
    return stemBranchName(stemIndex(pillar), branchIndex(pillar));
}

std::array<int, 6> branchesOf(const Hexagram& h) {
    std::array<int, 6> branches{};
    for (std::size_t i = 0; i < 6; ++i) branches[i] = branchIndex(lineEntry(h.stemBranches, i));
    return branches;
}

// The pure hexagram of each palace, built once by the chart builder itself.
struct PureLine {
    std::wstring stemBranch;
    int element = 0;
    int relation = 0;
};
using PureHexagram = std::array<PureLine, 6>;

// A function of its own, not a lambda: clang 14 crashes on this array's initialiser inside one.
std::array<PureHexagram, 8> buildPureHexagrams() {
    std::array<PureHexagram, 8> all;
    for (int palace = 1; palace <= 8; ++palace) {
        Hexagram h;
        h.upperTrigram = palace;
        h.lowerTrigram = palace;
        buildChart(h, L"");
        for (std::size_t i = 0; i < 6; ++i) {
            PureLine& line = all[static_cast<std::size_t>(palace - 1)][i];
            line.stemBranch = lineEntry(h.stemBranches, i);
            line.element = lineEntry(h.elementNumbers, i);
            line.relation = relationIndex(lineEntry(h.relations, i));
        }
    }
    return all;
}

const std::array<PureHexagram, 8>& pureHexagrams() {
    static const std::array<PureHexagram, 8> pure = buildPureHexagrams();
    return pure;
}

void markHidden(const Hexagram& primary, ChartMarks& marks) {
    if (primary.palace < 1 || primary.palace > 8 || primary.relations.size() < 6) return;
    // Within one palace a relation is an element, so the elements present stand for the relations.
    unsigned present = 0;
    for (std::size_t i = 0; i < 6; ++i) present |= 1u << lineEntry(primary.elementNumbers, i);
    const PureHexagram& pure = pureHexagrams()[static_cast<std::size_t>(primary.palace - 1)];
    for (std::size_t i = 0; i < 6; ++i) {
        const PureLine& line = pure[i];
        if (present & (1u << line.element)) continue;
        HiddenSpirit hidden;
        hidden.relation = RelationNames.substr(static_cast<std::size_t>(line.relation) * 2, 2);
        hidden.stemBranch = line.stemBranch;
        hidden.element = elementName(line.element);
        hidden.fly = flyRelation(lineEntry(primary.elementNumbers, i), line.element);
        marks.lines[i].hidden = hidden;
    }
}

// The spirits a branch carries, given the branches of each spirit as bits.
std::uint16_t shenshaBits(int branch, const std::array<std::uint16_t, 10>& spiritBranches) {
    std::uint16_t bits = 0;
    if (branch < 0) return bits;
    for (std::size_t n = 0; n < spiritBranches.size(); ++n) {
        if (spiritBranches[n] & (1u << branch)) bits = static_cast<std::uint16_t>(bits | (1u << n));
    }
    return bits;
}

}  // namespace

FourPillars fourPillars(double castTime) {
    const YearMonthPillars ym = yearMonthPillars(castTime);
    const std::int64_t days = sexagenaryDayCount(castTime);
    const int dayStem = floorMod(days, 10);
    const int dayBranch = floorMod(days, 12);
    const int hour = hourNumber(castTime);
    const int hourBranch = hour == 12 ? 0 : hour;
    // 五鼠遁, as hourPillar reckons it: 甲 and 己 days start their 子 hour at 甲, and so on.
    const int hourStem = floorMod(hourBranch + 2 * (dayStem % 5), 10);
    return {ym.year, ym.month, stemBranchName(dayStem, dayBranch), stemBranchName(hourStem, hourBranch)};
}

ChartMarks chartMarks(const Hexagram& primary, const Hexagram& changed, std::span<const int> moveMarks,
                      const FourPillars& pillars) {
    ChartMarks marks;
    marks.pillars = pillars;
    const int dayStem = stemIndex(pillars.day);
    const int dayBranch = branchIndex(pillars.day);
    const int monthBranch = branchIndex(pillars.month);
    const int monthElement = branchElement(monthBranch);

    int void1 = -1;
    int void2 = -1;
    if (dayStem >= 0 && dayBranch >= 0) {
        const int s = floorMod(dayBranch - dayStem, 12);
        void1 = (s + 10) % 12;
        void2 = (s + 11) % 12;
        marks.voidBranches = BranchRing.substr(static_cast<std::size_t>(void1), 2);
    }
    const auto isVoid = [&](int branch) { return branch >= 0 && (branch == void1 || branch == void2); };

    if (dayStem >= 0) {
        const auto stem = static_cast<std::size_t>(dayStem);
        marks.shensha[0] = Nobles[stem];
        marks.shensha[1] = Salaries.substr(stem, 1);
        marks.shensha[2] = Scholars.substr(stem, 1);
    }
    if (dayBranch >= 0) {
        const auto group = static_cast<std::size_t>(GroupOfBranch[static_cast<std::size_t>(dayBranch % 4)]);
        for (std::size_t n = 0; n < GroupSpirits.size(); ++n) marks.shensha[3 + n] = GroupSpirits[n].substr(group, 1);
    }

    std::array<std::uint16_t, 10> spiritBranches{};
    for (std::size_t n = 0; n < spiritBranches.size(); ++n) spiritBranches[n] = branchBits(marks.shensha[n]);

    const std::array<int, 6> branches = branchesOf(primary);
    const std::array<int, 6> changedBranches = branchesOf(changed);
    marks.primaryShape = shapeOf(branches);
    marks.changedShape = shapeOf(changedBranches);

    for (std::size_t i = 0; i < 6; ++i) {
        LineMarks& line = marks.lines[i];
        const int branch = branches[i];
        const int element = lineEntry(primary.elementNumbers, i);
        line.isVoid = isVoid(branch);
        line.strength = strengthOf(element, monthElement);
        line.monthBreak = clashes(branch, monthBranch);
        line.shensha = shenshaBits(branch, spiritBranches);
        const bool moving = i < moveMarks.size() && moveMarks[i] != 0;
        if (!moving) {
            if (clashes(branch, dayBranch)) {
                line.dayClash =
                    line.strength == StrengthNames[0] || line.strength == StrengthNames[1] ? L"暗动"sv : L"日破"sv;
            }
            continue;
        }
        const int to = changedBranches[i];
        LineChange change;
        change.relation = changeRelation(element, lineEntry(changed.elementNumbers, i));
        change.advance = advanceOf(branch, to);
        change.isVoid = isVoid(to);
        change.monthBreak = clashes(to, monthBranch);
        if (validElement(element)) {
            change.grave = to == GraveBranch[static_cast<std::size_t>(element)];
            change.cut = to == CutBranch[static_cast<std::size_t>(element)];
        }
        line.change = change;
    }

    markHidden(primary, marks);

    if (primary.worldLine >= 1 && primary.worldLine <= 6) {
        const auto world = static_cast<std::size_t>(primary.worldLine - 1);
        const bool yang = sameText(lineEntry(primary.lineMarks, world), L"1"sv);
        const int body = ((yang ? 0 : 6) + primary.worldLine - 1) % 12;
        marks.bodyBranch = BranchNames.substr(static_cast<std::size_t>(body), 1);
        for (std::size_t i = 0; i < 6; ++i) marks.bodyLines[i] = branches[i] == body;
    }
    return marks;
}

ChartMarks chartMarks(const Analysis& analysis) {
    const AnalysisRecord& r = analysis.record;
    // The day and hour as the record has them already; the year and month from the cast time.
    const YearMonthPillars ym = yearMonthPillars(r.castTime);
    const FourPillars pillars{ym.year, ym.month, pillarName(r.dayPillar), pillarName(r.hourPillar)};
    return chartMarks(analysis.primary, analysis.changed, std::span<const int>(r.moveMarks.begin(), r.moveMarks.size()),
                      pillars);
}

}  // namespace orvenna
