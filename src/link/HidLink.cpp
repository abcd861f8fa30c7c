#include "link/HidLink.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace quorvex {

QString UnusableText(HidUnusable reason)
{
    switch (reason) {
    case HidUnusable::None: break;
    case HidUnusable::NoDescriptor: return QStringLiteral("nie można odczytać deskryptora raportów");
    case HidUnusable::Numbered: return QStringLiteral("deskryptor deklaruje numerowane raporty");
    case HidUnusable::ShortOutput: return QStringLiteral("raport wyjściowy krótszy niż 2 bajty");
    case HidUnusable::ShortInput: return QStringLiteral("raport wejściowy krótszy niż 2 bajty");
    }
    return {};
}

HidLink::HidLink(std::shared_ptr<HidBackend> backend) : Backend_(std::move(backend)) {}

HidLink::~HidLink() { Close(); }

HidDevice HidLink::EnumerateEntry(const HidInterfaceInfo& info, HidOpenError& error) {
    HidDevice entry;
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

HidUnusable HidLink::Check(const HidDescriptorInfo& info) {
    if (info.Numbered) return HidUnusable::Numbered;
    if (info.Lengths.Output < 2) return HidUnusable::ShortOutput;
    if (info.Lengths.Input < 2) return HidUnusable::ShortInput;
    return HidUnusable::None;
}

bool HidLink::OpenByProduct(const std::string& product) {
    Close();
    bool denied = false;
    Unusable_ = HidUnusable::None;
    UnusablePath_.clear();
    // One look at the present devices; only those named like the wanted one are opened.
    const auto interfaces = Backend_->Enumerate();
    const std::size_t count = std::min<std::size_t>(interfaces.size(), kMaxInterfaces);
    for (std::size_t i = 0; i < count; ++i) {
        const HidInterfaceInfo& info = interfaces[i];
        if (info.Product != product) continue;
        HidOpenError error = HidOpenError::None;
        HidDevice entry = EnumerateEntry(info, error);
        if (error == HidOpenError::AccessDenied) denied = true;
        if (entry.Handle == kInvalidHidHandle) continue;
        HidDescriptorInfo descriptor;
        const HidUnusable unusable =
            Backend_->ReportDescriptor(entry.Handle, descriptor) ? Check(descriptor) : HidUnusable::NoDescriptor;
        if (unusable != HidUnusable::None) {
            // Nothing could be exchanged with it; another device of that name may still do.
            Backend_->Close(entry.Handle);
            Unusable_ = unusable;
            UnusablePath_ = info.Path;
            continue;
        }
        Device_ = std::move(entry);
        Capabilities_ = descriptor.Lengths;
        Path_ = info.Path;
        InputReport_.fill(0);
        OutputReport_.fill(0);
        Opened_ = 1;
        AccessDenied_ = false;
        Unusable_ = HidUnusable::None;
        UnusablePath_.clear();
        return true;
    }
    AccessDenied_ = denied;
    return false;
}

void HidLink::Close() {
    if (Opened_ == 0) return;
    Backend_->Close(Device_.Handle);
    Device_ = {};
    Capabilities_ = {};
    Path_.clear();
    Opened_ = 0;
}

bool HidLink::ReadByte(std::uint8_t& byte, int waitMs) {
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
    if (result == HidIo::Gone) {
        // Unplugged: the handle will never work again. Closed, the device is looked for afresh
        // by the owner's next connect step, with or without a device notification.
        Close();
        return false;
    }
    Backend_->Cancel(Device_.Handle);
    if (result == HidIo::Failed) {
        // A failing read returns at once; waiting out the read time lets it look like a silent
        // device, so a caller collecting a reply does not spin on it.
        const auto until = start + std::chrono::milliseconds(waitMs);
        std::this_thread::sleep_until(until);
    }
    return false;
}

bool HidLink::Write(const std::uint8_t* bytes, std::size_t count) {
    if (Opened_ == 0 || count == 0 || bytes == nullptr || Capabilities_.Output > kReportBufferSize) return false;
    // A report that cannot hold the report id and one byte would silently lose the frame.
    if (Capabilities_.Output < 2) return false;
    for (std::size_t i = 0; i < count; ++i) {
        OutputReport_.fill(0);
        OutputReport_[0] = 0;
        OutputReport_[1] = bytes[i];
        const HidIo result = Backend_->WriteOutputReport(Device_.Handle, OutputReport_.data(),
                                                         Capabilities_.Output, kWriteTimeoutMs);
        if (result == HidIo::Gone) {
            Close();
            return false;
        }
        if (result != HidIo::Ok) {
            Backend_->Cancel(Device_.Handle);
            return false;
        }
    }
    return true;
}

void HidLink::ListProducts(QStringList& list) {
    list.clear();
    const auto interfaces = Backend_->Enumerate();
    const std::size_t count = std::min<std::size_t>(interfaces.size(), kMaxInterfaces);
    // Enumeration already knows the product strings, so nothing is opened: a device we may
    // not open still shows by name.
    for (std::size_t i = 0; i < count; ++i)
        if (!interfaces[i].Product.empty()) list.append(QString::fromStdString(interfaces[i].Product));
}

}  // namespace quorvex
