#include "platform/GuardedCall.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

void ToStandardError(const char* line)
{
    std::fputs(line, stderr);
}

std::atomic<EscapeReportSink> sink{&ToStandardError};
std::atomic<int> escaped{0};

// The places reported already; a fixed table, since a report may come when
// memory has run out. Places beyond it are reported every time.
constexpr int kPlaces = 64;
std::mutex placesMutex;
const char* places[kPlaces] = {};
int placeCount = 0;

bool FirstAt(const char* where)
{
    std::lock_guard<std::mutex> lock(placesMutex);
    for (int i = 0; i < placeCount; ++i)
        if (places[i] == where || std::strcmp(places[i], where) == 0)
            return false;
    if (placeCount < kPlaces)
        places[placeCount++] = where;
    return true;
}

} // namespace

void SetEscapeReportSink(EscapeReportSink to) noexcept
{
    sink = to ? to : &ToStandardError;
}

void ReportEscapedException(const char* where, const char* what) noexcept
{
    ++escaped;
    try {
        if (!FirstAt(where))
            return;
    } catch (...) {
        return; // no lock to be had: counted, not told
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "Quorvallis: %s threw (%s); it was stopped there and the program goes on. "
                  "Later ones at this place are not told.\n",
                  where, what ? what : "");
    sink.load()(line);
}

int EscapedExceptionCount() noexcept
{
    return escaped.load();
}
