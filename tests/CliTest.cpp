#include "cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <json/reader.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "ChildProcess.h"
#include "Environment.h"
#include "LocalHttpServer.h"
#include "SystemSupport.h"
#include "TempDirectory.h"
#include "TestSigner.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "cli/CastBatch.h"
#include "cli/CastCommand.h"
#include "cli/CastInput.h"
#include "cli/CastJson.h"
#include "codec/Fingerprint.h"
#include "codec/Gb18030.h"
#include "engine/ChanceTest.h"
#include "records/EasyDb.h"
#include "records/StoredReview.h"
#include "system/Clock.h"
#include "system/Console.h"
#include "system/Settings.h"
#include "ui/words/ChartText.h"
#include "update/OfferDecision.h"

namespace orvenna::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun cli(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runCli(args, in, out, err);
    return {code, out.str(), err.str()};
}

Json::Value parse(const std::string& text) {
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(builder, in, &value, &errors)) << errors << text;
    return value;
}

// The real program, as a script runs it: its standard input fed, its standard output captured,
// sent to /dev/full or closed. These need a POSIX child; Windows skips the tests that use them.
#ifdef _WIN32
#define SKIP_WITHOUT_POSIX_CHILD() GTEST_SKIP() << "feeds and closes a child's standard streams as only POSIX can"
ProgramRun cliProcess(const std::vector<std::string>&, const std::string& = "", StdoutTo = StdoutTo::Captured) {
    return {};
}
#else
#define SKIP_WITHOUT_POSIX_CHILD() static_cast<void>(0)
ProgramRun cliProcess(const std::vector<std::string>& args, const std::string& input = "",
                      StdoutTo stdoutTo = StdoutTo::Captured) {
    return runProgram(ORVENNA_CLI, args, input, stdoutTo);
}
#endif

const std::vector<std::string> Cast1234 = {
    "cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time", "2024-03-31 12:00:00", "--json"};

TEST(CliCastTest, NumberCastAsJson) {
    const CliRun run = cli(Cast1234);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Json::Value j = parse(run.out);
    EXPECT_EQ(j["header"].asString(), "以数字1234起卦,卦主生肖:午,日主:甲午,时辰:庚午");
    EXPECT_EQ(j["dayPillar"].asString(), "甲午");
    EXPECT_EQ(j["hourPillar"].asString(), "庚午");
    EXPECT_EQ(j["zodiacBranch"].asString(), "午");
    const Json::Value& p = j["primary"];
    EXPECT_EQ(p["title"].asString(), "离宫 (2) 火山旅 ");
    EXPECT_EQ(p["name"].asString(), "火山旅");
    EXPECT_EQ(p["upperTrigram"].asInt(), 3);
    EXPECT_EQ(p["lowerTrigram"].asInt(), 7);
    EXPECT_EQ(p["upperCode"].asString(), "101");
    EXPECT_EQ(p["worldLine"].asInt(), 1);
    EXPECT_EQ(p["responseLine"].asInt(), 4);
    EXPECT_EQ(p["movingLine"].asInt(), 4);
    ASSERT_EQ(p["lines"].size(), 6u);
    EXPECT_EQ(p["lines"][0]["spirit"].asString(), "青龙");
    EXPECT_EQ(p["lines"][0]["stemBranch"].asString(), "丙辰");
    EXPECT_EQ(p["lines"][3]["moving"].asInt(), 1);
    EXPECT_EQ(p["lines"][2]["moving"].asInt(), 0);
    EXPECT_EQ(j["ysname"].asString(), "T(2024年3月31日12时)");
    EXPECT_EQ(j["report"][0].asString(), "卦解:");
    EXPECT_EQ(j["report"][1].asString(), "            在2024年3月31日12时日主:甲午,时辰:庚午,属午的卦主测得:");
    ASSERT_EQ(j["suggestion"].size(), 8u);
    EXPECT_EQ(j["suggestion"][0].asString(), "0,2,3,4,5");
    EXPECT_EQ(j["resultText"].asString().rfind("…正式版本,以下推演数据仅供参考…\r\n\r\n", 0), 0u);
    EXPECT_THAT(j["resultText"].asString(), HasSubstr("第一位:0,2,3,4,5\r\n"));
    const Json::Value& c = j["changed"];
    EXPECT_EQ(c["title"].asString(), "艮宫 (1) 艮为山 ");
    EXPECT_EQ(c["movingLine"].asInt(), 0);
    for (const auto& line : c["lines"]) {
        EXPECT_EQ(line["spirit"].asString(), "");
        EXPECT_EQ(line["moving"].asInt(), 0);
    }
}

std::set<std::string> keysOf(const Json::Value& object) {
    const auto names = object.getMemberNames();
    return {names.begin(), names.end()};
}

// The chart's marks beside the fields of old: 火山旅 changing into 艮为山 on 甲午 (day) in the 丁卯
// month of 甲辰, its world on line 1.
TEST(CliCastTest, JsonCarriesTheChartsMarks) {
    const CliRun run = cli(Cast1234);
    ASSERT_EQ(run.code, 0) << run.err;
    const Json::Value j = parse(run.out);
    // Laid out as jsoncpp writes the same values, keys (the Chinese ones too) in byte order.
    EXPECT_EQ(compactJson(j) + "\n", run.out);
    EXPECT_EQ(j["pillars"], parse(R"({"year":"甲辰","month":"丁卯","day":"甲午","hour":"庚午"})"));
    EXPECT_EQ(j["void"].asString(), "辰巳");
    EXPECT_EQ(j["body"], parse(R"({"branch":"午","lines":[2]})"));
    EXPECT_EQ(j["shensha"], parse(R"({"贵人":"丑未","禄神":"寅","文昌":"巳","驿马":"申","桃花":"卯","将星":"午",
                                      "华盖":"戌","谋星":"辰","劫煞":"亥","灾煞":"子"})"));
    EXPECT_EQ(j["primary"]["shape"].asString(), "六合");
    EXPECT_EQ(j["changed"]["shape"].asString(), "六冲");
    EXPECT_EQ(j["changed"]["soulType"].asInt(), 0);

    const Json::Value& lines = j["primary"]["lines"];
    const std::set<std::string> lineKeys = {"change",     "dayClash", "element",  "hidden",  "mark",
                                            "monthBreak", "moving",   "relation", "shensha", "spirit",
                                            "stemBranch", "strength", "void"};
    for (const Json::Value& line : lines) EXPECT_EQ(keysOf(line), lineKeys);
    for (const Json::Value& line : j["changed"]["lines"]) {
        EXPECT_EQ(keysOf(line),
                  (std::set<std::string>{"element", "mark", "moving", "relation", "spirit", "stemBranch"}));
    }
    EXPECT_EQ(lines[0]["hidden"], parse(R"({"relation":"父母","stemBranch":"己卯","element":"木","fly":"伏克飞"})"));
    EXPECT_EQ(lines[2]["hidden"], parse(R"({"relation":"官鬼","stemBranch":"己亥","element":"水","fly":"飞生伏"})"));
    EXPECT_TRUE(lines[1]["hidden"].isNull());
    // Line 4, 己酉 moving into 丙戌 in a 卯 month.
    EXPECT_EQ(lines[3]["change"], parse(R"({"relation":"回头生","advance":"","void":false,"monthBreak":false,
                                            "grave":false,"cut":false})"));
    EXPECT_TRUE(lines[3]["monthBreak"].asBool());
    EXPECT_EQ(lines[3]["strength"].asString(), "囚");
    EXPECT_TRUE(lines[2]["change"].isNull());
    EXPECT_TRUE(lines[0]["void"].asBool());
    EXPECT_EQ(lines[0]["strength"].asString(), "死");
    EXPECT_EQ(lines[0]["shensha"], parse(R"(["谋星"])"));
    EXPECT_EQ(lines[3]["shensha"], parse("[]"));
    EXPECT_EQ(lines[5]["dayClash"].asString(), "");

    // 天地否 (manual lines, still) on 2024-08-10, after 立秋: the body on line 5, 壬申 its month.
    const Json::Value pi = parse(
        cli({"cast", "--method", "2", "--input", "222111", "--zodiac", "1", "--time", "2024-08-10 12:00:00", "--json"})
            .out);
    EXPECT_EQ(pi["primary"]["name"].asString(), "天地否");
    EXPECT_EQ(pi["body"], parse(R"({"branch":"申","lines":[5]})"));
    EXPECT_EQ(pi["pillars"]["month"].asString(), "壬申");
}

TEST(CliCastTest, ManualLinesAndTextOutput) {
    const CliRun run =
        cli({"cast", "--method", "2", "--input", "111114", "--zodiac", "1", "--time", "2024-03-31 12:00:00"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("以自己装卦,卦主生肖:子,日主:甲午,时辰:庚午"));
    EXPECT_THAT(run.out, HasSubstr("本卦: 坤宫 (6) 泽天夬 "));
    EXPECT_THAT(run.out, HasSubstr("变卦 乾宫 (1) 乾为天 "));
    EXPECT_THAT(run.out, HasSubstr("×"));
}

TEST(CliCastTest, BadArgumentsPrintOneLineAndNothingOnStdout) {
    struct Case {
        std::vector<std::string> args;
        std::string named;  // what the error line names
    };
    const Case cases[] = {
        {{"cast", "--bogus"}, "--bogus"},
        {{"cast", "--method"}, "--method"},
        {{"cast", "--method", "4", "--input", "1", "--zodiac", "1"}, "--method"},
        {{"cast", "--method", "x", "--input", "1", "--zodiac", "1"}, "--method"},
        {{"cast", "--method", "1", "--input", "", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--input", "  ", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "3", "--input", "", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--input", "12", "--zodiac", "13"}, "--zodiac"},
        {{"cast", "--method", "1", "--input", "12", "--zodiac", "0"}, "--zodiac"},
        {{"cast", "--method", "1", "--input", "12"}, "--zodiac"},
        {{"cast", "--method", "1", "--input", "12", "--zodiac", "1", "--time", "2024-02-30 10:00:00"}, "--time"},
        {{"cast", "--method", "2", "--input", "11111", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "2", "--input", "111115", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "2", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--input", "abc", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--input", "3.5", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--input", "😀", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "3", "--input", "1e12", "--zodiac", "1"}, "--input"},
        {{"cast", "--method", "1", "--input", "12", "--zodiac", "1", "--json", "--text"}, "--text"},
        {{"cast", "--batch", "-", "--text"}, "--text"},
        {{"cast", "--batch", "-", "--png", "a.png"}, "--png"},
        {{"history", "show", "1", "--json", "--text"}, "--text"},
        {{"history", "show", "1", "--time", "2024-03-31 12:00:00"}, "--time"},
        {{"frobnicate"}, "frobnicate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] + " ..." : c.args[0]);
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr(c.named));
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    // No command at all: the usage, several lines.
    const CliRun none = cli({});
    EXPECT_EQ(none.code, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_THAT(none.err, HasSubstr("usage"));
}

// --text is the chart that 排盘详情 copies, for any method.
TEST(CliCastTest, TextIsTheDetailWindowsChart) {
    const std::vector<std::vector<std::string>> inputs = {
        {"--method", "1", "--input", "1234", "--zodiac", "7", "--time", "2024-03-31 12:00:00"},
        {"--method", "2", "--input", "311114", "--zodiac", "3", "--time", "2023-08-07 23:10:00"},
        {"--method", "3", "--input", "0", "--zodiac", "12", "--time", "2024-02-04 16:30:00"},
    };
    for (const std::vector<std::string>& input : inputs) {
        SCOPED_TRACE(input[1]);
        std::vector<std::string> args = {"cast"};
        args.insert(args.end(), input.begin(), input.end());
        args.push_back("--text");
        const CliRun run = cli(args);
        ASSERT_EQ(run.code, 0) << run.err;
        CastInput given;
        given.method = input[1];
        given.input = input[3];
        given.zodiac = input[5];
        given.time = input[7];
        const CastInputResult made = makeRequest(given, systemClock());
        ASSERT_TRUE(made.ok()) << made.error;
        CastResult result;
        castAnalysis(made.request, result);
        EXPECT_EQ(run.out, toUtf8(chartText(result.analysis)));
        EXPECT_EQ(run.out.rfind("排盘详情\n", 0), 0u);
    }
}

TEST(CliCastTest, BatchKeepsOrderAndGoesOnAfterABadLine) {
    const std::string lines =
        "1\t1234\t7\t2024-03-31 12:00:00\n"
        "9\t1234\t7\t2024-03-31 12:00:00\r\n"
        "\n"
        "2\t111114\t1\t2024-03-31 12:00:00\n"
        "3\t\t5\t2024-03-31 12:00:00\n"
        "1\t1234\t7\t2024-02-30 12:00:00\n"
        "1\t3.5\t7\t2024-03-31 12:00:00\n";
    const CliRun run = cli({"cast", "--batch", "-"}, lines);
    ASSERT_EQ(run.code, 1) << run.err;  // some lines failed
    std::istringstream out(run.out);
    std::vector<Json::Value> objects;
    for (std::string line; std::getline(out, line);) objects.push_back(parse(line));
    ASSERT_EQ(objects.size(), 7u);
    const CliRun single = cli(Cast1234);
    EXPECT_EQ(objects[0], parse(single.out));
    EXPECT_TRUE(objects[1].isMember("error"));
    EXPECT_TRUE(objects[2].isMember("error"));
    EXPECT_EQ(objects[3]["primary"]["name"].asString(), "泽天夬");
    EXPECT_EQ(objects[4]["header"].asString().rfind("以超时空毫秒起卦,卦主生肖:辰", 0), 0u);
    EXPECT_EQ(objects[5]["error"].asString().rfind("line 6: time: ", 0), 0u);
    EXPECT_EQ(objects[6]["error"].asString().rfind("line 7: input: not a whole number", 0), 0u);

    const CliRun missing = cli({"cast", "--batch", "/nonexistent/requests.tsv"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.out, "");
}

// Enough lines for several chunks on each thread, every method, and a bad line now and then:
// any number of threads gives the one-thread answer, line for line, with the right line
// numbers in its errors.
TEST(CliCastTest, BatchOnSeveralThreadsAnswersInInputOrder) {
    std::string lines;
    std::vector<std::size_t> badLines;
    for (std::size_t n = 1; n <= 1500; ++n) {
        const std::string zodiac = std::to_string(1 + n % 12);
        const std::string time = "20" + std::to_string(10 + n % 20) + "-0" + std::to_string(1 + n % 9) + "-1" +
                                 std::to_string(n % 10) + " 0" + std::to_string(n % 10) + ":00:00";
        if (n % 97 == 0) {
            lines += "4\t1\t" + zodiac + '\t' + time + '\n';
            badLines.push_back(n);
        } else if (n % 3 == 0) {
            lines += "2\t" + std::to_string(111111 + (n % 4) * 111111) + '\t' + zodiac + '\t' + time + '\n';
        } else {
            lines += std::to_string(1 + n % 3 / 2 * 2) + '\t' + std::to_string(n * 7919) + '\t' + zodiac + '\t' + time +
                     '\n';
        }
    }
    const CliRun one = cli({"cast", "--batch", "-", "--jobs", "1"}, lines);
    ASSERT_EQ(one.code, 1) << one.err;
    std::istringstream answers(one.out);
    std::size_t number = 0;
    std::size_t errors = 0;
    for (std::string answer; std::getline(answers, answer);) {
        ++number;
        if (answer.rfind("{\"error\":", 0) != 0) continue;
        ASSERT_LT(errors, badLines.size());
        EXPECT_EQ(number, badLines[errors]);
        EXPECT_EQ(parse(answer)["error"].asString().rfind("line " + std::to_string(number) + ": method: ", 0), 0u);
        ++errors;
    }
    EXPECT_EQ(number, 1500u);
    EXPECT_EQ(errors, badLines.size());
    for (const char* jobs : {"2", "3"}) {
        const CliRun several = cli({"cast", "--batch", "-", "--jobs", jobs}, lines);
        EXPECT_EQ(several.code, 1) << jobs;
        EXPECT_TRUE(several.out == one.out) << jobs << " threads answer otherwise";
    }
}

// A line too long to answer gets its error line and is never held whole: the line after it is
// the next request, not its tail. A byte-order mark an editor wrote is no part of the first line.
TEST(CliCastTest, BatchLinesOfAnyLengthAfterAByteOrderMark) {
    const std::string good = "1\t1234\t7\t2024-03-31 12:00:00";
    const std::string longest = "1\t" + std::string(MaxBatchLineBytes - 2, '1');
    const std::string lines = "\xEF\xBB\xBF" + good + "\n" + longest + "1\t7\n" + good + "\r\n" + longest + '\n' +
                              std::string(3 * MaxBatchLineBytes, '2');
    const TempDirectory dir;
    const std::filesystem::path file = dir.path() / "requests.tsv";
    std::ofstream(file, std::ios::binary) << lines;
    const std::string single = cli(Cast1234).out;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"cast", "--batch", "-", "--jobs", "1"},
          std::vector<std::string>{"cast", "--batch", utf8Path(file), "--jobs", "2"}}) {
        const CliRun run = cli(args, lines);
        EXPECT_EQ(run.code, 1) << args[2];
        std::istringstream out(run.out);
        std::vector<std::string> answers;
        for (std::string line; std::getline(out, line);) answers.push_back(line + '\n');
        ASSERT_EQ(answers.size(), 5u) << args[2];
        EXPECT_EQ(answers[0], single);
        EXPECT_EQ(answers[1], R"j({"error":"line 2: longer than 1 MiB"})j"
                              "\n");
        EXPECT_EQ(answers[2], single);
        EXPECT_EQ(answers[3], R"j({"error":"line 4: zodiac: missing (1 子鼠 ... 12 亥猪)"})j"
                              "\n");
        EXPECT_EQ(answers[4], R"j({"error":"line 5: longer than 1 MiB"})j"
                              "\n");
    }
}

TEST(CliCastTest, JobsMustBeAThreadCountAndGoWithABatch) {
    for (const char* jobs : {"0", "-1", "two", "", "257", "1000"}) {
        const CliRun run = cli({"cast", "--batch", "-", "--jobs", jobs}, "1\t1234\t7\t2024-03-31 12:00:00\n");
        EXPECT_EQ(run.code, 2) << jobs;
        EXPECT_EQ(run.out, "") << jobs;
        EXPECT_EQ(run.err.rfind("orvenna-cli: --jobs: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    const CliRun missing = cli({"cast", "--batch", "-", "--jobs"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_THAT(missing.err, HasSubstr("--jobs"));
    std::vector<std::string> single = Cast1234;
    single.insert(single.end(), {"--jobs", "2"});
    const CliRun withoutBatch = cli(single);
    EXPECT_EQ(withoutBatch.code, 2);
    EXPECT_EQ(withoutBatch.out, "");
    EXPECT_THAT(withoutBatch.err, HasSubstr("--jobs: only with --batch"));
}

TEST(CliCastInputTest, TimeCastingMakesItsNumberFromTheClock) {
    const CastClock clock{0, 1711857600123, -480};
    CastInput in;
    in.method = "3";
    in.zodiac = "1";
    in.time = "2024-03-31 12:00:00";
    auto made = makeRequest(in, clock);
    ASSERT_TRUE(made.ok()) << made.error;
    EXPECT_EQ(made.request.numberText, L"1711857600000");
    EXPECT_EQ(made.request.drawTimeChoice, 1);

    // Tuesday 22:00:17 -> Friday 21:25:17 local; the current milliseconds are added.
    in.time = std::nullopt;
    in.drawTime = true;
    const CastClock tuesday{dayCountFromFields({2024, 4, 2, 22, 0, 17, 123, 0}), 1712066417123, -480};
    made = makeRequest(in, tuesday);
    ASSERT_TRUE(made.ok()) << made.error;
    EXPECT_EQ(made.request.drawTimeChoice, 2);
    EXPECT_EQ(made.request.numberText, L"1712323517123");
    const auto draw = fieldsFromDayCount(made.request.castTime);
    EXPECT_EQ(draw.day, 5);
    EXPECT_EQ(draw.hour, 21);
    EXPECT_EQ(draw.minute, 25);
    EXPECT_EQ(draw.second, 17);
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The real program (or a copy of it) run with `args`, in a process of its own.
CliRun runProgram(const std::vector<std::string>& args,
                  const std::filesystem::path& program = builtProgram(ORVENNA_CLI)) {
    const TempDirectory dir;
    ChildProcess::Options options;
    options.output = dir.path() / "out.txt";
    options.errors = dir.path() / "err.txt";
    std::vector<std::string> arguments = {utf8Path(program)};
    arguments.insert(arguments.end(), args.begin(), args.end());
    const int code = ChildProcess(arguments, options).wait();
    return {code, fileText(options.output), fileText(options.errors)};
}

TEST(CliProcessTest, ExitCodesOfTheRealProgram) {
    CliRun run = runProgram(Cast1234);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("\"header\""));
    run = runProgram({"cast", "--method", "1", "--input", "1234", "--zodiac", "13"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr("--zodiac"));
}

// A copy in a folder whose path is longer than MAX_PATH finds its own folder whole and keeps its
// records beside itself.
TEST(CliProcessTest, AProgramFolderPastMaxPathKeepsItsDataBesideIt) {
    if (underWine()) GTEST_SKIP() << "Wine starts no program from a folder past MAX_PATH; Windows does";
    const TempDirectory dir;
    std::filesystem::path folder = dir.path();
    const std::filesystem::path name = utf8Path(std::string_view("很长的文件夹名称 a long folder name"));
    while (folder.native().size() <= 300) folder /= name;
    std::filesystem::create_directories(folder);
    const std::filesystem::path copy = folder / builtProgram(ORVENNA_CLI).filename();
    std::filesystem::copy_file(builtProgram(ORVENNA_CLI), copy);
    const ScopedEnv home("ORVENNA_HOME", nullptr);
    const CliRun saved =
        runProgram({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--save", "长"}, copy);
    EXPECT_EQ(saved.code, 0) << saved.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "src" / "data" / "ssq.db"));
    EXPECT_EQ(runProgram({"history", "list"}, copy).out.rfind("1\t长(", 0), 0u);
}

// A phone's reader gets back exactly the result text from the picture the panel draws.
TEST(CliProcessTest, TheQrPictureReadsBackAsTheResultText) {
    EXPECT_EQ(cli({"cast", "--method", "1", "--input", "1", "--zodiac", "1", "--qr", "/nonexistent/dir/q.png"}).code,
              1);

    const TempDirectory dir;
    const std::filesystem::path png = dir.path() / "qr.png";
    const CliRun cast = runProgram({"cast", "--method", "2", "--input", "143212", "--zodiac", "5", "--time",
                                    "2026-12-06 21:25:00", "--json", "--qr", utf8Path(png)});
    ASSERT_EQ(cast.code, 0) << cast.err;
    ASSERT_TRUE(std::filesystem::exists(png));
#ifdef _WIN32
    GTEST_SKIP() << "the QR code reader (zbarimg) is a Linux program: the picture is made but not read back";
#endif

    ChildProcess::Options options;
    options.output = dir.path() / "decoded.txt";
    ASSERT_EQ(ChildProcess({"zbarimg", "--raw", "-q", utf8Path(png)}, options).wait(), 0) << "zbarimg found no symbol";
    EXPECT_EQ(fileText(options.output), parse(cast.out)["resultText"].asString() + "\n");
}

// A failed batch line says which line and which column; the batch goes on and then exits 1.
// Options of a single cast are refused with a batch, not ignored.
TEST(CliProcessTest, BatchErrorsNameTheLineAndTheField) {
    SKIP_WITHOUT_POSIX_CHILD();
    const std::string good = "2\t111114\t1\t2024-03-31 12:00:00\n";
    const std::string lines = good + "7\t1\t1\t2024-03-31 12:00:00\n" + good + "\n" + "1\t12\t13\n" + "2\t12345\t1\n" +
                              "1\t\t1\n" + "1\t5\t1\t2024-02-30 00:00:00\r\n" + "1\t5\tx\n" + good;
    const ProgramRun run = cliProcess({"cast", "--batch", "-"}, lines);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "");
    std::istringstream out(run.out);
    std::vector<std::string> printed;
    for (std::string line; std::getline(out, line);) printed.push_back(line);
    const std::string goodJson = cliProcess({"cast", "--batch", "-"}, good).out;
    ASSERT_FALSE(goodJson.empty());
    const std::string g = goodJson.substr(0, goodJson.size() - 1);
    const std::vector<std::string> expected = {
        g,
        R"j({"error":"line 2: method: must be 1, 2 or 3"})j",
        g,
        R"j({"error":"line 4: method: missing (1 number, 2 manual lines, 3 time)"})j",
        R"j({"error":"line 5: zodiac: must be 1..12"})j",
        R"j({"error":"line 6: input: manual lines must be six digits 1..4 (line 1 first)"})j",
        R"j({"error":"line 7: input: missing (the number to cast from)"})j",
        R"j({"error":"line 8: time: not a real date and time (YYYY-MM-DD HH:MM:SS): 2024-02-30 00:00:00"})j",
        R"j({"error":"line 9: zodiac: must be 1..12"})j",
        g,
    };
    EXPECT_EQ(printed, expected);

    const ProgramRun allGood = cliProcess({"cast", "--batch", "-", "--json"}, good + good);
    EXPECT_EQ(allGood.code, 0) << allGood.err;
    EXPECT_EQ(allGood.out, goodJson + goodJson);

    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--save", "t"},
                                                  {"--note", "n"},
                                                  {"--qr", "q.png"},
                                                  {"--method", "1"},
                                                  {"--input", "1"},
                                                  {"--zodiac", "1"},
                                                  {"--time", "2024-03-31 12:00:00"},
                                                  {"--draw-time"}}) {
        std::vector<std::string> args = {"cast", "--batch", "-"};
        args.insert(args.end(), extra.begin(), extra.end());
        const ProgramRun refused = cliProcess(args, good);
        EXPECT_EQ(refused.code, 2) << extra[0];
        EXPECT_EQ(refused.out, "") << extra[0];
        EXPECT_THAT(refused.err, HasSubstr(extra[0] + ": not with --batch"));
    }
}

// A directory or a file that cannot be read, as input or as the picture's place: exit 1 with
// the reason in one line, never an abort and never a silent success.
TEST(CliProcessTest, DirectoriesAndUnreadableFilesFailWithAReason) {
    SKIP_WITHOUT_POSIX_CHILD();
    TempDirectory dir;
    const std::string folder = dir.path().string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"draw", "--file", folder}, "is a directory"},
        {{"cast", "--batch", folder}, "is a directory"},
        {{"cast", "--method", "1", "--input", "1", "--zodiac", "1", "--qr", folder}, "is a directory"},
        {{"draw", "--file", "/proc/self/mem"}, "cannot read"},  // opens, then every read fails
        {{"cast", "--batch", "/proc/self/mem"}, "cannot read"},
        {{"cast", "--batch", folder + "/missing.tsv"}, "cannot read"},
    };
    for (const auto& [args, reason] : runs) {
        const ProgramRun run = cliProcess(args);
        EXPECT_EQ(run.code, 1) << args[1] << ' ' << args.back() << ": " << run.err;
        EXPECT_EQ(run.out, "") << args.back();
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_THAT(run.err, HasSubstr(reason));
    }
}

// What main does with an exception that nothing else caught: one line, exit 1.
TEST(CliProcessTest, AnEscapedExceptionEndsInOneLineAndExitOne) {
    const auto escaped = [](const std::function<void()>& body) {
        std::ostringstream err;
        int code = 0;
        try {
            body();
        } catch (...) {
            code = reportEscapedException(err);
        }
        const std::string line = err.str();
        EXPECT_EQ(code, 1);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        return line;
    };
    EXPECT_THAT(escaped([] { throw FrameworkError(19, "no value\nhere"); }), HasSubstr("no value here (code 19)"));
    EXPECT_THAT(escaped([] { throw std::ios_base::failure("underflow"); }), HasSubstr("underflow"));
    EXPECT_THAT(escaped([] { throw 42; }), HasSubstr("unknown"));
}

class CliHistoryTest : public ::testing::Test {
protected:
    const TempDirectory dir;
    const std::filesystem::path home_ = dir.path() / "home";
    const ScopedEnv programHome{"ORVENNA_HOME", utf8Path(home_).c_str()};
};

TEST_F(CliHistoryTest, SaveListShowReplayDelete) {
    const CliRun saved = cli({"cast", "--method", "2", "--input", "311114", "--zodiac", "3", "--time",
                              "2024-03-31 12:00:00", "--save", "线下", "--note", "三枚硬币"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "1\n");
    const CliRun number = cli({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time",
                               "2024-03-31 21:25:30", "--save", "数字"});
    EXPECT_EQ(number.out, "2\n");

    EXPECT_EQ(cli({"history", "list"}).out, "2\t数字(2024年3月31日21时25分30秒)\n1\t线下(2024年3月31日12时)\n");
    const Json::Value shown = parse(cli({"history", "show", "1", "--json"}).out);
    EXPECT_EQ(shown["dong"].asString(), "1,0,0,0,0,-1");
    EXPECT_EQ(shown["uinfo"].asString(), "三枚硬币");
    EXPECT_EQ(shown["upstr"].asString(), "110");

    // A manual casting replays to the very same analysis; a number casting takes the replay's time.
    const Json::Value original = parse(
        cli({"cast", "--method", "2", "--input", "311114", "--zodiac", "3", "--time", "2024-03-31 12:00:00", "--json"})
            .out);
    EXPECT_EQ(parse(cli({"history", "replay", "1", "--json"}).out), original);
    const Json::Value replayed = parse(cli({"history", "replay", "2", "--time", "2025-01-01 09:30:00", "--json"}).out);
    EXPECT_EQ(replayed["dayPillar"].asString(), "庚午");

    EXPECT_EQ(cli({"history", "delete", "1"}).code, 0);
    const CliRun gone = cli({"history", "show", "1"});
    EXPECT_EQ(gone.code, 1);
    EXPECT_EQ(gone.out, "");
    EXPECT_THAT(gone.err, HasSubstr("no saved result with id 1"));
    EXPECT_EQ(cli({"history", "delete", "1"}).code, 1);
    EXPECT_EQ(cli({"history", "replay", "x"}).code, 2);
    EXPECT_EQ(cli({"cast", "--method", "1", "--input", "1", "--zodiac", "1", "--save", " "}).code, 2);
}

// Past draws come in from a CSV file once each: bad lines, lines the draw rules refuse and a
// period or a date stored otherwise are named by their line, the rest is stored, and importing
// again changes nothing.
// A saved record's chart is the one the window shows for its replay: cast again at the time
// given, as at the moment of asking.
TEST_F(CliHistoryTest, ShowAndReplayWriteTheRecordsChartAsText) {
    const CliRun saved = cli({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time",
                              "2024-03-31 21:25:30", "--save", "数字", "--text"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    const std::string cast =
        cli({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time", "2025-01-01 09:30:00", "--text"})
            .out;
    EXPECT_EQ(saved.out.substr(0, 2), "1\n");
    const CliRun shown = cli({"history", "show", "1", "--text", "--time", "2025-01-01 09:30:00"});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_EQ(shown.out, cast);
    EXPECT_EQ(cli({"history", "replay", "1", "--text", "--time", "2025-01-01 09:30:00"}).out, cast);
    EXPECT_THAT(cli({"history", "show", "1", "--text"}).out, HasSubstr("以数字1234起卦"));
    EXPECT_EQ(cli({"history", "show", "2", "--text"}).code, 1);
}

// The picture needs the window's drawing: the command line says so, and casts and saves
// nothing.
TEST_F(CliHistoryTest, APictureIsRefusedWithTheReasonAndNothingSaved) {
    const CliRun run = cli({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--png",
                            utf8Path(dir.path() / "chart.png"), "--save", "数字"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr("--png"));
    EXPECT_THAT(run.err, HasSubstr("保存图片"));
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "chart.png"));
    EXPECT_FALSE(std::filesystem::exists(EasyDb::databasePath(home_)));
}

TEST_F(CliHistoryTest, DrawsAreImportedOnceAndListed) {
    const std::filesystem::path file = dir.path() / "draws.csv";
    std::ofstream(file, std::ios::binary)
        << "期号,日期,号码\r\n25140,2025-12-02,123456+12\r\n25141,2025/12/5,0,9,8,7,6,5,14\r\n"
           "25142,2025-02-30,123456+1\r\n";
    for (int run = 0; run < 2; ++run) {
        const CliRun imported = cli({"draw", "import", utf8Path(file)});
        EXPECT_EQ(imported.code, 1);
        EXPECT_EQ(imported.out,
                  run == 0 ? "imported 2, already stored 0, refused 1\n" : "imported 0, already stored 2, refused 1\n");
        EXPECT_THAT(imported.err, HasSubstr("draws.csv:4: the date \"2025-02-30\""));
    }
    std::ofstream(file, std::ios::binary)
        << "25140,2025-12-02,123456+11\n25139,2025-12-02,000000+0\n25143,2025-12-03,000000+0\n";
    const CliRun conflicting = cli({"draw", "import", utf8Path(file)});
    EXPECT_EQ(conflicting.code, 1);
    EXPECT_EQ(conflicting.out, "imported 0, already stored 0, refused 3\n");
    EXPECT_THAT(conflicting.err,
                HasSubstr("draws.csv:1: period 25140 is stored as 2025-12-02 123456+12 (imported); kept"));
    EXPECT_THAT(conflicting.err,
                HasSubstr("draws.csv:2: date 2025-12-02 is stored as period 25140 123456+12 (imported); kept"));
    EXPECT_THAT(conflicting.err, HasSubstr("draws.csv:3: period 25143 of 2025-12-03: there is no draw on that day"));

    EXPECT_EQ(cli({"draw", "list"}).out,
              "25140\t2025-12-02\t123456+12\timported\t\n"
              "25141\t2025-12-05\t098765+14\timported\t\n");
    const Json::Value listed = parse(cli({"draw", "list", "--json"}).out);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1]["front"][1].asInt(), 9);
    EXPECT_EQ(listed[1]["blue"].asInt(), 14);
    EXPECT_EQ(cli({"draw", "import"}).code, 2);

    // Saved casts meet their draws: scored beside chance where it is stored, else pending.
    ASSERT_EQ(cli({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time", "2025-12-02 20:00:00",
                   "--save", "drawn"})
                  .code,
              0);
    ASSERT_EQ(cli({"cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time", "2099-01-01 20:00:00",
                   "--save", "later"})
                  .code,
              0);
    const Json::Value reviewed = parse(cli({"history", "list", "--json"}).out);
    ASSERT_EQ(reviewed.size(), 2u);
    EXPECT_EQ(reviewed[0]["status"].asString(), "pending");
    EXPECT_FALSE(reviewed[0].isMember("score"));
    EXPECT_EQ(reviewed[1]["status"].asString(), "matched");
    EXPECT_EQ(reviewed[1]["draw"]["period"].asString(), "25140");
    EXPECT_EQ(reviewed[1]["score"]["positions"].size(), 6u);
    EXPECT_TRUE(reviewed[1]["score"]["chance"]["positionHits"].isDouble());
    const Json::Value stats = parse(cli({"history", "stats", "--json"}).out);
    EXPECT_EQ(stats["matched"].asInt(), 1);
    EXPECT_EQ(stats["pending"].asInt(), 1);
    EXPECT_EQ(stats["positionHits"], reviewed[1]["score"]["positionHits"]);
    // Each total's p-value beside it, as the engine's test gives it, also in the text.
    std::optional<TotalsTest> test;
    {
        EasyDb store(home_);
        const Result<CastReview> review = reviewCasts(store, systemClock());
        ASSERT_TRUE(review);
        test = chanceTest(review->totals.scores);
        ASSERT_TRUE(test);
    }
    EXPECT_NEAR(stats["pValue"]["positionHits"].asDouble(), test->positionP, 1e-3 * test->positionP);
    EXPECT_NEAR(stats["pValue"]["blueHits"].asDouble(), test->blueP, 1e-3 * test->blueP);
    EXPECT_NEAR(stats["pValue"]["likelyHits"].asDouble(), test->likelyP, 1e-3 * test->likelyP);
    EXPECT_DOUBLE_EQ(stats["chance"]["positionHits"].asDouble(),
                     std::round(reviewed[1]["score"]["chance"]["positionHits"].asDouble() * 100) / 100);
    const std::string text = cli({"history", "stats"}).out;
    char blue[80];
    std::snprintf(blue, sizeof blue, "(chance %.2f), p = %.2g\n", stats["chance"]["blueHits"].asDouble(), test->blueP);
    EXPECT_THAT(text, HasSubstr(blue));
    EXPECT_EQ(std::count(text.begin(), text.end(), '='), 3) << text;
}

// Rows an older version stored against today's rules are listed with why they are ignored; a
// wrong draw is deleted by its period, and a period not stored or no period at all is told.
TEST_F(CliHistoryTest, IgnoredDrawsAreListedAndAWrongOneIsDeleted) {
    EXPECT_EQ(cli({"draw", "delete", "25140"}).code, 1) << "nothing stored yet";
    EXPECT_FALSE(std::filesystem::exists(home_)) << "looking made no store";
    {
        EasyDb store(home_);
        ASSERT_EQ(
            sqlite3_exec(store.connection(),
                         "CREATE TABLE draws (period TEXT PRIMARY KEY NOT NULL, draw_date TEXT NOT NULL, "
                         "front TEXT NOT NULL, blue INTEGER NOT NULL, source TEXT NOT NULL, stored_at TEXT "
                         "NOT NULL);"
                         "INSERT INTO draws VALUES('25141','2025-12-02','000000',0,'fetched','2025-12-02 21:40:00');"
                         "INSERT INTO draws VALUES('25140','2025-12-02','123456',12,'imported','2025-12-06 "
                         "10:00:00');"
                         "INSERT INTO draws VALUES('99001','2099-01-02','111111',1,'imported','2025-12-06 "
                         "10:00:00');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
    }
    EXPECT_EQ(cli({"draw", "list"}).out,
              "25140\t2025-12-02\t123456+12\timported\tanother period is stored for its date (25141)\n"
              "25141\t2025-12-02\t000000+0\tfetched\t\n"
              "99001\t2099-01-02\t111111+1\timported\tthe date is after today\n");
    const Json::Value listed = parse(cli({"draw", "list", "--json"}).out);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0]["ignored"].asString(), "another period is stored for its date (25141)");
    EXPECT_TRUE(listed[1].isMember("ignored"));
    EXPECT_TRUE(listed[1]["ignored"].isNull());
    EXPECT_EQ(listed[1]["storedAt"].asString(), "2025-12-02 21:40:00");

    const CliRun deleted = cli({"draw", "delete", "2025141"});
    EXPECT_EQ(deleted.code, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "deleted 25141 2025-12-02 000000+0\n");
    EXPECT_THAT(cli({"draw", "list"}).out, testing::StartsWith("25140\t2025-12-02\t123456+12\timported\t\n"))
        << "the date's other draw is used now";
    const CliRun again = cli({"draw", "delete", "25141"});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.out, "");
    EXPECT_THAT(again.err, HasSubstr("no stored draw of period 25141"));
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"draw", "delete"},
                                                {"draw", "delete", "251"},
                                                {"draw", "delete", "2514x"},
                                                {"draw", "delete", "25140", "25141"}}) {
        const CliRun run = cli(bad);
        EXPECT_EQ(run.code, 2) << bad.size();
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr("PERIOD"));
    }
}

// A file saved by a Chinese spreadsheet is GB18030: its header and draws are read as well.
TEST_F(CliHistoryTest, DrawsAreImportedFromAGb18030File) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    const std::filesystem::path file = dir.path() / "gb.csv";
    std::ofstream(file, std::ios::binary) << "\xC6\xDA\xBA\xC5,\xC8\xD5\xC6\xDA,\xBA\xC5\xC2\xEB\r\n"  // 期号,日期,号码
                                             "25150,2025-12-28,111111+1\r\n";
    const CliRun imported = cli({"draw", "import", utf8Path(file)});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(imported.out, "imported 1, already stored 0, refused 0\n");
}

// Row ids are SQLite's 64-bit ones: printed, listed and taken back whole.
TEST_F(CliHistoryTest, RowIdsBeyond32BitsAreTakenWhole) {
    SKIP_WITHOUT_POSIX_CHILD();
    {
        EasyDb store(home_);
        YsModel first;
        first.ysname = L"五";
        ASSERT_TRUE(store.save(first));
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(utf8Path(store.path()).c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, "UPDATE tarv_table SET _id=5; UPDATE sqlite_sequence SET seq=4294967300;", nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    const ProgramRun saved = cliProcess({"cast", "--method", "2", "--input", "311114", "--zodiac", "3", "--time",
                                         "2024-03-31 12:00:00", "--save", "大"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "4294967301\n");
    EXPECT_EQ(cliProcess({"history", "list"}).out, "4294967301\t大(2024年3月31日12时)\n5\t五\n");
    EXPECT_EQ(parse(cliProcess({"history", "show", "4294967301", "--json"}).out)["_id"].asInt64(), 4294967301);
    EXPECT_EQ(cliProcess({"history", "replay", "4294967301", "--json"}).code, 0);
    EXPECT_EQ(cliProcess({"history", "delete", "4294967301"}).code, 0);
    EXPECT_EQ(cliProcess({"history", "list"}).out, "5\t五\n");
    EXPECT_EQ(cliProcess({"history", "show", "9223372036854775807"}).code, 1);  // a row id, not a saved one

    for (const std::string bad : {"0", "-5", "+5", " 5", "5x", "9223372036854775808", "99999999999999999999", ""}) {
        const ProgramRun run = cliProcess({"history", "delete", bad});
        EXPECT_EQ(run.code, 2) << bad;
        EXPECT_THAT(run.err, HasSubstr("ID")) << bad;
    }
    EXPECT_EQ(cliProcess({"history", "list"}).out, "5\t五\n");
}

// Output that goes nowhere (a full disk, a closed standard output) is a failure, and a saved
// row's id is not lost with it.
TEST_F(CliHistoryTest, OutputThatCannotBeWrittenIsAFailure) {
    SKIP_WITHOUT_POSIX_CHILD();
    const std::vector<std::string> cast = {"cast",   "--method",           "1", "--input", "1234", "--zodiac", "7",
                                           "--time", "2024-03-31 12:00:00"};
    const auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = cast;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const auto failsWithOneLine = [](const ProgramRun& run, const std::string& named) {
        EXPECT_EQ(run.code, 1) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_THAT(run.err, HasSubstr(named));
    };
    failsWithOneLine(cliProcess(cast, "", StdoutTo::DevFull), "output");
    failsWithOneLine(cliProcess(with({"--json"}), "", StdoutTo::Closed), "output");
    failsWithOneLine(cliProcess({"--help"}, "", StdoutTo::DevFull), "output");
    failsWithOneLine(cliProcess(with({"--save", "满"}), "", StdoutTo::DevFull), "saved with id 1");
    failsWithOneLine(cliProcess(with({"--save", "关", "--json"}), "", StdoutTo::Closed), "saved with id 2");
    failsWithOneLine(cliProcess(with({"--save", "管"}), "", StdoutTo::ClosedPipe), "saved with id 3");
    failsWithOneLine(cliProcess({"history", "list"}, "", StdoutTo::DevFull), "output");
    failsWithOneLine(cliProcess({"history", "show", "1"}, "", StdoutTo::Closed), "output");
    // Far more than one buffer: the write fails long before the end.
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "2\t111114\t1\t2024-03-31 12:00:00\n";
    failsWithOneLine(cliProcess({"cast", "--batch", "-"}, lines, StdoutTo::DevFull), "output");

    failsWithOneLine(cliProcess({"history", "list"}, "", StdoutTo::ClosedPipe), "output");
    failsWithOneLine(cliProcess({"cast", "--batch", "-"}, lines, StdoutTo::ClosedPipe), "output");

    EXPECT_EQ(cliProcess({"history", "list"}).out,
              "3\t管(2024年3月31日12时)\n2\t关(2024年3月31日12时)\n1\t满(2024年3月31日12时)\n");
    EXPECT_EQ(cliProcess(cast).code, 0);
}

// A stored row that no cast can make (a method outside 1..3, a zodiac outside 1..12) is refused, not
// replayed as a made-up result.
TEST_F(CliHistoryTest, ARowNoCastCanMakeIsNotReplayed) {
    SKIP_WITHOUT_POSIX_CHILD();
    struct Case {
        int method;
        int zodiac;
        std::string reason;
        std::int64_t id = 0;
    };
    Case cases[] = {
        {7, 3, "unknown casting method 7"}, {0, 3, "unknown casting method 0"}, {-1, 3, "unknown casting method -1"},
        {1, 0, "unknown zodiac 0"},         {1, 99, "unknown zodiac 99"},       {3, 13, "unknown zodiac 13"},
    };
    {
        EasyDb store(home_);
        for (Case& c : cases) {
            YsModel row;
            row.ysname = L"外来";
            row.ysindex = c.method;
            row.ysnumber = L"1234";
            row.gzsxid = c.zodiac;
            row.ysday = 45382.5;
            row.setMovingFlagsText(L"0,0,0,0,0,0");
            ASSERT_TRUE(store.save(row));
            c.id = row._id;
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const ProgramRun run = cliProcess({"history", "replay", std::to_string(c.id), "--json"});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err,
                  "orvenna-cli: saved result " + std::to_string(c.id) + " cannot be replayed: " + c.reason + "\n");
    }
    EXPECT_EQ(cliProcess({"history", "show", std::to_string(cases[0].id)}).code, 0);  // still there to look at
}

// One saved result is one line of the list, whatever its title holds: a line break in a title
// cannot forge a row, a tab cannot forge a column.
TEST_F(CliHistoryTest, EveryListedTitleIsOneLine) {
    SKIP_WITHOUT_POSIX_CHILD();
    const std::vector<std::string> cast = {
        "cast", "--method", "1", "--input", "1234", "--zodiac", "7", "--time", "2024-03-31 12:00:00", "--save"};
    const auto save = [&](const std::string& title) {
        std::vector<std::string> args = cast;
        args.push_back(title);
        const ProgramRun run = cliProcess(args);
        EXPECT_EQ(run.code, 0) << run.err;
    };
    save("伪造\n99\t假的");
    save(
        "a\tb\rc\\d\u2028e\x01"
        "f");
    save("平常");
    save("\x1b[2J左\u202e右");
    EXPECT_EQ(cliProcess({"history", "list"}).out,
              "4\t\\u001b[2J左\\u202e右(2024年3月31日12时)\n"
              "3\t平常(2024年3月31日12时)\n"
              "2\ta\\tb\\rc\\\\d\\u2028e\\u0001f(2024年3月31日12时)\n"
              "1\t伪造\\n99\\t假的(2024年3月31日12时)\n");
    // The record itself keeps its title as saved; shown as text, it is escaped as listed.
    EXPECT_EQ(parse(cliProcess({"history", "show", "1", "--json"}).out)["ysname"].asString(),
              "伪造\n99\t假的(2024年3月31日12时)");
    const std::string shown = cliProcess({"history", "show", "4"}).out;
    EXPECT_THAT(shown, HasSubstr("ysname\t\\u001b[2J左\\u202e右(2024年3月31日12时)\n"));
}

// Looking at records that were never saved creates no store (nor its folders), and says so.
TEST_F(CliHistoryTest, LookingWhereNothingIsSavedCreatesNothing) {
    const CliRun list = cli({"history", "list"});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(list.err, "orvenna-cli: no saved results\n");
    for (const char* verb : {"show", "replay", "delete"}) {
        const CliRun run = cli({"history", verb, "1"});
        EXPECT_EQ(run.code, 1) << verb;
        EXPECT_THAT(run.err, HasSubstr("no saved result with id 1"));
    }
    const Json::Value stats = parse(cli({"history", "stats", "--json"}).out);
    EXPECT_EQ(stats["matched"].asInt(), 0);
    for (const char* total : {"positionHits", "blueHits", "likelyHits"})
        EXPECT_TRUE(stats["pValue"].isMember(total) && stats["pValue"][total].isNull()) << "no test without a draw";
    EXPECT_EQ(cli({"history", "stats"}).out.find("p ="), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home_));
}

TEST_F(CliHistoryTest, SaveFailureIsReportedAndExitsOne) {
    std::filesystem::create_directories(home_ / "src" / "data");
    std::ofstream(home_ / "src" / "data" / "ssq.db") << "not a database";
    const CliRun run = cli({"cast", "--method", "1", "--input", "1", "--zodiac", "1", "--save", "t"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr("保存失败"));
    const CliRun list = cli({"history", "list"});
    EXPECT_EQ(list.code, 1);
    EXPECT_EQ(list.out, "");
}

// `draw` reads a results page, saved or served, and prints the draw it holds.
TEST(CliDrawTest, ReadsASavedPageOrAServedOne) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    const std::string utf8 =
        "<table class=\"kjtable\"><tbody><tr><th>彩种</th></tr></tbody><tbody>"
        "<tr><td>a</td></tr><tr><td>b</td></tr><tr><td>c</td></tr><tr><td>d</td></tr><tr><td>e</td></tr>"
        "<tr><td>七星彩</td><td>二</td><td>24037</td><td>2024-04-02</td><td>"
        "<span class=\"yellow\">1</span><span class=\"yellow\">2</span><span class=\"yellow\">3</span>"
        "<span class=\"yellow\">4</span><span class=\"yellow\">5</span><span class=\"yellow\">6</span>"
        "<span class=\"blue\">7</span></td></tr></tbody></table>";
    // The same page in GB18030, as the site sends it.
    const std::optional<std::string> back = gb18030ToUtf8(std::string("\xC6\xDF\xD0\xC7\xB2\xCA", 6));  // 七星彩
    ASSERT_EQ(back, std::optional<std::string>("七星彩"));
    std::string gb = utf8;
    for (auto [from, to] : {std::pair<std::string, std::string>{"七星彩", "\xC6\xDF\xD0\xC7\xB2\xCA"},
                            {"彩种", "\xB2\xCA\xD6\xD6"},
                            {"二", "\xB6\xFE"}}) {
        for (std::size_t at = gb.find(from); at != std::string::npos; at = gb.find(from, at + to.size()))
            gb.replace(at, from.size(), to);
    }
    TempDirectory dir;
    const auto file = dir.path() / "front.html";
    std::ofstream(file, std::ios::binary) << gb;

    CliRun run = cli({"draw", "--file", file.string(), "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Json::Value draw = parse(run.out);
    EXPECT_EQ(draw["lotteryName"].asString(), "七星彩");
    EXPECT_EQ(draw["period"].asString(), "24037");
    EXPECT_EQ(draw["drawDate"].asString(), "2024-04-02");
    EXPECT_EQ(draw["mainNumbers"].asString(), "123456");
    EXPECT_EQ(draw["extraNumbers"].asString(), "7");
    EXPECT_EQ(draw["status"].asInt(), 200);

    LocalHttpServer server;
    server.route("/", {.status = 200, .body = gb});
    run = cli({"draw", "--url", server.url("/")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "七星彩 24037 2024-04-02 1234567\n");

    // Failures: a missing page, a page cut short (however much of it arrived), a page in
    // another code page, an unusable page, bad arguments.
    EXPECT_EQ(cli({"draw", "--url", server.url("/gone")}).code, 1);
    server.route("/cut", {.status = 200, .headers = {{"Content-Length", std::to_string(gb.size() + 100)}}, .body = gb});
    run = cli({"draw", "--url", server.url("/cut")});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_THAT(run.err, HasSubstr("100 bytes remaining"));
    std::ofstream(file, std::ios::binary) << "\x81\x20 not gb18030";
    EXPECT_EQ(cli({"draw", "--file", file.string()}).code, 1);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "<html></html>";
    EXPECT_EQ(cli({"draw", "--file", file.string()}).code, 1);
    run = cli({"draw", "--url", "x", "--file", "y"});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.out.empty());
}

// A publisher's check before publishing: minisign's own signature (where minisign is at
// hand) and one made as it makes them; a changed file, another key's signature and a
// malformed one are refused with the reason.
TEST(CliUpdateTest, VerifyAcceptsOnlyTheKeysSignatureOfTheSameBytes) {
    TempDirectory dir;
    const auto path = [&](const char* name) { return (dir.path() / name).string(); };
    const TestSigner publisher, stranger;
    publisher.writePublicKey(path("publisher.pub"));
    const std::string installer = "MZ installer 1.1.0";
    std::ofstream(path("setup.exe"), std::ios::binary) << installer;
    std::ofstream(path("setup.exe.minisig"), std::ios::binary) << publisher.sign(installer, "orvenna ver=2");
    std::ofstream(path("stranger.minisig"), std::ios::binary) << stranger.sign(installer, "orvenna ver=2");
    std::ofstream(path("broken.minisig"), std::ios::binary) << "untrusted comment: x\nRUS0\n";
    std::ofstream(path("tampered.exe"), std::ios::binary) << "MZ installer 1.1.1";

    const auto verify = [&](const char* file, const char* signature, const char* key = "publisher.pub") {
        return cli({"update", "verify", path(file), path(signature), "--key", path(key)});
    };
    CliRun run = verify("setup.exe", "setup.exe.minisig");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "orvenna ver=2\n");
    for (const auto& [file, signature, reason] :
         {std::tuple{"tampered.exe", "setup.exe.minisig", "does not match the file"},
          std::tuple{"setup.exe", "stranger.minisig", "another key"},
          std::tuple{"setup.exe", "broken.minisig", "malformed signature"}}) {
        run = verify(file, signature);
        EXPECT_EQ(run.code, 1) << signature;
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr(reason));
    }
    EXPECT_EQ(cli({"update", "verify", path("setup.exe")}).code, 2);

#ifndef _WIN32
    // minisign itself: a key pair without a password, a signature with a trusted comment.
    if (std::system("command -v minisign >/dev/null") != 0) GTEST_SKIP() << "minisign is not installed";
    const std::string made = "minisign -G -W -p " + path("m.pub") + " -s " + path("m.key") +
                             " >/dev/null && minisign -S -s " + path("m.key") + " -m " + path("setup.exe") + " -x " +
                             path("m.minisig") + " -t 'orvenna ver=7' >/dev/null";
    ASSERT_EQ(std::system(made.c_str()), 0);
    run = verify("setup.exe", "m.minisig", "m.pub");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "orvenna ver=7\n");
    EXPECT_EQ(verify("tampered.exe", "m.minisig", "m.pub").code, 1);
#endif
}

// The check tells the truth: exit 0 only for an offer whose index verified, 1 for none, 2 when
// the server could not be asked; nothing the server wrote reaches the terminal unescaped.
TEST(CliUpdateTest, CheckSaysWhetherTheIndexIsSignedAndExitsByTheOffer) {
    TempDirectory dir;
    const ScopedEnv home("ORVENNA_HOME", utf8Path(dir.path()).c_str());
    const TestSigner publisher;
    publisher.writePublicKey(dir.path() / "publisher.pub");
    const std::string key = utf8Path(dir.path() / "publisher.pub");
    LocalHttpServer server;
    std::ofstream(settingsFileIn(dir.path())) << "[sys]\nupdate_url=" << server.url("") << "\n";
    const std::string installerSig = publisher.sign("MZ", "orvenna ver=2");
    std::string sig;
    for (const char c : installerSig) sig += c == '\n' ? std::string("\\n") : std::string(1, c);
    const auto index = [&](const std::string& verns) {
        return "{\"name\": \"Orvenna\", \"ver\": 2, \"verns\": \"" + verns +
               "\", \"day\": \"2026-12-01\", \"url\": \"680074007400700073003A002F002F0078002F00\", \"md5\": "
               "\"0123456789ABCDEF0123456789ABCDEF\", \"body\": \"\", \"size\": 2, \"sig\": \"" +
               sig + "\"}";
    };
    const std::string comment = "product=orvenna platform=" + std::string(UpdatePlatform) + " ver=2";
    const std::string fake = index("V9\\u001b[2K\\ninstall: yes");
    struct Case {
        const char* name;
        std::string json, signature;
        int code;
        std::vector<std::string> said, unsaid;
    };
    const Case cases[] = {
        {"signed",
         index("V1.1.0"),
         publisher.sign(index("V1.1.0"), comment),
         0,
         {"signed: yes, key ", "offer: yes"},
         {}},
        {"unsigned, with a fake verdict", fake, "", 1, {"signed: no", "offer: none"}, {"install: yes", "\x1b"}},
        {"signed, with control text", fake, publisher.sign(fake, comment), 0, {"verns: V9[2Kinstall: yes"}, {"\x1b"}},
    };
    for (const Case& c : cases) {
        server.route("/update/tarv/index.json", {.status = 200, .body = c.json});
        server.route("/update/tarv/index.json.minisig",
                     {.status = c.signature.empty() ? 404 : 200, .body = c.signature});
        const CliRun run = cli({"update", "check", "--key", key});
        EXPECT_EQ(run.code, c.code) << c.name << "\n" << run.out << run.err;
        for (const std::string& text : c.said) EXPECT_THAT(run.out, HasSubstr(text)) << c.name;
        for (const std::string& text : c.unsaid) EXPECT_THAT(run.out, Not(HasSubstr(text))) << c.name;
    }
    // --download: "install: yes" only once the installer came and passed the checks of 立即安装.
    std::ofstream(dir.path() / "setup.bin", std::ios::binary) << "MZ";
    const std::string md5 = *md5Hex(dir.path() / "setup.bin");
    std::string url;
    for (const char c : server.url("/setup.exe")) {
        char unit[8];
        std::snprintf(unit, sizeof unit, "%02X00", static_cast<unsigned char>(c));
        url += unit;
    }
    std::string offered = index("V1.1.0");
    offered.replace(offered.find("680074007400700073003A002F002F0078002F00"), 40, url);
    offered.replace(offered.find("0123456789ABCDEF0123456789ABCDEF"), 32, md5);
    server.route("/update/tarv/index.json", {.status = 200, .body = offered});
    server.route("/update/tarv/index.json.minisig", {.status = 200, .body = publisher.sign(offered, comment)});
    const std::string folder = utf8Path(dir.path());
    for (const auto& [served, code, said] :
         {std::tuple{std::string("MZ"), 0, "install: yes"}, std::tuple{std::string("MX"), 1, "install: no"}}) {
        server.route("/setup.exe", {.status = 200, .body = served});
        const CliRun run = cli({"update", "check", "--key", key, "--download", folder});
        EXPECT_EQ(run.code, code) << run.out << run.err;
        EXPECT_THAT(run.out, HasSubstr(said)) << run.err;
    }

    std::ofstream(settingsFileIn(dir.path())) << "[sys]\nupdate_url=" << server.url("/gone") << "\n";
    server.route("/gone/update/tarv/index.json", {.status = 404, .body = ""});
    const CliRun gone = cli({"update", "check", "--key", key});
    EXPECT_EQ(gone.code, 2);
    EXPECT_THAT(gone.err, HasSubstr("the server answered 404"));
}

}  // namespace
}  // namespace orvenna::cli
