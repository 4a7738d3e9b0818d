// `orvenna-cli cast --batch`: one request a line in, one JSON object a line out, in input order.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string_view>

#include "CastInput.h"
#include "base/CastClock.h"

namespace orvenna::cli {

struct BatchOutcome {
    bool anyLineFailed = false;  // some line was no request; its output line says why
    bool readFailed = false;     // reading broke off; the lines before it were answered
};

// The longest batch line answered; a longer one gets an error line of its own.
inline constexpr std::size_t MaxBatchLineBytes = std::size_t{1} << 20;

// Answers every line of `lines` on `out`, with `jobs` threads casting (1: all on the calling
// thread). The lines are read and answered in chunks, a few chunks a thread in flight at
// once, so memory stays the same whatever the length of the input or of its lines. A UTF-8
// byte-order mark before the first line is skipped. Reading stops once `out` fails.
BatchOutcome castBatch(std::istream& lines, std::ostream& out, const CastClock& clock, unsigned jobs);

// The number of threads a batch uses unless told: one a core.
unsigned defaultBatchJobs();

// Splits one batch line (method, input, zodiac, time; tab-separated) into `input`, reusing
// its storage; an empty or missing field is left out.
void batchLineInput(std::string_view line, CastInput& input);
CastInput batchLineInput(std::string_view line);

}  // namespace orvenna::cli
