// The exit statuses of korvane, every one of them.
#pragma once

namespace korvane::cli {

inline constexpr int kSuccess = 0;
// The work failed, or check found problems.
inline constexpr int kFailure = 1;
// The arguments could not be parsed.
inline constexpr int kUsageError = 2;

// diff's own statuses: the files differ, or one of them could not be compared.
inline constexpr int kDifferent = 1;
inline constexpr int kDiffError = 2;

}  // namespace korvane::cli
