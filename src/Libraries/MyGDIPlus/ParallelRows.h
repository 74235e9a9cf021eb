// Splitting a pixel kernel's rows over the processor cores. Each row is computed the same way
// whichever thread runs it, so the result does not depend on the split.
#pragma once

#include <functional>

// Calls work(begin, end) on disjoint bands covering [0, rows); bands smaller than `minRows`
// are not split off. Returns when every band is done.
void ParallelRows(int rows, int minRows, const std::function<void(int begin, int end)>& work);
