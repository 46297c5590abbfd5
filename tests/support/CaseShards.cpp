// Shards of a test program split by cost: longest-first onto the least loaded shard.
#include "support/CaseShards.h"

#include <algorithm>
#include <numeric>
#include <sstream>

namespace testsupport
{
std::map<std::string, double> ReadCaseCosts(std::istream& in)
{
    std::map<std::string, double> costs;
    std::string line;
    while (std::getline(in, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name;
        double seconds = 0.0;
        if (fields >> name >> seconds && seconds >= 0.0)
            costs[name] = seconds;
    }
    return costs;
}

std::vector<std::string> ShardCases(const std::vector<std::string>& cases, const std::map<std::string, double>& costs,
                                    int total, int index)
{
    if (total < 1 || index < 0 || index >= total)
        return {};
    double mean = 1.0;
    if (!costs.empty())
    {
        double sum = 0.0;
        for (const auto& entry : costs)
            sum += entry.second;
        mean = sum / static_cast<double>(costs.size());
    }
    auto cost = [&](size_t i)
    {
        const auto found = costs.find(cases[i]);
        return found == costs.end() ? mean : found->second;
    };
    std::vector<size_t> order(cases.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b)
                     { return cost(a) > cost(b) || (cost(a) == cost(b) && cases[a] < cases[b]); });
    std::vector<double> load(static_cast<size_t>(total), 0.0);
    std::vector<bool> mine(cases.size(), false);
    for (size_t i : order)
    {
        const size_t least = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
        load[least] += cost(i);
        mine[i] = least == static_cast<size_t>(index);
    }
    std::vector<std::string> picked;
    for (size_t i = 0; i < cases.size(); ++i)
        if (mine[i])
            picked.push_back(cases[i]);
    return picked;
}
} // namespace testsupport
