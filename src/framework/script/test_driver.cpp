#include "test_driver.h"

#include "environment.h"

namespace fw {

bool TestDriver::Step(Hwnd active) {
    if (steps_.empty())
        return false;
    StepFn step = std::move(steps_.front());
    steps_.pop_front();
    try {
        Ui ui(active);
        step(ui);
    } catch (const std::exception& e) {
        failures_.push_back(e.what());
        return false;
    }
    return true;
}

ScopedDriver::ScopedDriver(Driver* driver, Transcript* transcript) {
    PushDrivers(driver, transcript);
}

ScopedDriver::~ScopedDriver() {
    PopDrivers();
}

}  // namespace fw
