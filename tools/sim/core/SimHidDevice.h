#pragma once
// The simulated logger behind a fake HID device: request bytes arrive one per output report,
// the reply leaves one byte per input report, exactly as the USB logger carries frames.
#include <string>

#include "core/FakeHidBackend.h"
#include "core/SimLogger.h"

namespace quorvex::sim {

// A responder feeding logger's requests byte by byte; logger must outlive it. Calls into the
// logger are serialised here, so the device may be written from any thread.
FakeHidResponder MakeSimHidResponder(SimLogger& logger);

// A present "Logger" HID device answered by logger.
FakeHidDevice MakeSimHidDevice(SimLogger& logger, std::string path = "/dev/hidraw0");

}  // namespace quorvex::sim
