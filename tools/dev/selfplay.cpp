// zarv-dev selfplay: games of Zarv against itself, written as training data
// for the tuner. A run can be split into shards (--shard K/M) that other
// cores or machines play; merged by game index they give the same file.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dev.h"
#include "board/chess960.h"
#include "board/notation.h"
#include "eval/params.h"
#include "learn/selfplay.h"

namespace {

const char* const USAGE =
    "selfplay OUT [--games N] [--nodes N] [--seed S] [--openings FILE] [--shard K/M] [--chess960] [--random-plies N] [--scores] [--personality FILE]   self-play training data";

// The FENs of an EPD file: the first four fields of every line that has
// them and sets up a legal position.
bool readOpenings(const char* path, std::vector<std::string>& fens) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string field, fen, side;
        int fields = 0;
        while (fields < 4 && words >> field) {
            if (fields++) fen += ' ';
            fen += field;
            if (fields == 2) side = field;
        }
        // The reader ends the process on a side other than w or b.
        if (fields == 4 && (side == "w" || side == "b") && fenIsValid(fen.c_str())) fens.push_back(fen);
    }
    return true;
}

void progress(long long done, long long total, long long kept, double elapsed, const char* shard) {
    const double rate = elapsed > 0 ? double(done) / elapsed : 0;
    const long long left = rate > 0 ? (long long)(double(total - done) / rate + 0.5) : 0;
    std::fprintf(stderr, "selfplay%s: %lld/%lld games, %lld positions, %.2f games/s, %lldm%02llds left\n", shard, done,
                 total, kept, rate, left / 60, left % 60);
}

int selfplayMain(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: zarv-dev %s\n", USAGE);
        return DEV_USAGE;
    }
    const char* out = argv[1];
    long games = 100, nodes = 1000, seed = 1, shard = 0, shards = 1;
    const char* openings = nullptr;
    const char* personality = nullptr;
    long randomPlies = 0;
    bool scores = false;
    for (int i = 2; i < argc; i += 2) {
        const char* opt = argv[i];
        if (std::strcmp(opt, "--scores") == 0) {  // the one option without a value
            scores = true;
            --i;
            continue;
        }
        const char* val = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = val != nullptr;
        if (ok && std::strcmp(opt, "--games") == 0)
            ok = devNumber(val, games) && games >= 0;
        else if (ok && std::strcmp(opt, "--nodes") == 0)
            ok = devNumber(val, nodes) && nodes >= 1;
        else if (ok && std::strcmp(opt, "--seed") == 0)
            ok = devNumber(val, seed) && seed >= 0;
        else if (ok && std::strcmp(opt, "--random-plies") == 0)
            ok = devNumber(val, randomPlies) && randomPlies >= 0 && randomPlies <= 100;
        else if (ok && std::strcmp(opt, "--openings") == 0)
            openings = val;
        else if (ok && std::strcmp(opt, "--personality") == 0)
            personality = val;
        else if (ok && std::strcmp(opt, "--shard") == 0) {
            const char* slash = std::strchr(val, '/');
            ok = slash && devNumber(std::string(val, slash).c_str(), shard) && devNumber(slash + 1, shards) &&
                 shards >= 1 && shard >= 0 && shard < shards;
        } else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "zarv-dev selfplay: bad option %s%s%s\nusage: zarv-dev %s\n", opt, val ? " " : "",
                         val ? val : "", USAGE);
            return DEV_USAGE;
        }
    }
    std::vector<std::string> fens;
    if (openings && (!readOpenings(openings, fens) || fens.empty())) {
        std::fprintf(stderr, "zarv-dev selfplay: no openings in \"%s\"\n", openings);
        return DEV_USAGE;
    }
    // Both sides play with the file's weights: a tuned set makes the next
    // generation's data.
    if (personality && !readPersonality(personality)) {
        std::fprintf(stderr, "zarv-dev selfplay: cannot open personality file \"%s\"\n", personality);
        return DEV_USAGE;
    }
    // Fischer random games start from one of the 960 start positions.
    for (int n = 0; chess960On() && !openings && n < 960; ++n) {
        char fen[80];
        chess960Start(n, fen);
        fens.push_back(fen);
    }
    std::vector<const char*> fenPtrs;
    for (const std::string& f : fens) fenPtrs.push_back(f.c_str());

    // The file appears under its name only when every game is in it: a run
    // that is killed leaves at most the temporary file.
    FILE* f = devCreate(out);
    if (!f) {
        std::fprintf(stderr, "zarv-dev selfplay: cannot write \"%s.tmp\"\n", out);
        return 1;
    }
    selfplaySetup();

    SelfPlay sp;
    sp.nodes = uint64_t(nodes);
    sp.seed = uint64_t(seed);
    sp.openings = fenPtrs.data();
    sp.openingCount = int32_t(fenPtrs.size());
    sp.randomPlies = int32_t(randomPlies);
    sp.scores = scores;
    char shardText[32] = "";
    if (shards > 1) std::snprintf(shardText, sizeof shardText, " %ld/%ld", shard, shards);

    static Game game;
    const long long total = games > shard ? (games - shard + shards - 1) / shards : 0;
    long long done = 0, kept = 0;
    const double start = devNow();
    double lastReport = start;
    for (long i = shard; i < games; i += shards) {
        kept += playGame(sp, uint64_t(i), game, f);
        ++done;
        const double t = devNow();
        if (t - lastReport >= 10.0) {
            progress(done, total, kept, t - start, shardText);
            lastReport = t;
        }
    }
    if (!devFinish(f, out)) {
        std::fprintf(stderr, "zarv-dev selfplay: writing \"%s\" failed\n", out);
        return 1;
    }
    progress(done, total, kept, devNow() - start, shardText);
    return 0;
}

const DevRegister selfplayCmd("selfplay", USAGE, selfplayMain);

}  // namespace
