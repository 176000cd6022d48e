#pragma once

// A console reporter that keeps each benchmark's CPU time per iteration (the median of the
// repetitions when there are any, else the single run), so that a benchmark program can print
// ratios against a peer measured in the same run.
#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // The median of repetitions when there are any, else the single run.
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[name] = run.GetAdjustedCPUTime(), medians.insert(name);
            else if (run.run_type == Run::RT_Iteration && !medians.count(name))
                times[name] = run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> times;
    std::set<std::string> medians;
};
