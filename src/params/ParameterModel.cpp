#include "params/ParameterModel.h"

#include <algorithm>

#include "modbus/Request.h"
#include "params/Codecs.h"

namespace quorvex {
namespace {

constexpr int kMaxWriteWords = 123;  // function 16: 9 + 2n bytes within one 255-byte frame
constexpr int kMaxReadWords = 125;   // function 3: 5 + 2n bytes in the reply

}  // namespace

ParameterModel::ParameterModel()
    : mirror_([] {
          RegisterMirror m;
          m.fill(kNotReceived);
          return m;
      }()),
      startLog_(mirror_[0], [this] { UpdateDependencies(); }),
      logging_(mirror_[0]),
      wrapArround_(mirror_[0]),
      index_(&startLog_, &logging_, &wrapArround_, &statusWord_, &currentDate_, &currentTime_, &logStartDate_,
             &logStartTime_, &writeInterval_, &writeIndex_, &readIndex_, &currentTemp_, &highTemp_, &lowTemp_,
             &currentHum_, &highHum_, &lowHum_, &deviceType_, &versionFirmware_, &logCounter_, &batteryStatus_,
             &productionDate_, &loggerName_, &deviceTypeEprom_, &serialNumber_, &correctionTemp_, &correctionHum_),
      Parameters(std::apply([](auto*... p) { return std::array<Parameter*, kParameterCount>{p...}; }, index_)) {
    UpdateDependencies();
}

void ParameterModel::StoreRegisters(const std::uint8_t* bytes, std::uint16_t startRegister, int byteCount) {
    const int words = byteCount > 0 ? byteCount / 2 : 0;
    std::bitset<kParameterCount> touched;
    for (int i = 0; i < words; ++i) {
        const int reg = startRegister + i;
        const auto value = Word(bytes[2 * i], bytes[2 * i + 1]);
        const std::uint16_t* cell = nullptr;
        bool cellChanged = false;
        if (reg < kRegisterCount) {
            std::uint16_t& slot = mirror_[static_cast<std::size_t>(reg)];
            cellChanged = slot != value;
            slot = value;
            cell = &slot;
        }
        for (std::size_t k = 0; k < Parameters.size(); ++k) {
            Parameter* p = Parameters[k];
            // The status bits read the cell itself, which a local change may have altered.
            if (p->OnRegister(reg, value) || (cellChanged && p->StatusCell == cell)) {
                changed_.set(k);
                touched.set(k);
            }
            if ((reg >= p->FirstRegister && reg < p->FirstRegister + 3) || (p->StatusCell && reg == 0)) touched.set(k);
        }
    }
    UpdateDependencies();
    // What the logger showed, for the change log's "before" of the next write.
    for (std::size_t k = 0; k < Parameters.size(); ++k)
        if (touched.test(k) && !Parameters[k]->Empty) lastRead_[k] = Parameters[k]->GetText();
}

void ParameterModel::InvalidateAll() {
    // Writes still on their way have no logger left to confirm them.
    for (const PendingWrite& p : pending_) Report(p, QString(), 0);
    pending_.clear();
    for (Parameter* p : Parameters) p->Invalidate();
    changed_.set();
    UpdateDependencies();
}

std::vector<const Parameter*> ParameterModel::TakeChanged() {
    std::vector<const Parameter*> changed;
    for (std::size_t k = 0; k < Parameters.size(); ++k)
        if (changed_.test(k)) changed.push_back(Parameters[k]);
    changed_.reset();
    return changed;
}

void ParameterModel::UpdateDependencies() {
    const std::uint16_t cell = mirror_[0];
    const int startMode = cell == kNotReceived ? -1 : (cell & 3);
    logStartDate_.Applicable = logStartTime_.Applicable = startMode == 2;

    const bool humidity = IsHumidityDevice(deviceType_.GetText());
    // A logger without humidity has no humidity correction to offer either.
    currentHum_.Available = lowHum_.Available = highHum_.Available = correctionHum_.Available = humidity;

    recordingActive_ = cell != kNotReceived && (cell & 0x0004) != 0;
}

int ParameterModel::ValueCount() const {
    int n = 0;
    for (const Parameter* p : Parameters)
        if (!p->Empty) ++n;
    return n;
}

void ParameterModel::WriteRegisters(const Parameter& parameter, std::span<const std::uint16_t> words,
                                    std::uint32_t chain) {
    if (!channel_.enqueue) return;
    if (words.empty() || words.size() > kMaxWriteWords) {
        NoteLine(
            QStringLiteral("Błąd w funkcji WriteRegisters. Nieprawidłowa liczba rejestrów: %1.").arg(words.size()));
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_WRITE_MULTIPLE;
    r.StartRegister = static_cast<std::uint16_t>(parameter.FirstRegister);
    r.Count = static_cast<std::uint16_t>(words.size());
    r.Attempts = kAttempts;
    r.Values.assign(words.begin(), words.end());
    r.Chain = chain;
    if (chain == 0) Follow(parameter, r.Function, r.StartRegister, static_cast<int>(words.size()));
    channel_.enqueue(r);
}

void ParameterModel::ReadBack(const Parameter& parameter, int count) {
    if (!channel_.enqueue) return;
    if (count < 1 || count > kMaxReadWords) {
        NoteLine(QStringLiteral("Błąd w funkcji ReadBack. Nieprawidłowa liczba rejestrów: %1.").arg(count));
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_READ_HOLDING;
    r.Tag = TAG_READ_BACK;
    r.StartRegister = static_cast<std::uint16_t>(parameter.FirstRegister);
    r.Count = static_cast<std::uint16_t>(count);
    r.Attempts = kAttempts;
    channel_.enqueue(r);
}

void ParameterModel::EnqueueResetCommand() {
    if (!channel_.enqueue) return;
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_RESET_COMMAND;
    r.Attempts = 1;
    channel_.enqueue(r);
    // Its reply carries nothing to confirm: the change log has it as sent.
    if (watcher_) watcher_({WriteOutcome::Kind::Reset, nullptr, 0, {}, {}, {}, -1, 0});
}

void ParameterModel::WriteCommand(std::uint16_t reg, std::uint16_t value) {
    if (!channel_.enqueue) return;
    if (reg < kStartModeBit0Register || reg > kOverwriteRegister) {
        NoteLine(QStringLiteral("Błąd w funkcji WriteCommand. Rejestr %1 nie jest rejestrem komendy.").arg(reg));
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_WRITE_SINGLE;
    r.StartRegister = reg;
    r.Value = value;
    r.Attempts = kAttempts;
    const Parameter& parameter = reg == kRecordingRegister   ? static_cast<const Parameter&>(logging_)
                                 : reg == kOverwriteRegister ? static_cast<const Parameter&>(wrapArround_)
                                                             : static_cast<const Parameter&>(startLog_);
    Follow(parameter, r.Function, reg);
    if (reg == kRecordingRegister) pending_.back().kind = value ? WriteOutcome::Kind::Start : WriteOutcome::Kind::Stop;
    channel_.enqueue(r);
}

void ParameterModel::WriteRecordingBit(bool on) {
    std::uint16_t* cell = logging_.StatusCell;
    if (!cell) return;
    *cell = on ? static_cast<std::uint16_t>(*cell | 4u) : static_cast<std::uint16_t>(*cell & ~4u);
    WriteCommand(kRecordingRegister, static_cast<std::uint16_t>(*cell & 4u));
}

void ParameterModel::Follow(const Parameter& parameter, std::uint8_t function, std::uint16_t firstRegister, int words) {
    // The running clock reads back a moment later than it was written, and a command register
    // is never read: only the echo confirms those.
    const bool clock = &parameter == &currentDate_ || &parameter == &currentTime_;
    QString sent = parameter.GetText(), before = LastRead(parameter);
    // Date and time in one write: the change log has both.
    if (&parameter == &currentDate_ && words >= 4) {
        sent += u' ' + currentTime_.GetText();
        before += u' ' + LastRead(currentTime_);
    }
    pending_.push_back({&parameter, function, firstRegister, sent, function == FN_WRITE_MULTIPLE && !clock, before,
                        clock ? WriteOutcome::Kind::Clock : WriteOutcome::Kind::Register});
}

QString ParameterModel::LastRead(const Parameter& parameter) const {
    const auto it = std::find(Parameters.begin(), Parameters.end(), &parameter);
    return it == Parameters.end() ? QString() : lastRead_[static_cast<std::size_t>(it - Parameters.begin())];
}

void ParameterModel::Report(const PendingWrite& write, const QString& after, int confirmed, int exceptionCode) const {
    if (!watcher_) return;
    watcher_(
        {write.kind, write.parameter, write.firstRegister, write.before, write.sent, after, confirmed, exceptionCode});
}

std::optional<WriteRefusal> ParameterModel::WriteRefused(const Request& write, std::uint8_t exceptionCode) {
    const auto it = std::find_if(pending_.begin(), pending_.end(), [&](const PendingWrite& p) {
        return p.function == write.Function && p.firstRegister == write.StartRegister;
    });
    if (it == pending_.end()) return std::nullopt;
    const WriteRefusal refusal{it->parameter, it->sent, exceptionCode, {}};
    Report(*it, QString(), 0, exceptionCode);
    // A name goes out in several writes: the operator hears of the refusal once.
    std::erase_if(pending_, [&](const PendingWrite& p) { return p.parameter == refusal.parameter; });
    return refusal;
}

void ParameterModel::WriteConfirmed(const Request& write) {
    const auto it = std::find_if(pending_.begin(), pending_.end(), [&](const PendingWrite& p) {
        return !p.awaitsReadBack && p.function == write.Function && p.firstRegister == write.StartRegister;
    });
    if (it == pending_.end()) return;
    Report(*it, it->sent, 1);
    pending_.erase(it);
}

std::vector<WriteRefusal> ParameterModel::CheckReadBack(const Request& read) {
    std::vector<WriteRefusal> refusals;
    if (read.Tag != TAG_READ_BACK) return refusals;
    const int end = read.StartRegister + read.ByteCount / 2;
    std::vector<const Parameter*> checked;
    std::erase_if(pending_, [&](const PendingWrite& p) {
        if (!p.awaitsReadBack || p.firstRegister < read.StartRegister || p.firstRegister >= end) return false;
        if (std::find(checked.begin(), checked.end(), p.parameter) == checked.end()) {
            checked.push_back(p.parameter);
            // Compared as the parameter shows its value, so bits outside its field do not count.
            const QString kept = p.parameter->GetText();
            if (kept != p.sent) refusals.push_back({p.parameter, p.sent, 0, kept});
            Report(p, kept, kept == p.sent ? 1 : 0);
        }
        return true;
    });
    return refusals;
}

void ParameterModel::Connect(LoggerChannel channel) { channel_ = std::move(channel); }

void ParameterModel::Disconnect() { channel_ = {}; }

void ParameterModel::Enqueue(const Request& request) const {
    if (channel_.enqueue) channel_.enqueue(request);
}

void ParameterModel::NoteLine(const QString& line) const {
    if (channel_.note) channel_.note(line);
}

}  // namespace quorvex
