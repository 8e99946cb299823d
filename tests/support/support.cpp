#include "support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/general.h"
#include "board/make.h"
#include "board/notation.h"
#include "catch_exit.h"
#include "eval/evaltables.h"
#include "eval/params.h"
#include "frontend/interface.h"
#include "frontend/startup.h"
#include "legaltree.h"
#include "search/search.h"
#include "search/transposition.h"

namespace {

// Every test program starts as the engine does: line tables, keys, evaluation.
struct EngineTables : ::testing::Environment {
    void SetUp() override { initStartupTables(), initEngine(); }
};
const auto* const engineTables = ::testing::AddGlobalTestEnvironment(new EngineTables);

}  // namespace

RunResult runProgram(const std::vector<std::string>& args, const std::string& input, double timeoutSec,
                     const std::string& cwd) {
    // Files, not pipes: nothing waits on a full pipe, and the output is whole once the program has ended.
    TempDir io;
    std::ofstream(io.path + "/in") << input;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();  // a session of its own, ended whole below
        const char* names[] = {"/in", "/out", "/err"};
        for (int fd = 0; fd < 3; ++fd)
            ::dup2(::open((io.path + names[fd]).c_str(), fd ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY, 0600), fd);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::alarm(unsigned(timeoutSec));  // a program that runs on past its time ends by the signal
        if (cwd.empty() || ::chdir(cwd.c_str()) == 0) ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    // What the program left (a script's children) ends with it: TERM to its
    // group, on which GNU parallel ends its jobs (sent until the group is gone:
    // parallel heeds it only once its jobs have started), then KILL to all
    // that is left of its session (a job in a group of its own).
    for (int i = 0; i < 500 && ::killpg(pid, SIGTERM) == 0; ++i) ::usleep(10000);
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        const std::string name = e.path().filename(), stat = std::isdigit(name[0]) ? readText(e.path().string() + "/stat") : "";
        int session = 0;  // the sixth field: pid (name) state ppid group session
        if (!stat.empty() && std::sscanf(stat.c_str() + stat.rfind(')') + 1, " %*c %*d %*d %d", &session) == 1 && session == pid)
            ::kill(std::stoi(name), SIGKILL);
    }
    const int status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return {status, readText(io.path + "/out"), readText(io.path + "/err")};
}

RunResult runDev(const std::string& args, double timeoutSec) {
    std::vector<std::string> argv = words(args);
    argv.insert(argv.begin(), ZARV_DEV_BIN);
    return runProgram(argv, "", timeoutSec);
}

RunResult uciSession(const std::string& input) {
    uciReset();
    if (hashMeg != 32 || !hashtable.entries) {
        ttabFreeHashTable(hashtable);
        hashtable = ttabMakeHashTable(hashMeg = 32);
    }
    learned = {}, search = {};
    platformInputFromMemory(input.data(), input.size());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = catchExit([] {
        for (;;) UCI();
    });
    platformInputFromMemory(nullptr, 0);
    uciReset();  // a search left by "quit" leaves its stop behind
    std::string out = testing::internal::GetCapturedStdout();
    return {status, out, testing::internal::GetCapturedStderr()};
}

std::vector<std::string> splitLines(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    return {std::istream_iterator<std::string>(in), {}};
}

std::string logged(const std::function<void()>& f) {
    FILE* const saved = flog;
    flog = std::tmpfile();
    f();
    std::string all(1 << 20, 0);
    std::rewind(flog);
    all.resize(std::fread(all.data(), 1, all.size(), flog));
    std::fclose(flog);
    flog = saved;
    return all;
}

std::string word(const std::string& line, int i) {
    const auto w = words(line.substr(0, line.find('\n')));
    return i < int(w.size()) ? w[size_t(i)] : "";
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != text.npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

Position fromFen(const std::string& fen) {
    Position p{};
    fenToPosition(p, fen.c_str());
    return p;
}

std::deque<Position> playLine(const std::vector<std::string>& moves, const std::string& fen) {
    std::deque<Position> line{fromFen(fen)};
    for (const auto& m : moves) {
        line.emplace_back();
        if (m == "null") make(line[line.size() - 2], line.back(), 0);
        else EXPECT_TRUE(algMake(line[line.size() - 2], line.back(), m.c_str())) << m;
    }
    return line;
}

std::string moveText(Move m) {
    char t[8];
    alg(m, t);
    return t;
}

std::string listText(const Move* list, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.append(i ? " " : "").append(moveText(list[i]));
    return s;
}

void defaultWeights() {
    for (const ParamEntry& e : paramTable) *e.value = e.def;
    reInitEval();
}

std::string dataPath(const std::string& name) { return std::string(ZARV_TEST_DATA) + "/" + name; }

std::vector<std::vector<std::string>> readTable(const std::string& name) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(dataPath(name));
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(' ') == line.npos || line[0] == '#') continue;
        rows.emplace_back();
        for (size_t from = 0, to = 0; to != line.npos; from = to + 1) {
            for (to = line.find('|', from); to != line.npos && to > from && line[to - 1] == '\\';) to = line.find('|', to + 1);
            std::string f;
            for (size_t i = from; i < std::min(to, line.size()); ++i) {  // "\n", "\r", "\t": the control characters
                const size_t e = line[i] == '\\' ? std::string("nrt|").find(line[i + 1]) : std::string::npos;
                f += e == std::string::npos ? line[i] : "\n\r\t|"[e];
                i += e != std::string::npos;
            }
            const size_t first = f.find_first_not_of(' ');
            rows.back().push_back(first == f.npos ? "" : f.substr(first, f.find_last_not_of(' ') + 1 - first));
        }
    }
    return rows;
}

std::vector<PerftCase> loadPerftSuite(const std::string& name) {
    std::vector<PerftCase> suite;
    std::ifstream in(dataPath(name));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        PerftCase c{line.substr(0, line.find(" ;")), {}};
        std::istringstream fields(line.substr(c.fen.size()));  // " ; D1 20 ; D2 400 ..."
        std::string semicolon, depth;
        for (uint64_t count; fields >> semicolon >> depth >> count;) c.counts.push_back(count);
        suite.push_back(c);
    }
    return suite;
}

void walkSuiteTrees(const std::function<void(const Position&, const Position&, Move)>& visit) {
    for (const PerftCase& c : loadPerftSuite()) walkTree(fromFen(c.fen), 2, visit);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TempDir::TempDir() {
    char tmpl[] = "/tmp/zarv-test-XXXXXX";
    path = ::mkdtemp(tmpl) ? tmpl : "/tmp/zarv-test-failed";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}
