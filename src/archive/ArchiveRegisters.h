#pragma once
// The logger's parameters as the archive keeps them: the register mirror as read with a
// download, the thresholds read back from it, and the key of the log the logger holds now.
#include <QByteArray>

#include <optional>

#include "archive/Archive.h"
#include "logs/Thresholds.h"
#include "params/ParameterModel.h"

namespace quorvex {

// Every register of the mirror, 2 bytes each, high byte first.
QByteArray RegistersBytes(const ParameterModel& params);
// The four thresholds from such bytes; none when they are missing or unreadable.
std::optional<Thresholds> ThresholdsFromRegisters(const QByteArray& registers);

// Serial number, log start moment and save interval as the logger reports them; nothing while
// they have not all been read.
std::optional<ArchiveLogKey> CurrentLogKey(const ParameterModel& params);

// How many of the records the logger holds now are not in the archive: those after the last
// of 1…n archived for its current log; every record it holds without an archive. Nothing when
// the logger's count is unknown or the archive cannot answer (its LastError says why).
std::optional<int> RecordsNotArchived(Archive* archive, const ParameterModel& params);

}  // namespace quorvex
