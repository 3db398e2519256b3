// The alarm date's reader: whatever text it is given, under whatever short
// date format, it reads a real date or nothing; a date it wrote itself in a
// format reads back as the same date; and date arithmetic stays on real dates.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/AlarmTime.h"

namespace {

void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "RULE BROKEN: %s [%s]\n", what, detail.c_str());
    std::abort();
}

std::string show(const tav::Date& d) {
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

}  // namespace

// An input is laid out as the provider takes it: the format from the front,
// ended by a backslash and one more byte; the date and the days from the
// back (year in the last two bytes, high byte last, then month - 1, day - 1,
// and days + 40000 in three bytes, high byte first); the text in between.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    // Set by run.sh while it runs the seeds alone: each must reach its case.
    static const bool seedCheck = std::getenv("TAV_FUZZ_SEED_CHECK") != nullptr;
    FuzzedDataProvider in(data, size);
    const std::string format = in.ConsumeRandomLengthString(24);
    const Date date{in.ConsumeIntegralInRange(1900, 2199), in.ConsumeIntegralInRange(1, 12),
                    in.ConsumeIntegralInRange(1, 31)};
    const long long days = in.ConsumeIntegralInRange(-40000, 40000);
    const std::string text = in.ConsumeRemainingBytesAsString();
    if (seedCheck && (text.empty() || format.empty()))
        fail("a seed that gives no format or no text to read", format + " | " + text);

    if (const auto read = parseDateText(text, format); read && !isValidDate(*read))
        fail("a date that does not exist was read", text + " | " + format);

    if (isValidDate(date)) {
        const std::string written = formatDate(date, format);
        const auto back = parseDateText(written, format);
        if (!back || *back != date)
            fail("a written date reads back otherwise",
                 show(date) + " as " + written + " | " + format);
        const Date moved = addDays(date, days);
        if (!isValidDate(moved) || addDays(moved, -days) != date)
            fail("days added and taken off again give another date", show(date));
    }
    return 0;
}
