#include "paintedstate.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The console output, followed by the ratios of PSet to the raw dots: their median CPU times
// over the repetitions (the times of the single runs without repetitions).
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
            if (run.run_type == Run::RT_Iteration)
                m_times[name].push_back(run.GetAdjustedCPUTime());
            else if (run.aggregate_name == "median")
                m_medians[name] = run.GetAdjustedCPUTime();
            // The redraws held against their floors, by median (or the single run).
            const auto ratio = run.counters.find("ratio");
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (ratio != run.counters.end() && (single || run.aggregate_name == "median"))
                m_budgets.push_back({run.run_name.str(), run.GetAdjustedRealTime(),
                                     run.counters.at("floor_ms"), ratio->second,
                                     run.counters.at("budget"), run.counters.at("allowance_ms"),
                                     run.counters.at("margin_ms")});
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (!m_budgets.empty())
            std::printf("\nRedraws against one thread walking what changed (medians):\n");
        for (const Budget &b : m_budgets) {
            const bool kept = b.allowanceMs > 0 ? b.marginMs <= 0 : b.ratio <= b.budget;
            std::printf("%s: %.2f ms, %.2f of the floor's %.2f ms (budget %.2f", b.name.c_str(),
                        b.redrawMs, b.ratio, b.floorMs, b.budget);
            if (b.allowanceMs > 0)
                std::printf(" of the floor + %.1f ms; margin %+.2f ms", b.allowanceMs, b.marginMs);
            std::printf("): %s\n", kept ? "kept" : "NOT KEPT");
        }
        const double raw = median("BM_rawDots");
        if (raw <= 0)
            return;
        std::printf("\n");
        for (const char *name : {"BM_PSet", "BM_plotRun", "BM_plotDots"}) {
            if (const double pset = median(name); pset > 0)
                std::printf("%s / BM_rawDots (median CPU time): %.1f (target: at most 2)\n", name,
                            pset / raw);
        }
    }

private:
    double median(const std::string &name)
    {
        if (const auto found = m_medians.find(name); found != m_medians.end())
            return found->second;
        std::vector<double> &times = m_times[name];
        if (times.empty())
            return 0;
        std::sort(times.begin(), times.end());
        const std::size_t middle = times.size() / 2;
        return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    }

    struct Budget
    {
        std::string name;
        double redrawMs;
        double floorMs;
        double ratio;
        double budget;
        double allowanceMs;
        double marginMs;
    };
    std::vector<Budget> m_budgets;
    std::map<std::string, std::vector<double>> m_times;
    std::map<std::string, double> m_medians;
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
    // Settings and recovery files of the benchmarks' own, so that the user's are left alone
    // (the joins panel and the comb are remembered settings).
    const QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    QApplication application(argc, argv);
    // The walks and redraws are timed as the program runs them: after Qt has painted.
    paintAndClear();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
