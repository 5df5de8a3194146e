// A sequence of steps run from the event loop, one every few milliseconds,
// for the screenshot tour and the desktop tests. A step that opens a modal
// window (a dialog's nested loop) does not stop the sequence: the following
// steps run inside that loop and act on the dialog, as a person would. A
// step returns false while what it waits for is not there yet; it is tried
// again until its time runs out, which fails the run.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace desk {

class StepRunner {
public:
    using Step = std::function<bool()>;
    explicit StepRunner(int intervalMs = 30, int timeoutMs = 20000) : interval_(intervalMs), timeout_(timeoutMs) {}

    void Add(const std::string& name, Step step);
    // Starts running; OnDone is called once, after the last step or the
    // first that timed out.
    void Start();
    bool Finished() const { return finished_; }
    bool Failed() const { return !failure_.empty(); }
    const std::string& Failure() const { return failure_; }
    std::function<void()> OnDone;

private:
    struct Entry {
        std::string name;
        Step step;
        int tries = 0;
    };
    std::vector<Entry> steps_;
    std::size_t pos_ = 0;
    int interval_, timeout_;
    bool finished_ = false;
    std::string failure_;
    QObject context_;
    void tick();
    void finish();
};

}  // namespace desk
