#include "engine/host.h"

#include <chrono>

namespace engine {

double QuietHost::Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

Pacer::Pacer(Host& host, double budgetSeconds, unsigned stride)
    : host_(host), budget_(budgetSeconds), stride_(stride ? stride : 1), last_(host.Seconds() - budgetSeconds) {}

void Pacer::Tick() {
    if (++count_ < stride_) return;
    count_ = 0;
    Point();
}

void Pacer::Point() {
    const double now = host_.Seconds();
    if (now - last_ >= budget_) {
        host_.ProcessEvents();
        last_ = host_.Seconds();
    }
}

}  // namespace engine
