#include "support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/general.h"
#include "board/make.h"
#include "board/notation.h"
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "eval/params.h"
#include "frontend/startup.h"

namespace {

// Every test program starts as the engine does: line tables, keys, evaluation.
struct EngineTables : ::testing::Environment {
    void SetUp() override { initStartupTables(), initEngine(); }
};
const auto* const engineTables = ::testing::AddGlobalTestEnvironment(new EngineTables);

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Reads whatever is available on the process's pipes within `wait` seconds.
void pump(Proc& p, double wait) {
    pollfd fds[2] = {{p.out, POLLIN, 0}, {p.err, POLLIN, 0}};
    if ((p.out < 0 && p.err < 0) || ::poll(fds, 2, int(wait * 1000)) <= 0) return;
    char buf[65536];
    for (int i = 0; i < 2; ++i) {
        int& fd = i == 0 ? p.out : p.err;
        if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r > 0) (i == 0 ? p.outBuf : p.errBuf).append(buf, size_t(r));
        else ::close(fd), fd = -1;
    }
}

}  // namespace

Proc startProc(const std::vector<std::string>& args, const std::string& cwd) {
    int pin[2], pout[2], perr[2];
    if (::pipe(pin) || ::pipe(pout) || ::pipe(perr)) std::abort();
    Proc p;
    p.pid = ::fork();
    if (p.pid == 0) {
        ::dup2(pin[0], 0);
        ::dup2(pout[1], 1);
        ::dup2(perr[1], 2);
        for (int fd : {pin[0], pin[1], pout[0], pout[1], perr[0], perr[1]}) ::close(fd);
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(127);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    for (int fd : {pin[0], pout[1], perr[1]}) ::close(fd);
    p.in = pin[1], p.out = pout[0], p.err = perr[0];
    ::signal(SIGPIPE, SIG_IGN);
    return p;
}

void sendLine(Proc& p, const std::string& line) {
    const std::string s = line + "\n";  // the engine may already have exited: the test will see that
    if (p.in >= 0) (void)!::write(p.in, s.data(), s.size());
}

void closeInput(Proc& p) {
    if (p.in >= 0) ::close(p.in);
    p.in = -1;
}

std::string waitForLine(Proc& p, const std::string& prefix, double timeoutSec) {
    double end = now() + timeoutSec;
    for (;;) {
        size_t nl;
        while ((nl = p.outBuf.find('\n', p.outPos)) != std::string::npos) {
            std::string line = p.outBuf.substr(p.outPos, nl - p.outPos);
            p.outPos = nl + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.compare(0, prefix.size(), prefix) == 0) return line;
        }
        double left = end - now();
        if (left <= 0 || p.out < 0) return "<timeout>";  // stdout closed: nothing more can come
        pump(p, left < 0.05 ? left : 0.05);
    }
}

int waitExit(Proc& p, double timeoutSec) {
    double end = now() + timeoutSec;
    for (;;) {
        int st;
        pid_t r = ::waitpid(p.pid, &st, WNOHANG);
        if (r == p.pid) {
            while (p.out >= 0 || p.err >= 0) pump(p, 0.2);
            p.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            closeInput(p);
            return p.status;
        }
        if (now() > end) {
            ::kill(p.pid, SIGKILL);
            ::waitpid(p.pid, &st, 0);
            closeInput(p);
            return -1;
        }
        pump(p, 0.02);
    }
}

std::vector<std::string> splitLines(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

RunResult runProgram(const std::vector<std::string>& args, const std::string& input, double timeoutSec,
                     const std::string& cwd) {
    Proc p = startProc(args, cwd);
    if (!input.empty()) (void)!::write(p.in, input.data(), input.size());
    closeInput(p);
    int st = waitExit(p, timeoutSec);
    return {st, p.outBuf, p.errBuf};
}

RunResult runDev(const std::string& args, double timeoutSec) {
    std::vector<std::string> argv = {ZARV_DEV_BIN};
    std::istringstream in(args);
    for (std::string w; in >> w;) argv.push_back(w);
    return runProgram(argv, "", timeoutSec);
}

Position fromFen(const std::string& fen) {
    Position p{};
    fenToPosition(p, fen.c_str());
    return p;
}

void defaultWeights() {
    for (const ParamEntry& e : paramTable) *e.value = e.def;
    reInitEval();
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

std::string dataPath(const std::string& name) { return std::string(ZARV_TEST_DATA) + "/" + name; }

std::vector<PerftCase> loadPerftSuite() {
    std::vector<PerftCase> suite;
    std::ifstream in(dataPath("perft.epd"));
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

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string makeTempDir() {
    char tmpl[] = "/tmp/zarv-test-XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    return d ? d : "/tmp";
}

void removeTree(const std::string& dir) {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
