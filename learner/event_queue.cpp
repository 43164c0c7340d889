#include "learner/event_queue.h"

#include <algorithm>
#include <utility>

namespace learner {

EventQueue::~EventQueue() { TakeAll(); }

// Each push puts its node in front with one compare-and-swap, a Treiber
// stack; TakeAll takes the whole chain with one exchange and turns it round.
void EventQueue::Push(Event event) {
    Node* node = new Node{std::move(event), newest_.load(std::memory_order_relaxed)};
    while (!newest_.compare_exchange_weak(node->next, node, std::memory_order_release, std::memory_order_relaxed)) {
    }
}

std::vector<Event> EventQueue::TakeAll() {
    std::vector<Event> events;
    for (Node* node = newest_.exchange(nullptr, std::memory_order_acquire); node;) {
        events.push_back(std::move(node->event));
        Node* next = node->next;
        delete node;
        node = next;
    }
    std::reverse(events.begin(), events.end());
    return events;
}

}  // namespace learner
