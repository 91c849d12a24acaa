// QvInspect run from the end-to-end tests: it reads a window of another
// process and prints one record per line, its fields separated by tabs.
#pragma once

#include "WineSession.h"

#include <sstream>
#include <string>
#include <vector>

namespace inspector {

using Record = std::vector<std::string>;

inline std::vector<Record> Records(const std::string& output)
{
    std::vector<Record> records;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        // The Wine console ends lines with CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Record record;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t'))
            record.push_back(field);
        if (!line.empty() && line.back() == '\t')
            record.push_back("");
        records.push_back(record);
    }
    return records;
}

// Runs the inspector on the window titled `title`; its exit code goes to
// *status when asked for.
inline std::vector<Record> Inspect(const std::string& title, const std::vector<std::string>& args,
                                   int* status = nullptr)
{
    auto& session = WineSession::Current();
    std::vector<std::string> argv{session.BuildFile("tests/harness/QvInspect.exe"), "--title", title};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto run = session.RunWine(argv);
    if (status)
        *status = run.exitCode;
    return Records(run.output);
}

// The same on the visible top-level window of class `windowClass`.
inline std::vector<Record> InspectClass(const std::string& windowClass, const std::vector<std::string>& args,
                                        int* status = nullptr)
{
    auto& session = WineSession::Current();
    std::vector<std::string> argv{session.BuildFile("tests/harness/QvInspect.exe"), "--class", windowClass};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto run = session.RunWine(argv);
    if (status)
        *status = run.exitCode;
    return Records(run.output);
}

// One line of what the inspector says about the window ("visible",
// "origin", "capture", ...), without its name; empty when there is none.
inline Record WindowInfo(const std::string& title, const std::string& name)
{
    for (Record r : Inspect(title, {"window"}))
        if (r.size() >= 2 && r[0] == name)
            return Record(r.begin() + 1, r.end());
    return {};
}

} // namespace inspector
