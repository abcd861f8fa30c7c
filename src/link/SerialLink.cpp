#include "link/SerialLink.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <cerrno>

#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace quorvex {

namespace {

// A modem-control line that the device does not have (a pseudo-terminal has none) is no
// reason to refuse the port; any other refusal is.
bool SetModemLine(QSerialPort& port, bool (QSerialPort::*set)(bool), bool on) {
    if ((port.*set)(on)) return true;
    const bool lineMissing = port.error() == QSerialPort::UnsupportedOperationError;
    port.clearError();
    return lineMissing;
}

bool ApplyLineSettings(QSerialPort& port) {
    // Flow control first: RTS cannot be driven by hand while hardware flow control owns it.
    return port.setFlowControl(QSerialPort::NoFlowControl) && port.setBaudRate(QSerialPort::Baud9600) &&
           port.setDataBits(QSerialPort::Data8) && port.setParity(QSerialPort::NoParity) &&
           port.setStopBits(QSerialPort::OneStop) && SetModemLine(port, &QSerialPort::setDataTerminalReady, true) &&
           SetModemLine(port, &QSerialPort::setRequestToSend, false);
}

// Whether this user is refused the device node, as opposed to it being missing or busy.
bool RefusedAccess(const QString& location) {
    const QByteArray path = QFile::encodeName(location);
    return ::access(path.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

}  // namespace

// Bare names are looked up under /dev, as the port menu's short names are; paths are taken
// as given. Symlinks are resolved because the port lock is keyed on the path: two aliases of
// one device must meet the same lock.
QString SerialDeviceLocation(const QString& name) {
    const bool isPath = name.startsWith(u'/') || name.startsWith(u"./") || name.startsWith(u"../");
    const QString location = isPath ? name : QStringLiteral("/dev/") + name;
    const QString canonical = QFileInfo(location).canonicalFilePath();
    return canonical.isEmpty() ? location : canonical;
}

QString DeviceOwnerGroup(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    // getgrgid_r: the window thread and the transmission thread may both ask.
    group g{};
    group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(st.st_gid, &g, buffer, sizeof buffer, &found) != 0 || !found) return QString::number(st.st_gid);
    return QString::fromLocal8Bit(found->gr_name);
}

SerialLink::SerialLink() : nameReference_(QStringLiteral("Com1")) {}

SerialLink::SerialLink(const QString& name) : SerialLink() { portName_ = name; }

SerialLink::~SerialLink() { ClosePort(); }

bool SerialLink::OpenPort(const QString& name) {
    portName_ = name;
    nameReference_ = name;
    lastMessage_ = QStringLiteral("Nieznany błąd otwarcia portu: ") + name;

    if (port_) {
        lastMessage_ = QStringLiteral("Port ") + name + QStringLiteral(" jest już otwarty.");
        return false;
    }

    refusal_ = LinkRefusal::None;
    const QString location = SerialDeviceLocation(name);
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(location);
    if (!port->open(QIODevice::ReadWrite)) {
        // A device node that is not there (an adapter unplugged, a simulator's terminal gone)
        // may come back; one that is there was refused to this user or is held by another program.
        if (RefusedAccess(location))
            refusal_ = LinkRefusal::AccessDenied;
        else if (port->error() == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(location))
            refusal_ = LinkRefusal::Missing;
        else
            refusal_ = LinkRefusal::Busy;
        lastMessage_ = QStringLiteral("Błąd otwarcia portu: ") + name +
                       QStringLiteral(".\rPort nie istnieje lub jest otwarty przez inną aplikację.");
        return false;
    }
    port_ = std::move(port);

    // The port object keeps what arrives between reads; bound it like the driver queue.
    port_->setReadBufferSize(kInputQueueSize);
    if (!ApplyLineSettings(*port_)) {
        ClosePort();
        return false;
    }
    port_->clearError();

    opened_ = 1;
    lastMessage_ = QStringLiteral("Port ") + name + QStringLiteral(" został otwarty.");
    return true;
}

bool SerialLink::Open() {
    const QString name = portName_;  // OpenPort stores what it is given
    ClosePort();
    return OpenPort(name);
}

QString SerialLink::OpenedText() const {
    return QStringLiteral("Port ") + portName_ + QStringLiteral(" został otwarty");
}

bool SerialLink::ClosePort() {
    lastMessage_ = QStringLiteral("Nieznany błąd zamknięcia portu: ") + portName_;
    if (!port_)
        lastMessage_ = QStringLiteral("Port nie był otwarty");
    else
        port_->close();
    port_.reset();
    opened_ = 0;
    return true;
}

bool SerialLink::Write(const std::uint8_t* data, std::size_t count) {
    lastMessage_ = QStringLiteral("Błąd zapisu do portu: ") + portName_;
    if (!opened_ || count == 0 || data == nullptr) return false;

    const auto size = static_cast<qint64>(count);
    if (port_->write(reinterpret_cast<const char*>(data), size) != size) {
        CloseIfGone();
        return false;
    }
    // The port object buffers what it is given; hand everything to the device before
    // returning, within the write time-out.
    QDeadlineTimer deadline(kWriteTotalConstantMs + kWriteTotalMultiplierMs * size);
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            CloseIfGone();
            return false;
        }
    }
    // Handed to the driver is not yet sent: at 9600 baud a long request takes a quarter of a
    // second on the line, and the reply's time limits count from the moment it has left.
    while (::tcdrain(static_cast<int>(port_->handle())) != 0) {
        if (errno == EINTR) continue;
        if (errno == EIO || errno == ENXIO || errno == ENODEV) {
            // The adapter went away while sending.
            const QString message = lastMessage_;
            ClosePort();
            lastMessage_ = message;
            return false;
        }
        break;  // not a terminal (ENOTTY): nothing to wait for
    }
    return true;
}

bool SerialLink::ReadByte(std::uint8_t& byte, int waitMs) {
    const int fullWait = kReadTotalConstantMs + kReadTotalMultiplierMs;
    if (waitMs < 0 || waitMs > fullWait) waitMs = fullWait;
    lastMessage_ = QStringLiteral("Błąd odczytu z portu: ") + portName_;
    if (!opened_) return false;

    if (port_->bytesAvailable() == 0 && !port_->waitForReadyRead(waitMs)) {
        // A time-out leaves TimeoutError set; the next call must start clean.
        CloseIfGone();
        return false;
    }
    char c = 0;
    if (port_->read(&c, 1) != 1) {
        CloseIfGone();
        return false;
    }
    byte = static_cast<std::uint8_t>(c);
    return true;
}

void SerialLink::CloseIfGone() {
    // A device that went away (an unplugged adapter, a hung-up terminal) fails every wait at
    // once; keeping it would make every read return immediately. Closed, it is opened afresh
    // by the owner's next connect step once it is back.
    const bool gone = port_->error() == QSerialPort::ResourceError;
    port_->clearError();
    if (gone) {
        const QString message = lastMessage_;
        ClosePort();
        lastMessage_ = message;
    }
}

bool SerialLink::ClearRXBuffer() {
    lastMessage_ = QStringLiteral("Błąd funkcji ClearRXBuffer portu: ") + portName_;
    if (!opened_) return false;
    if (!port_->clear(QSerialPort::Input)) {
        port_->clearError();
        return false;
    }
    return true;
}

}  // namespace quorvex
