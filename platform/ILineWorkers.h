#pragma once

#include <string>

// Starts a typed line on a worker thread of its own. The typing state machine
// calls it on Enter; the line holds at most 1199 characters.
class ILineWorkers {
public:
    virtual ~ILineWorkers() = default;
    // False when no thread could be started; the line is then dropped.
    virtual bool Start(const std::wstring& line) = 0;
};
