// Hand-over queue between event threads and the owner thread (internal to unit CPort).
#pragma once

#include <atomic>
#include <exception>
#include <functional>

namespace cport_handover {

// Runs Call on the owner thread and waits for it. Once Stop is true a started call is left to
// finish on its own (the owner may be inside it); a call not yet started is still waited for,
// since a Close serves it, unless Withdraw turns true: then it is taken out of the queue.
// Returns what the call raised.
std::exception_ptr Synchronize(const void* Owner, std::function<void()> Call, const std::atomic<bool>& Stop,
                               const std::atomic<bool>& Withdraw);

// Queues Call for the owner thread and returns at once.
void Post(const void* Owner, std::function<void()> Call);

// Drops the calls of Owner that are still queued.
void Discard(const void* Owner);

// Wakes every waiter after a stop or end flag has changed.
void WakeAll();

// Serves hand-overs until Done holds, looking again at least every second.
void ServeUntil(const std::function<bool()>& Done);

}  // namespace cport_handover
