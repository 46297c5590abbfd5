// Shards of a test program split by what each case costs, not by its place in the list.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

namespace testsupport
{
// "Suite.Case seconds" per line; a line starting with '#' and lines that do not parse are ignored.
std::map<std::string, double> ReadCaseCosts(std::istream& in);

// The cases of shard `index` (0-based) of `total`, in the order given: the costliest case first,
// each case goes to the shard that costs least so far (the lowest index on a tie). A case the
// costs do not name costs their mean (1 when there are none). Every shard computes the same split.
std::vector<std::string> ShardCases(const std::vector<std::string>& cases, const std::map<std::string, double>& costs,
                                    int total, int index);
} // namespace testsupport
