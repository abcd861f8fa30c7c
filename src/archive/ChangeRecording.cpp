#include "archive/ChangeRecording.h"

#include <QFileInfo>

#include "logs/RecordsFingerprint.h"

namespace quorvex {

ChangeEntry WriteChange(const WriteOutcome& o, const ParameterModel& params, const QString& program) {
    static constexpr ChangeKind kKinds[] = {ChangeKind::RegisterWrite, ChangeKind::ClockSet, ChangeKind::Start,
                                            ChangeKind::Stop, ChangeKind::Reset};
    ChangeEntry e = LocalChange(kKinds[static_cast<int>(o.kind)], program, params.Param<SerialNumber>().GetText());
    if (o.parameter) e.subject = o.parameter->Name;
    e.before = o.before;
    e.after = o.after;
    e.confirmed = o.confirmed;
    if (o.kind != WriteOutcome::Kind::Reset) {
        QStringList details{QStringLiteral("register %1").arg(o.firstRegister), QStringLiteral("sent %1").arg(o.sent)};
        if (o.exceptionCode != 0)
            details << QStringLiteral("refused with exception %1").arg(o.exceptionCode);
        else if (o.confirmed == 0 && o.after.isEmpty())
            details << QStringLiteral("no answer");
        e.details = details.join(QStringLiteral("; "));
    }
    return e;
}

ChangeEntry FileChange(ChangeKind kind, const QString& program, const ResultsStore& records, const QString& path) {
    ChangeEntry e = LocalChange(kind, program, records.serialNumber);
    e.subject = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    e.fingerprint = RecordsFingerprint(records);
    e.details = QStringLiteral("%1 records").arg(records.Count());
    return e;
}

ChangeEntry SignatureChange(const SignOutcome& o, const QString& program) {
    ChangeEntry e = LocalChange(ChangeKind::Signature, program, o.facts.serial);
    e.subject = QFileInfo(o.signaturePath).absoluteFilePath();
    QStringList details{QStringLiteral("key %1").arg(o.keyId)};
    if (!o.facts.logStart.isEmpty()) details << QStringLiteral("log %1").arg(o.facts.logStart);
    if (o.facts.records >= 0) details << QStringLiteral("%1 records").arg(o.facts.records);
    e.details = details.join(QStringLiteral("; "));
    return e;
}

}  // namespace quorvex
