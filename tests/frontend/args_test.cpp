// The command-line parser and the time budget of "go", in process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/general.h"
#include "frontend/interface.h"
#include "frontend/myargs.h"

namespace {

struct Targets {
    char text[512] = "";
    int32_t num = 7, num2 = 7, flag = 0;
    double real = 0;
};

int parse(Targets& t, std::vector<std::string> args, std::string& err) {
    const ArgOption table[] = {{"log", t.text, 1}, {"cpu", &t.num, 2},   {"hd2", &t.num2, 2},
                               {"report", &t.flag, 4}, {"x", &t.real, 3}, {"bad", &t.num, 9},
                               {"", nullptr, 0}};
    std::vector<char*> argv;
    args.insert(args.begin(), "zarv");
    for (auto& a : args) argv.push_back(a.data());
    ::testing::internal::CaptureStderr();
    int r = ParseArgs(int(argv.size()), argv.data(), table);
    err = ::testing::internal::GetCapturedStderr();
    return r;
}

}  // namespace

TEST(ParseArgs, Cases) {
    struct Case {
        std::vector<std::string> args;
        int result;
        std::string err;
        std::string text;
        int32_t num, num2, flag;
        double real;
    } cases[] = {
        {{}, 0, "", "", 7, 7, 0, 0},
        {{"-log", "x.txt"}, 0, "", "x.txt", 7, 7, 0, 0},
        {{"-LOG", "y.txt", "-Cpu", "1"}, 0, "", "y.txt", 1, 7, 0, 0},
        {{"-hd2", "16"}, 0, "", "", 7, 16, 0, 0},
        {{"-report"}, 0, "", "", 7, 7, 1, 0},
        {{"-REPORT", "-x", "2.5"}, 0, "", "", 7, 7, 1, 2.5},
        {{"-cpu", "x"}, 0, "", "", 0, 7, 0, 0},  // values are not checked
        {{"-cpu", "-3"}, 0, "", "", -3, 7, 0, 0},
        {{"-lmr", "1"}, 1, "Error. option -lmr not found.\n", "", 7, 7, 0, 0},
        {{"-help"}, 1, "Error. option -help not found.\n", "", 7, 7, 0, 0},
        {{"-cpu"}, 1, "Error.  No argument.\n", "", 7, 7, 0, 0},
        {{"-hd2", "3", "-cpu"}, 1, "Error.  No argument.\n", "", 7, 3, 0, 0},
        {{"log", "x"}, 1, "Error in command line processing.  option expected at argument 1\n", "", 7, 7, 0, 0},
        {{"-report", "x"}, 1, "Error in command line processing.  option expected at argument 2\n", "", 7, 7, 1, 0},
        {{"-bad", "1"}, 1, "Error.  Do not understand command line switch.", "", 7, 7, 0, 0},
        {{"-"}, 1, "Error. option - not found.\n", "", 7, 7, 0, 0},
    };
    for (const auto& c : cases) {
        Targets t;
        std::string err;
        std::string what;
        for (auto& a : c.args) what += a + " ";
        EXPECT_EQ(parse(t, c.args, err), c.result) << what;
        EXPECT_EQ(err, c.err) << what;
        EXPECT_EQ(std::string(t.text), c.text) << what;
        EXPECT_EQ(t.num, c.num) << what;
        EXPECT_EQ(t.num2, c.num2) << what;
        EXPECT_EQ(t.flag, c.flag) << what;
        EXPECT_DOUBLE_EQ(t.real, c.real) << what;
    }
}

TEST(ParseArgs, LongTextIsCut) {
    Targets t;
    std::string err;
    EXPECT_EQ(parse(t, {"-log", std::string(600, 'a')}, err), 0);
    EXPECT_EQ(std::string(t.text), std::string(511, 'a'));
}

TEST(Helpme, UsageText) {
    ::testing::internal::CaptureStderr();
    helpme("prog");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\nusage: prog {options} \n\n"
              "  -log FILE      log file name\n"
              "  -cpu {0|1}     cpu time?\n"
              "  -help          display this help message\n"
              "  -lmr {1|0}     use late move reductions\n"
              "  -ckq {1|0}     use checks in quies\n"
              "  -nmp {1|0}     use null move pruning\n"
              "\n");
}

TEST(TimeBudget, ClockRules) {
    struct Case {
        GoClock c;
        int col;
        double budget;
    } cases[] = {
        {{60, 0, 0, 0, 0, 0}, 0, 1.5},                 // sudden death: a fortieth
        {{60, 0, 1, 0, 0, 0}, 0, 59.0 / 30 + 0.9},     // increment: a thirtieth plus 0.9 inc
        {{2, 0, 5, 0, 0, 0}, 0, 0.4},                  // never above a fifth of the time
        {{0, 100, 0, 0, 20, 0}, 1, 4.0},               // moves to go: t / (mtg + 5)
        {{500, 100, 0, 0, 20, 0}, 1, 4.0},             // the other side's clock is ignored
        {{0, 100, 0, 30, 20, 0}, 1, 4.0},              // and so is the increment
        {{0.01, 0, 0, 0, 0, 0}, 0, 0.005},             // never below 5 ms
        {{0, 0, 0, 0, 0, 0}, 0, 0.005},                // no clock at all
        {{0, 0, 0, 0, 0, 2.5}, 0, 2.5},                // fixed move time
        {{60, 60, 0, 0, 40, 0.3}, 1, 0.3},             // move time wins over the clock
        {{60, 0, 0, 0, 0, 0}, 1, 0.005},               // black without a clock of its own
        {{0, 60, 0, 0, 0, 0}, 1, 1.5},
        {{0, 60, 0, 2, 0, 0}, 1, 58.0 / 30 + 1.8},
        {{1, 0, 0, 0, 1, 0}, 0, 1.0 / 6},
        {{0.02, 0, 0, 0, 3, 0}, 0, 0.005},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(timeBudget(c.c, c.col), c.budget, 1e-9)
            << c.c.wtime << " " << c.c.btime << " " << c.c.winc << " " << c.c.binc << " " << c.c.movestogo << " "
            << c.c.movetime;
}

TEST(Logger, WritesOnlyWithALog) {
    FILE* saved = flog;
    flog = nullptr;
    logger("nothing %d\n", 1);  // no log: nothing happens
    flog = std::tmpfile();
    ASSERT_NE(flog, nullptr);
    std::string big(20000, 'z');
    logger("a%sb %d\n", big.c_str(), 42);
    logger("short\n");
    std::rewind(flog);
    std::string all;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, flog)) > 0) all.append(buf, n);
    std::fclose(flog);
    flog = saved;
    EXPECT_EQ(all, "a" + big + "b 42\nshort\n");
}

TEST(Clock, SecondsAdvance) {
    double a = seconds(0);
    double w = seconds(1);
    EXPECT_GT(a, 11644473600.0 + 1.7e9);  // after 2023, counted from 1601
    EXPECT_EQ(w, double(int64_t(w)));
    EXPECT_LE(a - w, 1.0 + 1e-3);
}

TEST(StartupTables, LogCurve) {
    initStartupTables();
    EXPECT_EQ(logs[0], 0.0);
    EXPECT_EQ(logs[1], 0.0);
    EXPECT_NEAR(logs[10], 3.0, 1e-12);
    EXPECT_NEAR(logs[100], 6.0, 1e-12);
    EXPECT_NEAR(logs[255], 3.0 * 2.40654018043395, 1e-9);
}
