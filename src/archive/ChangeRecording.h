#pragma once
// Entries for the change log (ChangeLog.h) from what the program did: a write to the logger as
// it ended, and a file written from a log's records (an export, a report, a signature, any
// other file). The caller appends them (Archive::AppendChange).
#include "archive/ChangeLog.h"
#include "logs/ResultsStore.h"
#include "params/ParameterModel.h"
#include "sign/FileSigner.h"

namespace quorvex {

// `program`: name and version. The logger's serial number as the model holds it.
ChangeEntry WriteChange(const WriteOutcome& outcome, const ParameterModel& params, const QString& program);

// `path` written from `records` (their fingerprint and count go along).
ChangeEntry FileChange(ChangeKind kind, const QString& program, const ResultsStore& records, const QString& path);

// A signature written beside a file: the signature's file, the key's id and the records' facts
// the trusted comment names.
ChangeEntry SignatureChange(const SignOutcome& outcome, const QString& program);

}  // namespace quorvex
