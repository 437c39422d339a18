#pragma once
// Events handed from converting threads to the thread that waits for them: a list under a lock
// and an eventfd that is readable while the list is not empty, so that the waiter can poll it
// beside other descriptors.
#include <mutex>
#include <vector>

#include "jobs/RowEvent.h"
#include "system/UniqueFd.h"

class EventQueue {
public:
    EventQueue();
    int Fd() const { return signal_.Get(); }
    void Push(RowEvent event);
    // Everything pushed so far, oldest first.
    std::vector<RowEvent> Take();

private:
    std::mutex mutex_;
    std::vector<RowEvent> events_;
    UniqueFd signal_;
};
