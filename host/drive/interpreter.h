// The interpreter of scenario scripts. It is the driver's front end: each
// command is one user action carried out through the ui dispatcher, and it is
// also the application's message pump, so a ShowModal started by a command
// runs the script's next commands until the modal form closes (and closes it
// as by its cancel button when the script ends).
#pragma once

#include "host/drive/script.h"

#include <cstddef>
#include <functional>
#include <string>

namespace drive {

class Interpreter {
public:
    // `open` calls this (IniProc of the loaded module).
    explicit Interpreter(std::function<void()> openModule);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    bool timings = false;

    // Runs a whole script (its parse errors count as failures).
    void Run(const Script& script);
    // Executes the next command of the running script; false when there is
    // none left (the pump's "no more input").
    bool Step();

    int Passed() const { return passed_; }
    int Failed() const { return failed_; }

private:
    std::function<void()> open_;
    const Script* script_ = nullptr;
    std::size_t next_ = 0;
    int line_ = 0;  // line of the running command (for notes)
    int passed_ = 0;
    int failed_ = 0;

    // Outcome of one command: empty when done, else why it failed.
    std::string execute(const Command& c);
    std::string executeAction(const Command& c);
    std::string executeGrid(const Command& c);
    std::string executeExpect(const Command& c);
    void fail(int line, const std::string& source, const std::string& why);
};

}  // namespace drive
