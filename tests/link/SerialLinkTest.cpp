#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QThread>

#include "Pty.h"
#include "link/SerialLink.h"

using namespace quorvex;
using quorvex::test::Pty;
using Bytes = Pty::Bytes;
using Millis = std::chrono::milliseconds;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString OpenFailureText(const QString& name) {
    return QStringLiteral("Błąd otwarcia portu: ") + name +
           QStringLiteral(".\rPort nie istnieje lub jest otwarty przez inną aplikację.");
}

template <typename F>
Millis Timed(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - start);
}

// Reads everything the port can deliver, byte by byte, until a read times out.
Bytes ReadAll(SerialLink& port) {
    Bytes got;
    std::uint8_t b = 0;
    while (port.ReadByte(b)) got.push_back(b);
    return got;
}

// The program's user-interface thread runs a Qt application; so does the test thread here.
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[10] = "test_link";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};
[[maybe_unused]] const auto* const qtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

class SerialLinkOverPty : public ::testing::Test {
protected:
    void OpenOrFail(const QString& name) { ASSERT_TRUE(port.OpenPort(name)) << port.LastMessage().toStdString(); }
    Pty pty;
    SerialLink port;
    QString path = Q(pty.SlavePath());
};

}  // namespace

TEST_F(SerialLinkOverPty, ClosedPortRefusesEverythingAtOnce) {
    EXPECT_FALSE(port.Opened());
    EXPECT_EQ(port.NameReference(), "Com1");

    const Bytes frame{1, 2, 3};
    std::uint8_t b = 0;
    const Millis spent = Timed([&] {
        EXPECT_FALSE(port.Write(frame.data(), frame.size()));
        EXPECT_EQ(port.LastMessage(), "Błąd zapisu do portu: ");
        EXPECT_FALSE(port.ReadByte(b));
        EXPECT_EQ(port.LastMessage(), "Błąd odczytu z portu: ");
        EXPECT_FALSE(port.ClearRXBuffer());
        EXPECT_EQ(port.LastMessage(), "Błąd funkcji ClearRXBuffer portu: ");
    });
    EXPECT_LT(spent.count(), 150) << "a closed port must not wait for anything";

    // After a close the texts name the port last opened.
    OpenOrFail(path);
    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.ReadByte(b));
    EXPECT_EQ(port.LastMessage(), QStringLiteral("Błąd odczytu z portu: ") + path);
    EXPECT_TRUE(pty.Read(1, Millis(50)).empty());
}

TEST_F(SerialLinkOverPty, OpeningAMissingPortNamesIt) {
    for (const QString& name : {QStringLiteral("/dev/quorvex-no-such-port"), QStringLiteral("COM3")}) {
        EXPECT_FALSE(port.OpenPort(name));
        EXPECT_EQ(port.LastMessage(), OpenFailureText(name));
        EXPECT_EQ(port.Refusal(), LinkRefusal::Missing);  // unplugged, as far as anyone can tell
        EXPECT_FALSE(port.Opened());
        EXPECT_EQ(port.PortName(), name);
        EXPECT_EQ(port.NameReference(), name);
    }
    // A failed open leaves nothing behind: the object can open a real port afterwards.
    OpenOrFail(path);
}

TEST_F(SerialLinkOverPty, OpenTwiceKeepsTheFirstOpenAndUsable) {
    OpenOrFail(path);
    EXPECT_TRUE(port.Opened());
    EXPECT_EQ(port.LastMessage(), QStringLiteral("Port ") + path + QStringLiteral(" został otwarty."));

    EXPECT_FALSE(port.OpenPort(path));
    EXPECT_EQ(port.LastMessage(), QStringLiteral("Port ") + path + QStringLiteral(" jest już otwarty."));
    EXPECT_TRUE(port.Opened());

    const Bytes frame{0xFF, 0x03, 0x01, 0x00, 0x00, 0x5A, 0xD1, 0xD3};
    EXPECT_TRUE(port.Write(frame.data(), frame.size()));
    EXPECT_EQ(pty.Read(frame.size()), frame);
}

TEST_F(SerialLinkOverPty, CloseAndReopen) {
    EXPECT_TRUE(port.ClosePort());
    EXPECT_EQ(port.LastMessage(), "Port nie był otwarty");

    OpenOrFail(path);
    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.Opened());
    EXPECT_EQ(port.LastMessage(), QStringLiteral("Nieznany błąd zamknięcia portu: ") + path);
    EXPECT_TRUE(port.ClosePort());
    EXPECT_EQ(port.LastMessage(), "Port nie był otwarty");

    // The port was really released: it opens again and carries data.
    OpenOrFail(path);
    ASSERT_TRUE(pty.Write(Bytes{0x42}));
    std::uint8_t b = 0;
    EXPECT_TRUE(port.ReadByte(b));
    EXPECT_EQ(b, 0x42);
}

TEST_F(SerialLinkOverPty, EmptyWriteFailsWithoutTouchingThePort) {
    OpenOrFail(path);
    const Bytes frame{1, 2, 3};
    EXPECT_FALSE(port.Write(frame.data(), 0));
    EXPECT_EQ(port.LastMessage(), QStringLiteral("Błąd zapisu do portu: ") + path);
    EXPECT_FALSE(port.Write(nullptr, 3));
    EXPECT_TRUE(pty.Read(1, Millis(100)).empty());
    EXPECT_TRUE(port.Opened());
}

TEST_F(SerialLinkOverPty, IdleReadGivesUpAfterAQuarterSecond) {
    OpenOrFail(path);
    std::uint8_t b = 0x77;
    bool got = true;
    const Millis spent = Timed([&] { got = port.ReadByte(b); });
    EXPECT_FALSE(got);
    EXPECT_EQ(b, 0x77) << "a failed read must not touch the byte";
    EXPECT_EQ(port.LastMessage(), QStringLiteral("Błąd odczytu z portu: ") + path);
    EXPECT_GE(spent.count(), 150);
    EXPECT_LE(spent.count(), 2000);

    // The time-out leaves no error behind: the next byte is read normally.
    ASSERT_TRUE(pty.Write(Bytes{0x5A}));
    EXPECT_TRUE(port.ReadByte(b));
    EXPECT_EQ(b, 0x5A);
}

TEST_F(SerialLinkOverPty, BytesTravelBothWays) {
    OpenOrFail(path);

    Bytes frame(255);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(255 - i);  // every byte value but 0, raw mode must keep them
    frame[7] = 0;
    EXPECT_TRUE(port.Write(frame.data(), frame.size()));
    EXPECT_EQ(pty.Read(frame.size()), frame);

    const Bytes reply{0xFF, 0x03, 0x04, 0x11, 0x0D, 0x0A, 0x13, 0x84, 0x65};
    ASSERT_TRUE(pty.Write(reply));
    EXPECT_EQ(ReadAll(port), reply);

    // A reply longer than the port's receive queue is not lost either.
    Bytes longReply(3000);
    for (std::size_t i = 0; i < longReply.size(); ++i) longReply[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(pty.Write(longReply));
    EXPECT_EQ(ReadAll(port), longReply);
}

TEST_F(SerialLinkOverPty, PurgeDiscardsPendingInput) {
    OpenOrFail(path);
    std::uint8_t b = 0;

    // Bytes still waiting in the device.
    ASSERT_TRUE(pty.Write(Bytes{1, 2, 3, 4}));
    ASSERT_TRUE(pty.WaitPendingAtPort(4));
    EXPECT_TRUE(port.ClearRXBuffer());
    EXPECT_EQ(pty.PendingAtPort(), 0u);
    EXPECT_FALSE(port.ReadByte(b));

    // Bytes already taken in by the port object after a first one was read.
    ASSERT_TRUE(pty.Write(Bytes{5, 6, 7, 8}));
    ASSERT_TRUE(pty.WaitPendingAtPort(4));
    ASSERT_TRUE(port.ReadByte(b));
    EXPECT_EQ(b, 5);
    ASSERT_EQ(pty.PendingAtPort(), 0u) << "the port object should have taken in the rest";
    EXPECT_TRUE(port.ClearRXBuffer());
    EXPECT_FALSE(port.ReadByte(b));

    // What arrives after the purge is kept.
    ASSERT_TRUE(pty.Write(Bytes{9}));
    EXPECT_TRUE(port.ReadByte(b));
    EXPECT_EQ(b, 9);
}

TEST_F(SerialLinkOverPty, AnotherProgramHoldingThePortBlocksOpen) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        char opened = 0;
        {
            SerialLink holder;
            opened = holder.OpenPort(path) ? 1 : 0;
            (void)!::write(ready[1], &opened, 1);
            char c;
            (void)!::read(release[0], &c, 1);  // returns when the parent closes its end
        }
        ::_exit(opened ? 0 : 1);
    }
    ::close(ready[1]);
    ::close(release[0]);

    pollfd p{ready[0], POLLIN, 0};
    char opened = 0;
    ASSERT_EQ(::poll(&p, 1, 10000), 1);
    ASSERT_EQ(::read(ready[0], &opened, 1), 1);
    ASSERT_EQ(opened, 1) << "the second program could not open the port";

    EXPECT_FALSE(port.OpenPort(path));
    EXPECT_EQ(port.LastMessage(), OpenFailureText(path));
    EXPECT_EQ(port.Refusal(), LinkRefusal::Busy);
    EXPECT_FALSE(port.Opened());

    ::close(release[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(ready[0]);

    // Once the other program let go, the port is ours.
    OpenOrFail(path);
}

TEST_F(SerialLinkOverPty, AliasesOfOneDeviceExcludeEachOther) {
    const QString link = Q(pty.AddSymlink());
    const QString linkToLink = Q(pty.AddSymlink());  // a second alias, to check both
    SerialLink other;

    OpenOrFail(path);
    for (const QString& alias : {link, linkToLink}) {
        EXPECT_FALSE(other.OpenPort(alias));
        EXPECT_EQ(other.LastMessage(), OpenFailureText(alias));
    }
    ASSERT_TRUE(port.ClosePort());

    // Opened through an alias, the port keeps the alias as its name and refuses the real path.
    ASSERT_TRUE(other.OpenPort(link)) << other.LastMessage().toStdString();
    EXPECT_EQ(other.PortName(), link);
    EXPECT_EQ(other.LastMessage(), QStringLiteral("Port ") + link + QStringLiteral(" został otwarty."));
    EXPECT_FALSE(port.OpenPort(path));
    EXPECT_EQ(port.LastMessage(), OpenFailureText(path));

    const Bytes frame{0xFF, 0x41, 0, 0, 0, 0, 0x28, 0x1B};
    EXPECT_TRUE(other.Write(frame.data(), frame.size()));
    EXPECT_EQ(pty.Read(frame.size()), frame);
}

namespace {
std::mutex messagesLock;
QStringList qtMessages;
void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::lock_guard lock(messagesLock);
    qtMessages << text;
}
}  // namespace

// The transmission thread creates the port object with itself on the user-interface thread and
// then uses it from its own thread, which runs no event loop.
TEST_F(SerialLinkOverPty, WorksFromAWorkerThreadWithoutEventLoop) {
    qtMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(RecordMessage);

    Bytes sent, echoed;
    bool opened = false, idleRead = true, purged = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        opened = port.OpenPort(path);
        const Bytes frame{0xFF, 0x06, 0x00, 0x52, 0x00, 0x04, 0x3C, 0x06};
        if (port.Write(frame.data(), frame.size())) sent = frame;
        echoed = ReadAll(port);  // the test thread answers below
        std::uint8_t b;
        idleRead = port.ReadByte(b);
        purged = port.ClearRXBuffer();
        port.ClosePort();
    }));
    worker->start();
    const Bytes request = pty.Read(8, Millis(5000));
    pty.Write(request);
    ASSERT_TRUE(worker->wait(QDeadlineTimer(20000)));
    qInstallMessageHandler(previous);

    EXPECT_TRUE(opened);
    EXPECT_EQ(request, sent);
    EXPECT_FALSE(sent.empty());
    EXPECT_EQ(echoed, sent);
    EXPECT_FALSE(idleRead);
    EXPECT_TRUE(purged);
    EXPECT_FALSE(port.Opened());
    EXPECT_TRUE(qtMessages.isEmpty()) << qtMessages.join(u'\n').toStdString();
}
