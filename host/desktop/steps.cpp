#include "host/desktop/steps.h"

#include <QTimer>

namespace desk {

void StepRunner::Add(const std::string& name, Step step) { steps_.push_back({name, std::move(step), 0}); }

void StepRunner::Start() {
    QTimer::singleShot(interval_, &context_, [this] { tick(); });
}

void StepRunner::finish() {
    if (finished_) return;
    finished_ = true;
    if (OnDone) OnDone();
}

void StepRunner::tick() {
    if (finished_) return;
    if (pos_ >= steps_.size()) return finish();
    const std::size_t mine = pos_++;
    // The next tick is due before the step runs: a step that opens a modal
    // loop returns only when the following steps have closed it.
    QTimer::singleShot(interval_, &context_, [this] { tick(); });
    Entry& e = steps_[mine];
    const bool done = e.step();
    if (done || pos_ != mine + 1) return;
    if (++e.tries * interval_ > timeout_) {
        failure_ = "o passo \"" + e.name + "\" não se concluiu a tempo";
        finish();
        return;
    }
    pos_ = mine;  // try it again at the next tick
}

}  // namespace desk
