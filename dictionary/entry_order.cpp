#include "dictionary/entry_order.h"

#include <bit>

const uint32_t orderTaps[33] = {
    0,         0x1,       0x3,        0x5,        0x9,        0x1E,       0x30,     0x55,      0xAF,
    0x168,     0x344,     0x6A0,      0xDE0,      0x190E,     0x32F7,     0x792C,   0xDAB5,    0x1F256,
    0x28ED3,   0x66D7A,   0xB2AA5,    0x1A1A84,   0x33DAD5,   0x63FF33,   0xDF7B2A, 0x14693B8, 0x3A6719C,
    0x5573D44, 0xF3195E9, 0x1B5A1FF1, 0x21A7BDCD, 0x664F46B7, 0x88CA6216,
};

bool ResetOrder(EntryOrder& order, int32_t last) {
    if (last < 0) return false;
    order.range = static_cast<uint32_t>(last) + 1;
    order.taps = orderTaps[std::bit_width(order.range)];
    if (order.state > order.range) order.state = 1;
    return true;
}

void ResumeOrderAfter(EntryOrder& order, int32_t index) {
    if (index < 0 || static_cast<uint32_t>(index) >= order.range) return;
    order.state = static_cast<uint32_t>(index) + 1;
}

int32_t NextOrderIndex(EntryOrder& order) {
    // Fewer than half of the register's states lie above the range, since
    // the range is at least 2^(k-1).
    do order.state = (order.state & 1) ? (order.state >> 1) ^ order.taps : order.state >> 1;
    while (order.state > order.range);
    return static_cast<int32_t>(order.state - 1);
}
