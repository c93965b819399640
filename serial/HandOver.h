// Hand-over queue between event threads and the owner thread (internal to unit CPort).
#pragma once

#include <atomic>
#include <exception>
#include <functional>

namespace cport_handover {

// Runs Call on the owner thread and waits for it to finish. When Withdraw turns true first, a
// call not yet started is taken out of the queue and a started one is left to finish on its own
// (the owner is inside it); either way this returns. Returns what the call raised.
std::exception_ptr Synchronize(const void* Owner, std::function<void()> Call, const std::atomic<bool>& Withdraw);

// Queues Call for the owner thread and returns at once. While a call of the same Owner and Kind
// still waits, no second one is queued: the waiting one keeps its place and, running after the
// event it would stand for, sees that event too. So at most one call per kind and owner waits.
void Post(const void* Owner, int Kind, std::function<void()> Call);

// Drops the calls of Owner that are still queued.
void Discard(const void* Owner);

// Wakes every waiter after a stop or end flag has changed.
void WakeAll();

// Serves hand-overs until Done holds, looking again at least every second.
void ServeUntil(const std::function<bool()>& Done);

}  // namespace cport_handover
