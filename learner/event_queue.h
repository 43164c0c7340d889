// The store's queue of showings and marks: any number of threads push, one
// takes everything at once. A push never waits for a lock, so a streaming
// thread cannot be held up by the writer, however the scheduler treats it.
#pragma once

#include <atomic>
#include <vector>

#include "learner/entry_table.h"

namespace learner {

class EventQueue {
public:
    EventQueue() = default;
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    void Push(Event event);
    // Everything pushed so far, in the order pushed, leaving the queue empty.
    std::vector<Event> TakeAll();

private:
    struct Node {
        Event event;
        Node* next;
    };
    std::atomic<Node*> newest_{nullptr};
};

}  // namespace learner
