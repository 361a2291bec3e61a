// Per pointer sample the measurement must do a small, fixed amount of work: this times one
// pointer move on the map (smoothing, one segment, the readout texts) over a million samples of a wiggly
// stroke, beside the readout texts alone and an empty timed call, and reports the resident memory before
// and after the million samples.
//
//   build/bench/bench_measure [samples]

#include "measurement.h"
#include "tripmeterreadout.h"

#include <QLocale>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

using Clock = std::chrono::steady_clock;

struct Summary {
    double median, p99, max, mean; // nanoseconds
};

Summary summarise(std::vector<double>& ns)
{
    double sum = 0.0;
    for (double v : ns)
        sum += v;
    const size_t mid = ns.size() / 2, p99 = ns.size() * 99 / 100;
    std::nth_element(ns.begin(), ns.begin() + mid, ns.end());
    const double median = ns[mid];
    std::nth_element(ns.begin(), ns.begin() + p99, ns.end());
    return {median, ns[p99], *std::max_element(ns.begin(), ns.end()), sum / ns.size()};
}

// A hand-drawn-looking route: steady progress with wiggles of a few pixels (15 twips to a pixel).
void samplePoint(long i, float& x, float& y)
{
    x = float(200.0 + 2.3 * (i % 400000) + 45.0 * std::sin(i / 17.0));
    y = float(3000.0 + 900.0 * std::sin(i / 5000.0) + 30.0 * std::sin(i / 7.0));
}

} // namespace

int main(int argc, char** argv)
{
    const long samples = argc > 1 ? std::atol(argv[1]) : 1000000;
    QLocale::setDefault(QLocale::c());
    std::vector<double> full(samples), textsOnly(samples), empty(samples); // allocated and touched up front

    const ScaleFactors factors = ScaleFactors::builtInDefaults();
    const MeasureContext at{1.5f, factors};
    Measurement m;
    m.calibrate(factors);
    m.Image1_MouseDown(1, 0.0f, 0.0f, at);
    m.Image1_MouseUp(1, 1500.0f, 0.0f, at); // 1 km = 1000 unzoomed view units at zoom 1.5
    float x, y;
    samplePoint(0, x, y);
    m.Image1_MouseDown(1, x, y, at);
    for (long i = 1; i <= 1000; ++i) { // warm-up: caches, first allocations
        samplePoint(i, x, y);
        m.Image1_MouseMove(1, x, y, at);
    }

    TripMeterTexts shown;
    const long rssBefore = residentKiB();
    for (long i = 0; i < samples; ++i) {
        samplePoint(1001 + i, x, y);
        const auto t0 = Clock::now();
        const MeasureOutcome out = m.Image1_MouseMove(1, x, y, at);
        const auto t1 = Clock::now();
        shown = *out.readouts;
        full[i] = std::chrono::duration<double, std::nano>(t1 - t0).count();
    }
    const long rssAfter = residentKiB();
    const TripMeterTexts traced = *m.Image1_MouseUp(1, x, y, at).readouts;

    double route = 0.0;
    for (long i = 0; i < samples; ++i) {
        route += 1.7;
        const auto t0 = Clock::now();
        const TripMeterTexts t = TripMeterReadout::refresh(1.7, route, 1000.0, 1.609344, 32767, ".");
        const auto t1 = Clock::now();
        shown = t;
        textsOnly[i] = std::chrono::duration<double, std::nano>(t1 - t0).count();
    }
    for (long i = 0; i < samples; ++i) {
        const auto t0 = Clock::now();
        const auto t1 = Clock::now();
        empty[i] = std::chrono::duration<double, std::nano>(t1 - t0).count();
    }

    const Summary a = summarise(full), b = summarise(textsOnly), c = summarise(empty);
    std::printf("bench_measure: %ld samples of a wiggly stroke\n\n", samples);
    std::printf("%-38s %10s %10s %10s %10s\n", "per call (microseconds)", "median", "p99", "max", "mean");
    const auto row = [](const char* name, const Summary& s) {
        std::printf("%-38s %10.3f %10.3f %10.1f %10.3f\n", name, s.median / 1000, s.p99 / 1000, s.max / 1000,
                    s.mean / 1000);
    };
    row("pointer move with readout texts", a);
    row("readout texts alone", b);
    row("empty timed call (clock overhead)", c);
    std::printf("\nresident memory before %ld KiB, after %ld KiB, growth %ld KiB\n", rssBefore, rssAfter,
                rssAfter - rssBefore);
    std::printf("meters at the end: \"%s\" km, \"%s\" ml, Text5 \"%s\"\n", qPrintable(traced.Text7),
                qPrintable(traced.Text8), qPrintable(traced.Text5));
    std::printf("target: median at most 10 microseconds per call, no growth\n");
    return 0;
}
