#include "DeviceCalls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>

namespace cport_device {

namespace {
TDeviceCalls SystemCalls;
std::atomic<TDeviceCalls*> InForce{&SystemCalls};
}  // namespace

int TDeviceCalls::Open(const char* Path, int Flags) { return ::open(Path, Flags); }
int TDeviceCalls::Close(int Fd) { return ::close(Fd); }
int TDeviceCalls::Ioctl(int Fd, unsigned long Request, void* Arg) { return ::ioctl(Fd, Request, Arg); }
ssize_t TDeviceCalls::Read(int Fd, void* Buffer, size_t Count) { return ::read(Fd, Buffer, Count); }
ssize_t TDeviceCalls::Write(int Fd, const void* Buffer, size_t Count) { return ::write(Fd, Buffer, Count); }

TDeviceCalls& Calls() { return *InForce.load(std::memory_order_acquire); }

void SetCalls(TDeviceCalls* Calls) { InForce.store(Calls ? Calls : &SystemCalls, std::memory_order_release); }

}  // namespace cport_device
