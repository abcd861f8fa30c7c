#include "link/Hid2.h"

#include <chrono>
#include <thread>
#include <utility>

namespace quorvex {

HidClass::HidClass(std::shared_ptr<HidBackend> backend) : Backend_(std::move(backend)) {}

HidClass::~HidClass() { Close(); }

std::optional<HidInterfaceInfo> HidClass::InterfaceAt(int index) {
    // Every index looks at the devices present at that moment, as the open step always did.
    auto interfaces = Backend_->Enumerate();
    if (index < 0 || static_cast<std::size_t>(index) >= interfaces.size()) return std::nullopt;
    return std::move(interfaces[static_cast<std::size_t>(index)]);
}

structUSBDevice HidClass::EnumerateEntry(const HidInterfaceInfo& info, HidOpenError& error) {
    structUSBDevice entry;
    entry.Present = 1;
    const HidOpenResult opened = Backend_->Open(info.Path);
    error = opened.Error;
    // Product and ids come from enumeration, so a device refused to us still has a name.
    entry.Product = info.Product;
    entry.VendorId = info.VendorId;
    entry.ProductId = info.ProductId;
    if (opened.Error == HidOpenError::None) entry.Handle = opened.Handle;
    return entry;
}

bool HidClass::OpenByProduct(const std::string& product) {
    Close();
    bool denied = false;
    for (int i = 0; i < kMaxInterfaces; ++i) {
        const auto info = InterfaceAt(i);
        if (!info) break;
        HidOpenError error = HidOpenError::None;
        structUSBDevice entry = EnumerateEntry(*info, error);
        if (error == HidOpenError::AccessDenied && info->Product == product) denied = true;
        if (entry.Handle == kInvalidHidHandle) continue;
        if (entry.Product != product) {
            Backend_->Close(entry.Handle);
            continue;
        }
        HidReportLengths lengths;
        if (!Backend_->ReportLengths(entry.Handle, lengths)) {
            // Without its report lengths nothing can be exchanged with the device.
            Backend_->Close(entry.Handle);
            continue;
        }
        Device_ = std::move(entry);
        Capabilities_ = lengths;
        InputReport_.fill(0);
        OutputReport_.fill(0);
        Opened_ = 1;
        AccessDenied_ = false;
        return true;
    }
    AccessDenied_ = denied;
    return false;
}

void HidClass::Close() {
    if (Opened_ == 0) return;
    Backend_->Close(Device_.Handle);
    Device_ = {};
    Capabilities_ = {};
    Opened_ = 0;
}

bool HidClass::ReadByte(std::uint8_t& byte, int waitMs) {
    if (waitMs < 0 || waitMs > kReadTimeoutMs) waitMs = kReadTimeoutMs;
    if (Opened_ == 0 || Capabilities_.Input > kReportBufferSize) return false;
    const auto start = std::chrono::steady_clock::now();
    InputReport_[0] = 0;
    const HidIo result = Backend_->ReadInputReport(Device_.Handle, InputReport_.data(), kInputReadLength,
                                                   waitMs);
    if (result == HidIo::Ok) {
        byte = InputReport_[1];
        return true;
    }
    Backend_->Cancel(Device_.Handle);
    if (result == HidIo::Failed) {
        // A device that is gone fails at once; waiting out the read time lets it look like
        // a silent one, so a caller collecting a reply does not spin on it.
        const auto until = start + std::chrono::milliseconds(waitMs);
        std::this_thread::sleep_until(until);
    }
    return false;
}

bool HidClass::Write(const std::uint8_t* bytes, std::size_t count) {
    if (Opened_ == 0 || count == 0 || bytes == nullptr || Capabilities_.Output > kReportBufferSize) return false;
    // A report that cannot hold the report id and one byte would silently lose the frame.
    if (Capabilities_.Output < 2) return false;
    for (std::size_t i = 0; i < count; ++i) {
        OutputReport_.fill(0);
        OutputReport_[0] = 0;
        OutputReport_[1] = bytes[i];
        const HidIo result = Backend_->WriteOutputReport(Device_.Handle, OutputReport_.data(),
                                                         Capabilities_.Output, kWriteTimeoutMs);
        if (result != HidIo::Ok) {
            Backend_->Cancel(Device_.Handle);
            return false;
        }
    }
    return true;
}

void HidClass::ListProducts(QStringList& list) {
    list.clear();
    for (int i = 0; i < kMaxInterfaces; ++i) {
        const auto info = InterfaceAt(i);
        if (!info) break;
        // Enumeration already knows the product string, so nothing is opened: a device we
        // may not open still shows by name.
        if (!info->Product.empty()) list.append(QString::fromStdString(info->Product));
    }
}

}  // namespace quorvex
