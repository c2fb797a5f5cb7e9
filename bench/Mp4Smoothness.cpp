// Measures how smoothly a video's picture content moves: gray frames (WIDTH × HEIGHT bytes
// each) come on standard input; for every pair of neighbouring frames inside a SEGMENT the
// shift of a patch is found by phase correlation to a fraction of a pixel, and each shift is
// compared with a quadratic fitted through its neighbours. Prints the largest and the RMS
// deviation in pixels. Each segment is measured on the most detailed of nine patches (a flat
// patch has no shift to find).
//
// Usage: mp4-smoothness WIDTH HEIGHT FIRST:LAST ...   (frame ranges, inclusive); with
// MP4_SMOOTHNESS_TRACE set, every deviation above 0.08 px is listed on standard error.

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int Patch = 256;
using TComplex = std::complex<double>;

void Fft(std::vector<TComplex>& a, bool inverse) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = 2 * std::numbers::pi / double(length) * (inverse ? 1 : -1);
        const TComplex step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += length) {
            TComplex w(1);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const TComplex u = a[i + k];
                const TComplex v = a[i + k + length / 2] * w;
                a[i + k] = u + v;
                a[i + k + length / 2] = u - v;
                w *= step;
            }
        }
    }
}

void Fft2(std::vector<TComplex>& grid, bool inverse) {
    std::vector<TComplex> line(Patch);
    for (int y = 0; y < Patch; ++y) {
        std::copy_n(grid.begin() + y * Patch, Patch, line.begin());
        Fft(line, inverse);
        std::copy_n(line.begin(), Patch, grid.begin() + y * Patch);
    }
    for (int x = 0; x < Patch; ++x) {
        for (int y = 0; y < Patch; ++y)
            line[y] = grid[y * Patch + x];
        Fft(line, inverse);
        for (int y = 0; y < Patch; ++y)
            grid[y * Patch + x] = line[y];
    }
}

std::vector<TComplex> Spectrum(const std::vector<unsigned char>& frame, int width, int px, int py) {
    std::vector<TComplex> grid(Patch * Patch);
    double mean = 0;
    for (int y = 0; y < Patch; ++y)
        for (int x = 0; x < Patch; ++x)
            mean += frame[std::size_t(py + y) * width + px + x];
    mean /= Patch * Patch;
    for (int y = 0; y < Patch; ++y) {
        const double wy = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * y / (Patch - 1));
        for (int x = 0; x < Patch; ++x) {
            const double wx = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * x / (Patch - 1));
            grid[y * Patch + x] = (frame[std::size_t(py + y) * width + px + x] - mean) * wx * wy;
        }
    }
    Fft2(grid, false);
    return grid;
}

// The shift of b against a, sub-pixel by a parabola through the peak and its neighbours.
std::pair<double, double> Shift(const std::vector<TComplex>& a, const std::vector<TComplex>& b) {
    std::vector<TComplex> cross(Patch * Patch);
    for (std::size_t i = 0; i < cross.size(); ++i) {
        const TComplex c = b[i] * std::conj(a[i]);
        cross[i] = std::abs(c) > 1e-12 ? c / std::abs(c) : 0;
    }
    Fft2(cross, true);
    int best = 0;
    for (int i = 1; i < Patch * Patch; ++i)
        if (cross[i].real() > cross[best].real())
            best = i;
    const int bx = best % Patch;
    const int by = best / Patch;
    auto at = [&](int x, int y) {
        return cross[((y + Patch) % Patch) * Patch + (x + Patch) % Patch].real();
    };
    auto refine = [](double l, double c, double r) {
        const double d = l - 2 * c + r;
        return std::abs(d) < 1e-12 ? 0.0 : 0.5 * (l - r) / d;
    };
    double dx = bx + refine(at(bx - 1, by), at(bx, by), at(bx + 1, by));
    double dy = by + refine(at(bx, by - 1), at(bx, by), at(bx, by + 1));
    if (dx > Patch / 2)
        dx -= Patch;
    if (dy > Patch / 2)
        dy -= Patch;
    return {dx, dy};
}

// How much detail a patch holds: the sum of its neighbour differences.
double Detail(const std::vector<unsigned char>& frame, int width, int px, int py) {
    double sum = 0;
    for (int y = 0; y + 1 < Patch; ++y)
        for (int x = 0; x + 1 < Patch; ++x) {
            const int at = (py + y) * width + px + x;
            sum += std::abs(frame[at] - frame[at + 1]) + std::abs(frame[at] - frame[at + width]);
        }
    return sum;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: mp4-smoothness WIDTH HEIGHT FIRST:LAST ...\n");
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    if (width < 2 * Patch || height < 2 * Patch) {
        std::fprintf(stderr, "mp4-smoothness: the frame is too small\n");
        return 2;
    }
    std::vector<std::pair<int, int>> candidates;
    for (int y : {height / 4, height / 2, 3 * height / 4})
        for (int x : {width / 4, width / 2, 3 * width / 4})
            candidates.emplace_back(std::clamp(x - Patch / 2, 0, width - Patch),
                                    std::clamp(y - Patch / 2, 0, height - Patch));
    int px = 0;
    int py = 0;
    std::vector<std::pair<long, long>> segments;
    for (int i = 3; i < argc; ++i) {
        const std::string range = argv[i];
        const auto colon = range.find(':');
        segments.emplace_back(std::atol(range.substr(0, colon).c_str()),
                              std::atol(range.substr(colon + 1).c_str()));
    }
    std::vector<unsigned char> frame(std::size_t(width) * height);
    std::vector<std::vector<std::pair<double, double>>> shifts(segments.size());
    std::vector<TComplex> previous;
    long previousNumber = -2;
    for (long number = 0; std::fread(frame.data(), 1, frame.size(), stdin) == frame.size();
         ++number) {
        std::size_t segment = segments.size();
        for (std::size_t s = 0; s < segments.size(); ++s)
            if (number >= segments[s].first && number <= segments[s].second)
                segment = s;
        if (segment == segments.size())
            continue;
        if (number == segments[segment].first) {
            double best = -1;
            for (const auto& [x, y] : candidates) {
                const double detail = Detail(frame, width, x, y);
                if (detail > best) {
                    best = detail;
                    px = x;
                    py = y;
                }
            }
        }
        std::vector<TComplex> spectrum = Spectrum(frame, width, px, py);
        if (previousNumber == number - 1 && number > segments[segment].first)
            shifts[segment].push_back(Shift(previous, spectrum));
        previous = std::move(spectrum);
        previousNumber = number;
    }
    // Each shift against a quadratic through the seven on either side of it.
    double worst = 0;
    double squares = 0;
    long count = 0;
    double travelled = 0;
    for (const auto& list : shifts) {
        const int half = 7;
        for (int i = half; i + half < int(list.size()); ++i) {
            for (int axis = 0; axis < 2; ++axis) {
                double s[5] = {}, t[3] = {};
                for (int k = -half; k <= half; ++k) {
                    const double v = axis ? list[i + k].second : list[i + k].first;
                    double p = 1;
                    for (int e = 0; e < 5; ++e, p *= k)
                        s[e] += p;
                    t[0] += v;
                    t[1] += v * k;
                    t[2] += v * k * k;
                }
                // Normal equations of c0 + c1 k + c2 k²; only c0 (the value at k = 0) is needed.
                const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
                const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                                   m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                                   m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
                const double c0 = (t[0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                                   m[0][1] * (t[1] * m[2][2] - m[1][2] * t[2]) +
                                   m[0][2] * (t[1] * m[2][1] - m[1][1] * t[2])) /
                                  det;
                const double v = axis ? list[i].second : list[i].first;
                if (std::getenv("MP4_SMOOTHNESS_TRACE") && std::abs(v - c0) > 0.08)
                    std::fprintf(stderr, "pair %d axis %d: %.3f\n", i, axis, v - c0);
                worst = std::max(worst, std::abs(v - c0));
                squares += (v - c0) * (v - c0);
                ++count;
                travelled += std::abs(v);
            }
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "mp4-smoothness: no frame pairs measured\n");
        return 1;
    }
    std::printf("max=%.3f rms=%.3f mean-shift=%.3f pairs=%ld\n", worst, std::sqrt(squares / count),
                travelled / count, count / 2);
    return 0;
}
