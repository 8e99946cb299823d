// The command-line parser: the bytes split at zero bytes into arguments and
// parsed with the engine's own option table.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/general.h"
#include "frontend/myargs.h"
#include "fuzz_targets.h"

int fuzzArgs(const uint8_t* data, size_t size) {
    fuzzInit();
    std::vector<std::string> words{"zarv"};
    std::string cur;
    for (size_t i = 0; i < size && words.size() < 64; ++i) {
        if (data[i]) cur += char(data[i]);
        else words.push_back(std::exchange(cur, {}));
    }
    if (!cur.empty()) words.push_back(cur);
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    const int32_t saved[] = {CPU, omt, use_razor, hd1, hd2};
    int32_t report = 0;
    const int r = parseEngineArgs(int(argv.size()) - 1, argv.data(), &report);
    FUZZ_CHECK(r == 0 || r == 1);
    FUZZ_CHECK(std::strlen(logfile) < sizeof logfile);
    FUZZ_CHECK(report == 0 || report == 1);
    if (r) helpme(argv[0]);
    CPU = saved[0], omt = saved[1], use_razor = saved[2], hd1 = saved[3], hd2 = saved[4];
    logfile[0] = 0;
    return 0;
}
