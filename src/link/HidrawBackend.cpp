#include "link/HidrawBackend.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorvex {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for events on fd until the deadline; EINTR does not shorten the wait.
// Returns the revents, 0 on time-out, -1 on error.
int PollUntil(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, RemainingMs(deadline));
        if (n > 0) return p.revents;
        if (n == 0) return 0;
        if (errno != EINTR) return -1;
    }
}

// "0003:000004D8:0000F00D" → bus, vendor, product.
void ParseHidId(const char* id, std::uint16_t& vendor, std::uint16_t& product) {
    if (!id) return;
    char* end = nullptr;
    std::strtoul(id, &end, 16);  // the bus type is of no interest
    if (*end != ':') return;
    const unsigned long v = std::strtoul(end + 1, &end, 16);
    if (*end != ':') return;
    const unsigned long p = std::strtoul(end + 1, &end, 16);
    vendor = static_cast<std::uint16_t>(v);
    product = static_cast<std::uint16_t>(p);
}

// hidraw answers EIO to a read and ENODEV to a write once its device is unplugged.
HidIo GoneOrFailed(int error) {
    return error == EIO || error == ENODEV || error == ENXIO || error == ESHUTDOWN ? HidIo::Gone : HidIo::Failed;
}

struct Found {
    unsigned long Number;
    HidInterfaceInfo Info;
};

}  // namespace

HidrawBackend::HidrawBackend() = default;

HidrawBackend::~HidrawBackend() {
    std::lock_guard lock(Mutex_);
    for (const auto& [fd, device] : Open_) ::close(fd);
    Open_.clear();
}

std::vector<HidInterfaceInfo> HidrawBackend::Enumerate() {
    std::vector<Found> found;
    // A udev context may not be used by two threads at once, and the service tab's list is
    // made on the window thread while the transmission thread looks for the logger: each
    // enumeration has a context of its own.
    udev* u = udev_new();
    if (!u) return {};
    udev_enumerate* e = udev_enumerate_new(u);
    if (!e) {
        udev_unref(u);
        return {};
    }
    udev_enumerate_add_match_subsystem(e, "hidraw");
    udev_enumerate_scan_devices(e);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e)) {
        udev_device* dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
        if (!dev) continue;
        const char* node = udev_device_get_devnode(dev);
        if (node) {
            Found f;
            const char* num = udev_device_get_sysnum(dev);
            f.Number = num ? std::strtoul(num, nullptr, 10) : 0;
            f.Info.Path = node;
            // Parents belong to dev and are released with it.
            udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
            udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
            const char* product = usb ? udev_device_get_sysattr_value(usb, "product") : nullptr;
            if (!product && hid) product = udev_device_get_property_value(hid, "HID_NAME");
            if (product) f.Info.Product = product;
            if (hid) ParseHidId(udev_device_get_property_value(hid, "HID_ID"), f.Info.VendorId, f.Info.ProductId);
            found.push_back(std::move(f));
        }
        udev_device_unref(dev);
    }
    udev_enumerate_unref(e);
    udev_unref(u);
    // hidraw2 before hidraw10: the order the device numbers were handed out in.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.Number < b.Number; });
    std::vector<HidInterfaceInfo> result;
    result.reserve(found.size());
    for (auto& f : found) result.push_back(std::move(f.Info));
    return result;
}

HidOpenResult HidrawBackend::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case EACCES:
        case EPERM:
            return {kInvalidHidHandle, HidOpenError::AccessDenied};
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return {kInvalidHidHandle, HidOpenError::NotFound};
        default:
            return {kInvalidHidHandle, HidOpenError::Failed};
        }
    }
    OpenDevice device;
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size >= 0 && size <= HID_MAX_DESCRIPTOR_SIZE) {
        hidraw_report_descriptor desc{};
        desc.size = static_cast<__u32>(size);
        if (::ioctl(fd, HIDIOCGRDESC, &desc) == 0) {
            const auto parsed = ParseReportDescriptor(std::span<const std::uint8_t>(desc.value, desc.size));
            if (parsed) {
                device.Descriptor = *parsed;
                device.HaveDescriptor = true;
            }
        }
    }
    std::lock_guard lock(Mutex_);
    Open_[fd] = device;
    return {fd, HidOpenError::None};
}

void HidrawBackend::Close(HidHandle handle) {
    std::lock_guard lock(Mutex_);
    if (Open_.erase(handle) > 0) ::close(handle);
}

bool HidrawBackend::Lookup(HidHandle handle, OpenDevice& device) {
    std::lock_guard lock(Mutex_);
    const auto it = Open_.find(handle);
    if (it == Open_.end()) return false;
    device = it->second;
    return true;
}

bool HidrawBackend::ReportDescriptor(HidHandle handle, HidDescriptorInfo& info) {
    OpenDevice device;
    if (!Lookup(handle, device) || !device.HaveDescriptor) return false;
    info = device.Descriptor;
    return true;
}

HidIo HidrawBackend::ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) {
    OpenDevice device;
    if (!Lookup(handle, device) || report == nullptr || length == 0) return HidIo::Failed;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // hidraw hands over one whole report per read, led by its id only when reports are numbered.
    std::array<std::uint8_t, 4096> buf{};
    const bool numbered = device.Descriptor.Numbered;
    const std::size_t offset = numbered ? 0 : 1;
    for (;;) {
        const int revents = PollUntil(handle, POLLIN, deadline);
        if (revents == 0) return HidIo::TimedOut;
        if (revents < 0 || (revents & POLLNVAL)) return HidIo::Failed;
        // An unplugged device's node hangs up for good (hidraw: POLLERR | POLLHUP).
        if (revents & (POLLERR | POLLHUP)) return HidIo::Gone;
        const ssize_t n = ::read(handle, buf.data() + offset, buf.size() - offset);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return GoneOrFailed(errno);
        }
        if (n == 0) return HidIo::Failed;  // end of file: not a device node at all
        buf[0] = numbered ? buf[0] : 0;
        const std::size_t got = static_cast<std::size_t>(n) + offset;
        std::memset(report, 0, length);
        std::memcpy(report, buf.data(), std::min(got, length));
        return HidIo::Ok;
    }
}

HidIo HidrawBackend::WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length,
                                       int timeoutMs) {
    OpenDevice device;
    if (!Lookup(handle, device) || report == nullptr || length == 0) return HidIo::Failed;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int revents = PollUntil(handle, POLLOUT, deadline);
        if (revents == 0) return HidIo::TimedOut;
        if (revents < 0 || (revents & POLLNVAL)) return HidIo::Failed;
        if (revents & (POLLERR | POLLHUP)) return HidIo::Gone;
        // The leading report id 0 tells hidraw the report is unnumbered; it is not sent.
        const ssize_t n = ::write(handle, report, length);
        if (n == static_cast<ssize_t>(length)) return HidIo::Ok;
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (RemainingMs(deadline) == 0) return HidIo::TimedOut;
            ::usleep(1000);  // hidraw always polls writable; do not spin on a busy device
            continue;
        }
        return n < 0 ? GoneOrFailed(errno) : HidIo::Failed;
    }
}

void HidrawBackend::Cancel(HidHandle) {}

}  // namespace quorvex
