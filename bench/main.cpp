#include "paintedstate.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The console output, followed by the ratios of PSet to the raw dots (their median CPU times
// over the repetitions, or the times of the single runs without repetitions) and of the
// editor's redraw at INST 1000 to one thread walking and storing the same dots (median real
// times, the redraw using every core).
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const std::string &name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration) {
                m_times[name].push_back(run.GetAdjustedCPUTime());
                m_realTimes[name].push_back(run.GetAdjustedRealTime());
            } else if (run.aggregate_name == "median") {
                m_medians[name] = run.GetAdjustedCPUTime();
                m_realMedians[name] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n");
        if (const double raw = median("BM_rawDots"); raw > 0) {
            for (const char *name : {"BM_PSet", "BM_plotRun", "BM_plotDots"}) {
                if (const double pset = median(name); pset > 0)
                    std::printf("%s / BM_rawDots (median CPU time): %.1f (target: at most 2)\n",
                                name, pset / raw);
            }
        }
        for (const char *size : {"1920x1080", "796x796"}) {
            const std::string redraw = std::string("BM_editorRedraw/INST_1000_") + size;
            const std::string floor = std::string("BM_plainWalkAndStore/INST_1000_") + size;
            const double plain = median(floor, m_realMedians, m_realTimes);
            if (const double time = median(redraw, m_realMedians, m_realTimes);
                time > 0 && plain > 0)
                std::printf("%s / %s (median real time): %.2f (budget: at most 0.6)\n",
                            redraw.c_str(), floor.c_str(), time / plain);
        }
    }

private:
    double median(const std::string &name) { return median(name, m_medians, m_times); }

    static double median(const std::string &name, const std::map<std::string, double> &medians,
                         std::map<std::string, std::vector<double>> &allTimes)
    {
        if (const auto found = medians.find(name); found != medians.end())
            return found->second;
        std::vector<double> &times = allTimes[name];
        if (times.empty())
            return 0;
        std::sort(times.begin(), times.end());
        const std::size_t middle = times.size() / 2;
        return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    }

    std::map<std::string, std::vector<double>> m_times;
    std::map<std::string, double> m_medians;
    std::map<std::string, std::vector<double>> m_realTimes;
    std::map<std::string, double> m_realMedians;
};

} // namespace

int main(int argc, char *argv[])
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The surface is a widget, but is never shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The walks and redraws are timed as the program runs them: after Qt has painted.
    paintAndClear();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
