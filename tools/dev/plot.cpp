// A line chart as a small SVG file, written without any library: a fit's
// error per round, one polyline per curve, the axes with their end values and
// a legend. Written whole under a temporary name, like the data files.
#include <algorithm>
#include <cstdio>

#include "dev.h"

namespace {

constexpr double WIDTH = 640, HEIGHT = 400, LEFT = 90, RIGHT = 130, TOP = 40, BOTTOM = 50;

}  // namespace

int devPlot(const char* path, const char* title, const std::vector<DevCurve>& curves) {
    double lo = 0, hi = 0;
    size_t rounds = 1;
    bool any = false;
    for (const DevCurve& c : curves) {
        rounds = std::max(rounds, c.y.size());
        for (double y : c.y) {
            if (y < 0) continue;
            lo = any ? std::min(lo, y) : y;
            hi = any ? std::max(hi, y) : y;
            any = true;
        }
    }
    // A flat curve still needs a height to be drawn in.
    if (hi - lo < 1e-9) lo -= 1e-6, hi += 1e-6;
    const double w = WIDTH - LEFT - RIGHT, h = HEIGHT - TOP - BOTTOM;
    const double xStep = rounds > 1 ? w / double(rounds - 1) : 0;
    const auto yOf = [&](double y) { return TOP + h * (hi - y) / (hi - lo); };

    FILE* f = devCreate(path);
    if (!f) return 0;
    std::fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" "
                    "font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n", WIDTH, HEIGHT);
    std::fprintf(f, "<text x=\"%.0f\" y=\"24\" font-size=\"14\">%s</text>\n", LEFT, title);
    std::fprintf(f, "<path d=\"M%.0f %.0f V%.0f H%.0f\" fill=\"none\" stroke=\"black\"/>\n", LEFT, TOP, TOP + h,
                 LEFT + w);
    std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" text-anchor=\"end\">%.7f</text>\n", LEFT - 6, TOP + 4, hi);
    std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" text-anchor=\"end\">%.7f</text>\n", LEFT - 6, TOP + h + 4, lo);
    std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\">0</text>\n", LEFT, TOP + h + 18);
    std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" text-anchor=\"end\">%zu</text>\n", LEFT + w, TOP + h + 18,
                 rounds - 1);
    std::fprintf(f, "<text x=\"%.0f\" y=\"%.0f\" text-anchor=\"middle\">round</text>\n", LEFT + w / 2, TOP + h + 36);
    double legend = TOP + 10;
    for (const DevCurve& c : curves) {
        std::fprintf(f, "<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"2\" points=\"", c.colour);
        for (size_t i = 0; i < c.y.size(); ++i)
            if (c.y[i] >= 0) std::fprintf(f, "%.1f,%.1f ", LEFT + xStep * double(i), yOf(c.y[i]));
        std::fprintf(f, "\"/>\n<text x=\"%.0f\" y=\"%.0f\" fill=\"%s\">%s</text>\n", LEFT + w + 10, legend, c.colour,
                     c.name);
        legend += 18;
    }
    std::fprintf(f, "</svg>\n");
    return devFinish(f, path);
}
