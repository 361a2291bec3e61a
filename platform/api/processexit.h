#pragma once

// Ends the process. Tests replace it so that they can watch the program end and go on running.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    virtual void exitProcess(int code) = 0;
};
