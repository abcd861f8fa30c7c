// The protocol state machine of the transmission thread: one step per call. A whole
// exchange (take a request, build and send its frame, collect the reply until the line goes
// quiet, check it, hand it over, retry or give up) spreads over many calls.
#include <algorithm>
#include <limits>

#include "modbus/Crc16.h"
#include "modbus/FrameRules.h"
#include "modbus/Tick.h"
#include "modbus/TransmissionThread.h"

namespace quorvex {

namespace {
// ProtocolState values.
enum : std::uint8_t {
    PS_START = 0,
    PS_IDLE = 1,
    PS_NEXT_ATTEMPT = 3,
    PS_CHOOSE = 5,
    PS_BUILD_READ = 10,
    PS_BUILD_WRITE_MULTIPLE = 20,
    PS_BUILD_RESET = 30,
    PS_BUILD_WRITE_SINGLE = 40,
    PS_SEND = 90,
    PS_WAIT_FIRST_BYTE = 100,
    PS_RECEIVE = 105,
    PS_CHECK = 110,
    PS_ACCEPT = 120,
    PS_BAD_REPLY = 200,
    PS_FLUSH = 201,
};

// The full wait of one byte read; shorter waits are asked for where a time-out is near.
constexpr std::uint32_t kFullReadWaitMs = 1000;
}  // namespace

void TransmissionThread::ModbusProtocol() {
    std::uint8_t state = ProtocolState_.load();
    auto go = [&](std::uint8_t next) { ProtocolState_ = next; };
    switch (state) {
    case PS_START:
        go(PS_IDLE);
        break;
    case PS_IDLE:
        StepIdle();
        break;
    case PS_NEXT_ATTEMPT:
        if (Working_.Attempts > 0) {
            --Working_.Attempts;
            go(PS_CHOOSE);
            break;
        }
        SetHistoryStatus(STATUS_NO_REPLY);
        Count(&TransmissionCounters::NoResponseCount);
        if (LastReplyBad_ && Working_.Function == FN_READ_HOLDING && Working_.StartRegister == kLogRegister) {
            // The logger answered, but the block came corrupted: the log download decides
            // whether to ask again from its last good record.
            Post(Msg::Counters, {}, PS_NEXT_ATTEMPT);
            SendWithoutData(Msg::LogReadFailed);
        } else {
            Post(Msg::NoResponse);
            Post(Msg::Counters, {}, PS_NEXT_ATTEMPT);
        }
        go(PS_START);
        break;
    case PS_CHOOSE:
        switch (Working_.Function) {
        case FN_READ_HOLDING:
            go(PS_BUILD_READ);
            break;
        case FN_WRITE_MULTIPLE:
            go(PS_BUILD_WRITE_MULTIPLE);
            break;
        case FN_RESET_COMMAND:
            go(PS_BUILD_RESET);
            break;
        case FN_WRITE_SINGLE:
            go(PS_BUILD_WRITE_SINGLE);
            break;
        default:
            StatusText(QStringLiteral("Błąd w funkcji ModbusProtocol. Nieprawidłowa komenda."));
            go(PS_START);
        }
        break;
    case PS_BUILD_READ:
        FrameLength_ = static_cast<std::uint8_t>(BuildReadRequest(Working_, FrameBuffer_.data()));
        go(PS_SEND);
        break;
    case PS_BUILD_WRITE_MULTIPLE: {
        const std::size_t n = BuildWriteMultipleRequest(Working_, FrameBuffer_.data());
        if (n == 0) {
            StatusText(QStringLiteral("Błąd w funkcji ModbusProtocol. Nieprawidłowo wypełniony bufor do zapisu ."));
            go(PS_START);
            break;
        }
        FrameLength_ = static_cast<std::uint8_t>(n);
        go(PS_SEND);
        break;
    }
    case PS_BUILD_RESET:
        FrameLength_ = static_cast<std::uint8_t>(BuildResetRequest(Working_, FrameBuffer_.data()));
        go(PS_SEND);
        break;
    case PS_BUILD_WRITE_SINGLE:
        FrameLength_ = static_cast<std::uint8_t>(BuildWriteSingleRequest(Working_, FrameBuffer_.data()));
        go(PS_SEND);
        break;
    case PS_SEND:
        StepSend();
        break;
    case PS_WAIT_FIRST_BYTE: {
        const std::uint32_t passed = TicksSince(SendTime_);
        if (passed > kFirstByteMs) {
            go(PS_NEXT_ATTEMPT);
            break;
        }
        std::uint8_t byte = 0;
        if (ReadLinkByte(byte, kFirstByteMs + 1 - passed)) {
            FrameBuffer_[0] = byte;
            FrameLength_ = 1;
            ByteTime_ = GetTickCount();
            LastByteAt_ = std::chrono::steady_clock::now();
            go(PS_RECEIVE);
        }
        break;
    }
    case PS_RECEIVE: {
        const std::uint32_t passed = TicksSince(ByteTime_);
        if (passed > kSilenceMs) {
            if (FrameLength_ < 5) {
                Count(&TransmissionCounters::FrameTooShortCount);
                go(PS_BAD_REPLY);
            } else {
                go(PS_CHECK);
            }
            break;
        }
        std::uint8_t byte = 0;
        // Waiting no longer than the silence still to go ends a reply 800 ms after its last byte.
        if (ReadLinkByte(byte, kSilenceMs + 1 - passed)) {
            if (FrameLength_ >= kMaxFrameLength) {
                Count(&TransmissionCounters::FrameTooLongCount);
                go(PS_BAD_REPLY);
            } else {
                FrameBuffer_[FrameLength_++] = byte;
                ByteTime_ = GetTickCount();
                LastByteAt_ = std::chrono::steady_clock::now();
                // A reply that is whole by its own length and CRC needs no silence to end it;
                // anything else (an unknown function, a bad CRC, noise) still waits for it.
                if (FastReply_ && ReplyComplete(Working_, FrameBuffer_.data(), FrameLength_)) {
                    AwaitQuiet_ = true;
                    go(PS_CHECK);
                }
            }
        }
        break;
    }
    case PS_CHECK:
        StepCheck();
        break;
    case PS_ACCEPT:
        StepAccept();
        break;
    case PS_BAD_REPLY:
        LastReplyBad_ = true;
        PostCounters();
        FlushStart_ = GetTickCount();
        PurgeLink();
        go(PS_FLUSH);
        break;
    case PS_FLUSH: {
        std::uint8_t byte = 0;
        if (!ReadLinkByte(byte, kFullReadWaitMs) || TicksSince(FlushStart_) > kFlushMs) go(PS_NEXT_ATTEMPT);
        break;  // a byte within the flush time is thrown away
    }
    default:
        go(PS_START);
        break;
    }
}

void TransmissionThread::StepIdle() {
    {
        // Take the queue only when AddRecord is not at it; otherwise come back next pass.
        std::unique_lock lock(QueueLock_, std::try_to_lock);
        if (!lock.owns_lock()) return;
        {
            // Cleared before the queue is looked at, so a request added after this point
            // always ends the wait below.
            std::lock_guard wake(WakeMutex_);
            WakeFlag_ = false;
        }
        if (!commandQueue_.empty()) {
            Working_ = std::move(commandQueue_.back());
            commandQueue_.pop_back();
            Transmissions_ = 0;
            ProtocolState_ = PS_NEXT_ATTEMPT;
            return;
        }
    }
    // Nothing to do: sleep until a request comes, the link name changes, the thread is to
    // end or the poll falls due, instead of waking every millisecond to look.
    const std::uint32_t left = TicksLeft(PollTimer_, GetTickCount(), kPollIdleMs);
    WaitForWake(std::max<std::uint32_t>(left, 1));
}

void TransmissionThread::StepSend() {
    if (AwaitQuiet_) WaitForQuietLine();
    FastReply_ = FastFrames_.load();
    FrameLength_ = static_cast<std::uint8_t>(AppendCrc(FrameBuffer_.data(), FrameLength_));
    PurgeLink();
    Link_->Write(FrameBuffer_.data(), FrameLength_);
    SendTime_ = GetTickCount();
    LastReplyBad_ = false;
    ProtocolState_ = PS_WAIT_FIRST_BYTE;
    ++Transmissions_;
    SetHistoryStatus(Transmissions_ == 1 ? STATUS_SENT : STATUS_SENT_AGAIN);
    Post(Msg::FrameSent);
}

void TransmissionThread::StepCheck() {
    switch (CheckReply(Working_, FrameBuffer_.data(), FrameLength_)) {
    case ReplyCheck::TooShort:  // the receive state has already sorted these out
        Count(&TransmissionCounters::FrameTooShortCount);
        ProtocolState_ = PS_BAD_REPLY;
        break;
    case ReplyCheck::TooLong:
        Count(&TransmissionCounters::FrameTooLongCount);
        ProtocolState_ = PS_BAD_REPLY;
        break;
    case ReplyCheck::BadCrc:
        Count(&TransmissionCounters::CrcErrorCount);
        ProtocolState_ = PS_BAD_REPLY;
        break;
    case ReplyCheck::WrongAddress:
        Working_.Attempts = 0;
        Count(&TransmissionCounters::AddressErrorCount);
        ProtocolState_ = PS_BAD_REPLY;
        break;
    case ReplyCheck::Accepted:
        ProtocolState_ = PS_ACCEPT;
        break;
    case ReplyCheck::RefusedLogRead:
        // The logger's way of saying the log is at its end: no error, the download is told.
        SendWithoutData(Msg::EndOfLog);
        SetHistoryStatus(STATUS_DONE);
        ProtocolState_ = PS_START;
        break;
    case ReplyCheck::RefusedWrite:
        // Still a command error in the counters, but the logger answered: the requester is
        // told what it refused instead of the link being given up.
        Count(&TransmissionCounters::CommandErrorCount);
        PostCounters();
        SetHistoryStatus(STATUS_REFUSED);
        ResponseRecord_ = Working_;
        ResponseRecord_.Data = FrameBuffer_.data() + 2;
        ResponseRecord_.ByteCount = 1;
        Send(Msg::WriteRefused);
        ProtocolState_ = PS_START;
        break;
    case ReplyCheck::WrongFunction:
        Working_.Attempts = 0;
        Count(&TransmissionCounters::CommandErrorCount);
        ProtocolState_ = PS_BAD_REPLY;
        break;
    }
}

void TransmissionThread::StepAccept() {
    Count(&TransmissionCounters::FramesReceivedCount);
    Post(Msg::Counters, {}, PS_ACCEPT);
    switch (Working_.Function) {
    case FN_READ_HOLDING: {
        ApplyReply(Working_, FrameBuffer_.data(), FrameLength_);
        ResponseRecord_ = Working_;
        SetHistoryStatus(STATUS_DONE);
        if (Working_.Tag == TAG_POLL && QueueSize() != 0) {
            // Requests are waiting: they come first, the next poll reads the same again.
            SetHistoryStatus(STATUS_POLL_DROPPED);
            break;
        }
        Send(Working_.StartRegister == kLogRegister ? Msg::LogReadDone : Msg::ReadDone);
        break;
    }
    case FN_WRITE_MULTIPLE:
    case FN_WRITE_SINGLE:
        ApplyReply(Working_, FrameBuffer_.data(), FrameLength_);
        ResponseRecord_ = Working_;
        SetHistoryStatus(STATUS_DONE);
        Send(Msg::WriteDone);
        break;
    default:
        break;  // the reset command hands nothing over
    }
    ProtocolState_ = PS_START;
}

bool TransmissionThread::ReadLinkByte(std::uint8_t& byte, std::uint32_t maxWaitMs) {
    // The link cuts the wait to its own longest read.
    constexpr std::uint32_t longest = std::numeric_limits<int>::max();
    return Link_->ReadByte(byte, static_cast<int>(std::min(maxWaitMs, longest)));
}

void TransmissionThread::WaitForQuietLine() {
    // Bytes still arriving after a reply that ended by its length are no part of the next
    // reply: they are read and thrown away until the line has been quiet long enough. A line
    // that never falls quiet is given up on after the flush time; the purge before the send
    // clears the rest.
    AwaitQuiet_ = false;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(kFlushMs);
    for (;;) {
        const Clock::time_point now = Clock::now();
        const auto quietFor = now - LastByteAt_;
        if (quietFor >= kQuietTime || now >= giveUp) return;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(kQuietTime - quietFor);
        std::uint8_t byte = 0;
        if (ReadLinkByte(byte, static_cast<std::uint32_t>(left.count()))) LastByteAt_ = Clock::now();
    }
}

void TransmissionThread::PurgeLink() { Link_->Purge(); }

void TransmissionThread::SendWithoutData(Msg msg) {
    // The hand-over names the request it is about (the log download checks its chain), not
    // the last one that was accepted.
    ResponseRecord_ = Working_;
    ResponseRecord_.Data = nullptr;
    ResponseRecord_.ByteCount = 0;
    Send(msg);
}

void TransmissionThread::SetHistoryStatus(std::uint8_t status) {
    std::lock_guard lock(SharedLock_);
    auto it = std::find_if(commandHistory_.begin(), commandHistory_.end(),
                           [&](const Request& r) { return r.SeqNo == Working_.SeqNo; });
    if (it != commandHistory_.end()) it->Status = status;
    Working_.Status = status;
}

void TransmissionThread::Count(std::uint32_t TransmissionCounters::*counter) {
    std::lock_guard lock(SharedLock_);
    ++(Counters_.*counter);
}

void TransmissionThread::PostCounters() { Post(Msg::Counters, {}, ProtocolState_.load()); }

}  // namespace quorvex
