#include "MyGDIPlus/ParallelRows.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "Platform/VectorState.h"

void ParallelRows(int rows, int minRows, const std::function<void(int, int)>& work) {
  if (rows <= 0) return;
  const int cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  const int bands = std::clamp(rows / std::max(minRows, 1), 1, cores);
  std::vector<std::thread> helpers;
  std::vector<std::exception_ptr> failures(static_cast<size_t>(bands));
  int begin = 0;
  for (int band = 0; band < bands; ++band) {
    const int end = static_cast<int>(static_cast<int64_t>(rows) * (band + 1) / bands);
    auto run = [&work, &failures, band, begin, end] {
      try {
        // The kernels are SSE code; a state left by the toolkit's AVX2 code slowed them 4-fold.
        Platform::ClearUpperVectorState();
        work(begin, end);
      } catch (...) {
        failures[static_cast<size_t>(band)] = std::current_exception();
      }
    };
    if (band + 1 == bands) {
      run();  // the last band runs on the calling thread
    } else {
      try {
        helpers.emplace_back(run);
      } catch (const std::system_error&) {
        run();  // no thread to be had: do it here
      }
    }
    begin = end;
  }
  for (std::thread& helper : helpers) helper.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}
