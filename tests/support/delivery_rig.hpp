#pragma once
// Delivery on fake time: in-memory units, a recording window system and a pumping wait that
// runs due timer ticks. The delivery tests use it as it is; the engine harness builds on it.

#include "delivery/delivery.hpp"
#include "tests/support/fake_clock.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/support/fake_window_system.hpp"
#include "ui/memory_units.hpp"

struct DeliveryRig {
    static constexpr WindowHandle kTarget = 0x1001;
    static constexpr WindowHandle kCard = 0x2002;

    MemoryUnits memory;
    MainUnits units{memory};
    AppState state;
    FakeClock clock;
    FakeTimers timers{clock};
    FakePumpingWait wait{timers};
    FakeWindowSystem windows{&clock};
    FakeMessageBoxes boxes;
    Delivery delivery{windows, wait, boxes, state, units};
};
