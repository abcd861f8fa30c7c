#pragma once
// The USB transport: the logger is a HID device with the product string "Logger" that
// carries Modbus frames one byte per report (report id 0, the byte, zero padding).
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <QStringList>

#include "link/HidBackend.h"
#include "link/Link.h"

namespace quorvex {

// One enumerated HID interface.
struct HidDevice {
    HidHandle Handle = kInvalidHidHandle;  // invalid when opening failed
    std::string Product;                   // empty when the device gives none
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    std::uint8_t Present = 0;  // 1 when an interface exists at the index asked for
};

// Why a logger that was found and opened cannot be used: its reports do not fit the link.
enum class HidUnusable {
    None,
    NoDescriptor,  // the report descriptor cannot be read or understood
    Numbered,      // the descriptor declares report ids; the link sends report id 0
    ShortOutput,   // the output report has no room for the report id and one byte
    ShortInput,    // the input report has no room for the report id and one byte
};

// The reason as one plain line for the message log (Polish, like the other diagnostics).
QString UnusableText(HidUnusable reason);

// Concurrency: HidLink has no lock of its own. Only the transmission thread opens, closes,
// reads and writes it; the window thread asks that thread for a reopen instead of doing it.
// ListProducts only enumerates (nothing is opened) and may be called from any thread.
class HidLink final : public Link {
public:
    static constexpr int kMaxInterfaces = 20;
    static constexpr std::size_t kReportBufferSize = 200;
    static constexpr int kReadTimeoutMs = 300;
    static constexpr int kWriteTimeoutMs = 2000;
    static constexpr std::size_t kInputReadLength = 2;  // report id 0 and one frame byte
    // While no logger is present Open() looks at the devices no more than this often (each
    // look enumerates them), and at once after RetryNow().
    static constexpr int kSearchIntervalMs = 1000;
    static constexpr const char* kLoggerProduct = "Logger";

    // Open() looks for the interface whose product string is product.
    explicit HidLink(std::shared_ptr<HidBackend> backend, std::string product = kLoggerProduct);
    ~HidLink() override;
    HidLink(const HidLink&) = delete;
    HidLink& operator=(const HidLink&) = delete;

    // Closes the device if open, then opens the first of interfaces 0…19 whose product
    // string equals product exactly. The product strings come from one enumeration, so no
    // other device is opened (opening a HID node wakes it and starts its polling). Vendor and
    // product id play no part. A matching device whose reports do not fit the link is closed
    // again: Unusable() says why.
    bool OpenByProduct(const std::string& product);
    void Close() override;

    // True when one input report arrived within 300 ms (or the shorter waitMs); its data
    // byte goes to byte. A device that reports it is gone is closed (Opened() turns false).
    bool ReadByte(std::uint8_t& byte, int waitMs = kReadTimeoutMs) override;
    // One output report per byte, each given up to 2000 ms; true when all went out. A device
    // that reports it is gone is closed.
    bool Write(const std::uint8_t* bytes, std::size_t count) override;

    // Product strings of the present interfaces (at most 20), without claiming any device.
    void ListProducts(QStringList& list);
    static void ListProducts(HidBackend& backend, QStringList& list);

    // The link's side: Open looks for the logger by its product string when a look is due
    // (see kSearchIntervalMs). FailureText() describes a logger found but unusable, once per
    // logger and reason rather than once per look; a logger that connects starts that afresh.
    LinkKind Kind() const override { return LinkKind::Hid; }
    bool Open() override;
    // Nothing to drop: the link keeps no receive buffer of its own.
    bool Purge() override { return true; }
    QString OpenedText() const override;  // "Urządzenie HID Logger podłączone"
    QString FailureText() const override { return FailureText_; }
    LinkRefusal Refusal() const override;
    void RetryNow() override { SearchDue_ = true; }
    // Another device going (a mouse, a keyboard) leaves the logger and its reply in flight alone.
    void DevicesRemoved(const QStringList& nodes) override;

    bool Opened() const override { return Opened_ != 0; }
    // The last open found an interface with the wanted product but was refused access to it.
    bool AccessDenied() const { return AccessDenied_; }
    // The last open found the wanted product but could not use it; UnusablePath() is its node.
    HidUnusable Unusable() const { return Unusable_; }
    const std::string& UnusablePath() const { return UnusablePath_; }
    // The node of the open device; empty while closed.
    const std::string& Path() const { return Path_; }
    const HidDevice& Device() const { return Device_; }
    HidReportLengths Capabilities() const { return Capabilities_; }

private:
    // One interface as the open step sees it; its handle is valid when opening succeeded.
    HidDevice EnumerateEntry(const HidInterfaceInfo& info, HidOpenError& error);
    static HidUnusable Check(const HidDescriptorInfo& info);
    void DescribeUnusable();

    std::shared_ptr<HidBackend> Backend_;
    std::string Product_;
    bool SearchDue_ = true;  // the next Open looks whatever the time
    std::chrono::steady_clock::time_point LastSearch_;
    QString UnusableSaid_;  // the unusable logger last described
    QString FailureText_;
    HidReportLengths Capabilities_;
    std::array<std::uint8_t, kReportBufferSize> OutputReport_{};
    std::array<std::uint8_t, kReportBufferSize> InputReport_{};
    HidDevice Device_;
    std::uint8_t Opened_ = 0;
    bool AccessDenied_ = false;
    HidUnusable Unusable_ = HidUnusable::None;
    std::string UnusablePath_;
    std::string Path_;
};

}  // namespace quorvex
