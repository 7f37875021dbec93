#pragma once
// The console reporter every Google Benchmark program here prints through,
// keeping one figure per benchmark for the ratios printed after the runs.
//
// With repetitions the median aggregate is the figure; a plain run counts
// only where no median exists. So the summary is whole whether the runs are
// plain, repeated, or repeated with --benchmark_report_aggregates_only.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    struct Result {
        double seconds = 0;     // real time per iteration
        double cpuSeconds = 0;  // this process's time per iteration
        std::map<std::string, double> counters;
        bool median = false;
    };
    // Keyed by the benchmark's name without an aggregate's suffix.
    std::map<std::string, Result> results;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool plain = run.run_type == Run::RT_Iteration;
            if (!median && !plain)
                continue;
            Result& kept = results[run.run_name.str()];
            if (plain && kept.median)
                continue;
            // An aggregate's accumulated times are the statistic of the
            // repetitions' totals, each over the same number of iterations.
            const double iterations = run.iterations > 0 ? double(run.iterations) : 1.0;
            Result r;
            r.seconds = run.real_accumulated_time / iterations;
            r.cpuSeconds = run.cpu_accumulated_time / iterations;
            for (const auto& [name, counter] : run.counters)
                r.counters[name] = counter.value;
            r.median = median;
            kept = r;
        }
    }

    // The figure of the first benchmark whose name starts with prefix; 0 when none ran.
    const Result* Find(const std::string& prefix) const
    {
        for (const auto& [name, r] : results)
            if (name.rfind(prefix, 0) == 0)
                return &r;
        return nullptr;
    }
    double Seconds(const std::string& prefix, bool cpu = false) const
    {
        const Result* r = Find(prefix);
        return r ? (cpu ? r->cpuSeconds : r->seconds) : 0;
    }
    double Counter(const std::string& prefix, const std::string& counter) const
    {
        const Result* r = Find(prefix);
        if (!r)
            return 0;
        const auto it = r->counters.find(counter);
        return it == r->counters.end() ? 0 : it->second;
    }
};
