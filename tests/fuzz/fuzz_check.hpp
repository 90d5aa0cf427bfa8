#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of a fuzz target: a broken one stops the run with a crash the
// fuzzer keeps as a reproducer. assert() would vanish with NDEBUG.
#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : kavrin::fuzz::InvariantBroken(#condition, __FILE__, __LINE__))

namespace kavrin::fuzz {

[[noreturn]] inline void InvariantBroken(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

}  // namespace kavrin::fuzz
