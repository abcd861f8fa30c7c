#pragma once
// The USB transport: the logger is a HID device with the product string "Logger" that
// carries Modbus frames one byte per report (report id 0, the byte, zero padding).
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <QStringList>

#include "link/HidBackend.h"

namespace quorvex {

// One enumerated HID interface.
struct structUSBDevice {
    HidHandle Handle = kInvalidHidHandle;  // invalid when opening failed
    std::string Product;                   // empty when the device gives none
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    std::uint8_t Present = 0;              // 1 when an interface exists at the index asked for
};

// Concurrency: HidClass has no lock of its own. The transmission thread (open, close, read,
// write) and the UI thread (the reopen after a removal) both hold UseLock() around each call,
// so their uses never overlap. Hold it for one call at a time and never while waiting for the
// UI thread (a blocking message send), or the UI's reopen would wait on the thread and the
// thread on the UI. ListProducts opens nothing and needs no lock.
class HidClass {
public:
    static constexpr int kMaxInterfaces = 20;
    static constexpr std::size_t kReportBufferSize = 200;
    static constexpr int kReadTimeoutMs = 300;
    static constexpr int kWriteTimeoutMs = 2000;
    static constexpr std::size_t kInputReadLength = 2;  // report id 0 and one frame byte

    explicit HidClass(std::shared_ptr<HidBackend> backend);
    ~HidClass();
    HidClass(const HidClass&) = delete;
    HidClass& operator=(const HidClass&) = delete;

    // Closes the device if open, then opens the first of interfaces 0…19 whose product
    // string equals product exactly. Vendor and product id play no part.
    bool OpenByProduct(const std::string& product);
    void Close();

    // True when one input report arrived within 300 ms (or the shorter waitMs); its data
    // byte goes to byte.
    bool ReadByte(std::uint8_t& byte, int waitMs = kReadTimeoutMs);
    // One output report per byte, each given up to 2000 ms; true when all went out.
    bool Write(const std::uint8_t* bytes, std::size_t count);

    // Product strings of the present interfaces (at most 20), without claiming any device.
    void ListProducts(QStringList& list);

    bool Opened() const { return Opened_ != 0; }
    // The last open found an interface with the wanted product but was refused access to it.
    bool AccessDenied() const { return AccessDenied_; }
    const structUSBDevice& Device() const { return Device_; }
    HidReportLengths Capabilities() const { return Capabilities_; }

    std::mutex& UseLock() { return UseLock_; }

private:
    std::optional<HidInterfaceInfo> InterfaceAt(int index);
    // One interface as the open step sees it; its handle is valid when opening succeeded.
    structUSBDevice EnumerateEntry(const HidInterfaceInfo& info, HidOpenError& error);

    std::shared_ptr<HidBackend> Backend_;
    HidReportLengths Capabilities_;
    std::array<std::uint8_t, kReportBufferSize> OutputReport_{};
    std::array<std::uint8_t, kReportBufferSize> InputReport_{};
    structUSBDevice Device_;
    std::uint8_t Opened_ = 0;
    bool AccessDenied_ = false;
    std::mutex UseLock_;
};

}  // namespace quorvex
