#include "link/HidLink.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace quorvex {

QString UnusableText(HidUnusable reason) {
    switch (reason) {
    case HidUnusable::None:
        break;
    case HidUnusable::NoDescriptor:
        return QStringLiteral("nie można odczytać deskryptora raportów");
    case HidUnusable::Numbered:
        return QStringLiteral("deskryptor deklaruje numerowane raporty");
    case HidUnusable::ShortOutput:
        return QStringLiteral("raport wyjściowy krótszy niż 2 bajty");
    case HidUnusable::ShortInput:
        return QStringLiteral("raport wejściowy krótszy niż 2 bajty");
    }
    return {};
}

HidLink::HidLink(std::shared_ptr<HidBackend> backend, std::string product)
    : Backend_(std::move(backend)), Product_(std::move(product)) {}

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
    const HidIo result = Backend_->ReadInputReport(Device_.Handle, InputReport_.data(), kInputReadLength, waitMs);
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
        const HidIo result =
            Backend_->WriteOutputReport(Device_.Handle, OutputReport_.data(), Capabilities_.Output, kWriteTimeoutMs);
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

bool HidLink::Open() {
    FailureText_.clear();
    // Every look enumerates the devices; while the logger stays away that happens once a
    // second, and at once when a device arrives or the link was just chosen.
    const auto now = std::chrono::steady_clock::now();
    if (!SearchDue_ && now - LastSearch_ < std::chrono::milliseconds(kSearchIntervalMs)) return false;
    SearchDue_ = false;
    LastSearch_ = now;
    if (OpenByProduct(Product_)) {
        UnusableSaid_.clear();
        return true;
    }
    DescribeUnusable();
    return false;
}

void HidLink::DescribeUnusable() {
    if (Unusable_ == HidUnusable::None) {
        UnusableSaid_.clear();
        return;
    }
    const QString line = QStringLiteral("Funkcja HidConnect. Logger ") + QString::fromStdString(UnusablePath_) +
                         QStringLiteral(" nie może być użyty: ") + UnusableText(Unusable_) + QLatin1Char('.');
    if (line == UnusableSaid_) return;
    UnusableSaid_ = line;
    FailureText_ = line;
}

QString HidLink::OpenedText() const {
    return QStringLiteral("Urządzenie HID ") + QString::fromStdString(Product_) + QStringLiteral(" podłączone");
}

LinkRefusal HidLink::Refusal() const {
    if (AccessDenied_) return LinkRefusal::AccessDenied;
    if (Unusable_ != HidUnusable::None) return LinkRefusal::Unusable;
    return LinkRefusal::None;
}

void HidLink::DevicesRemoved(const QStringList& nodes) {
    if (Opened_ != 0 && !nodes.contains(QString::fromStdString(Path_))) return;
    Close();
    SearchDue_ = true;
}

void HidLink::ListProducts(QStringList& list) { ListProducts(*Backend_, list); }

void HidLink::ListProducts(HidBackend& backend, QStringList& list) {
    list.clear();
    const auto interfaces = backend.Enumerate();
    const std::size_t count = std::min<std::size_t>(interfaces.size(), kMaxInterfaces);
    // Enumeration already knows the product strings, so nothing is opened: a device we may
    // not open still shows by name.
    for (std::size_t i = 0; i < count; ++i)
        if (!interfaces[i].Product.empty()) list.append(QString::fromStdString(interfaces[i].Product));
}

}  // namespace quorvex
