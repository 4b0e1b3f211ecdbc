// Registrations that end with their holder, whichever of the two goes first.
#include "controller/Connection.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controller/ActivityRelay.h"

namespace relaydeck {
namespace {

struct Counter {
    int told = 0;
};

struct CountingSink : ActivitySink {
    void record(const ActivityRecord&) override { ++records; }
    int records = 0;
};

TEST(Connection, AnObserverIsToldOnlyWhileItsConnectionLives) {
    ObserverList<Counter> list;
    Counter first, second;
    Connection a = list.add(first);
    {
        const Connection b = list.add(second);
        list.forEach([](Counter& c) { ++c.told; });
    }
    list.forEach([](Counter& c) { ++c.told; });
    EXPECT_EQ(first.told, 2);
    EXPECT_EQ(second.told, 1);

    // One that leaves while the others are being told is not told.
    Connection moved = std::move(a);
    Connection b = list.add(second);
    list.forEach([&](Counter& c) {
        ++c.told;
        if (&c == &first) b.disconnect();
    });
    EXPECT_EQ(first.told, 3);
    EXPECT_EQ(second.told, 1);
    EXPECT_TRUE(moved.connected());
    EXPECT_FALSE(b.connected());
}

TEST(Connection, OutlivingWhatItWasRegisteredWithDoesNothing) {
    Counter counter;
    Connection observing, recording, listening;
    {
        auto list = std::make_unique<ObserverList<Counter>>();
        auto relay = std::make_unique<ActivityRelay>();
        auto slot = std::make_unique<ListenerSlot>();
        CountingSink sink;
        observing = list->add(counter);
        recording = relay->connect(sink);
        listening = slot->set([&counter] { ++counter.told; });
    }
    EXPECT_FALSE(observing.connected());
    observing.disconnect();  // the list has gone: nothing to touch
    recording.disconnect();
    listening.disconnect();
    EXPECT_EQ(counter.told, 0);
}

TEST(Connection, AReplacedSinkOrListenerEndingLeavesItsSuccessorInPlace) {
    ActivityRelay relay;
    CountingSink first, second;
    Connection a = relay.connect(first);
    const Connection b = relay.connect(second);
    a.disconnect();
    relay.note({}, ActivityEvent::TimeOut);
    EXPECT_EQ(first.records, 0);
    EXPECT_EQ(second.records, 1);
    {
        CountingSink gone;
        const Connection c = relay.connect(gone);
    }
    relay.note({}, ActivityEvent::TimeOut);  // to nowhere, not to a dead sink
    EXPECT_EQ(second.records, 1);

    ListenerSlot slot;
    int calls = 0;
    Connection old = slot.set([&calls] { calls += 1; });
    const Connection now = slot.set([&calls] { calls += 10; });
    old.disconnect();
    slot();
    EXPECT_EQ(calls, 10);
}

}  // namespace
}  // namespace relaydeck
