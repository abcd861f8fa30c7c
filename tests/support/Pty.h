#pragma once
// A pseudo-terminal pair for tests that drive a serial port for real.
//
// The slave side is what the code under test opens as a port (SlavePath(), or a symlink to
// it from AddSymlink()); the test plays the device on the master side with the read and
// write helpers below. Both sides are put in raw mode, so every byte passes unchanged.
//
// The helper keeps its own descriptor of the slave open for its whole life. Without it the
// master would report a hang-up (EIO) whenever the port under test is closed, and the pair
// would not survive a close and reopen. All descriptors are close-on-exec, so a simulator or
// other program started by a test does not inherit them.
//
// Construction throws std::system_error when the system gives no pseudo-terminal.
// Not thread-safe: one test thread plays the master side.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvex::test {

class Pty {
public:
    using Bytes = std::vector<std::uint8_t>;
    using Millis = std::chrono::milliseconds;

    Pty();
    ~Pty();  // removes the symlinks it made and closes both sides
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Device path of the slave side, e.g. /dev/pts/3.
    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // Makes a symlink to the slave and returns its path. With no path given the link is
    // made in a private temporary folder. Links are removed when the Pty goes.
    // Throws std::system_error when the link cannot be made.
    std::string AddSymlink(std::string path = {});

    // Writes all bytes to the master side (they arrive at the port). False when they could
    // not all be written within the time-out.
    bool Write(const Bytes& bytes, Millis timeout = Millis(1000));
    bool Write(const void* data, std::size_t count, Millis timeout = Millis(1000));

    // Reads from the master side (what the port sent) until count bytes came or the
    // time-out passed; returns what came, possibly fewer.
    Bytes Read(std::size_t count, Millis timeout = Millis(1000));

    // Reads everything the port sends until nothing more arrives for `quiet`, or until
    // `limit` passed in all. Handy to collect a whole frame whose length is not known.
    Bytes ReadUntilQuiet(Millis quiet, Millis limit = Millis(5000));

    // True when the port sent something that is waiting to be read within the time-out.
    bool WaitReadable(Millis timeout);

    // Bytes written to the master that wait at the slave side, not yet taken by the port.
    std::size_t PendingAtPort() const;
    // Waits until at least count bytes wait at the slave side. The terminal layer passes
    // written bytes on asynchronously; this makes "the port has them now" certain.
    bool WaitPendingAtPort(std::size_t count, Millis timeout = Millis(1000)) const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkDir_;  // private folder for generated links, made on first use
    std::vector<std::string> links_;
};

}  // namespace quorvex::test
