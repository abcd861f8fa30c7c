#pragma once
// Mapping studies and the loggers' calibration records in the archive's tables. Each change is
// one write transaction with its change-log entry: a failure leaves the study or the record as
// it was. Each call that fails leaves the reason in the database's Error().
#include <QList>
#include <QStringList>

#include <optional>

#include "archive/ChangeLog.h"
#include "study/Calibration.h"
#include "study/StudyDefinition.h"

namespace quorvex {

class ArchiveDatabase;

// Creates the study, or replaces the one of its name; `entry` (kind Study) gets what the study
// was and what it is now and is appended in the same transaction.
bool StoreStudy(ArchiveDatabase& db, const StudyDefinition& study, ChangeEntry& entry);
// The study of that name into `out`; `out` empty when there is none.
bool ReadStudy(ArchiveDatabase& db, const QString& name, std::optional<StudyDefinition>& out);
std::optional<QStringList> ReadStudyNames(ArchiveDatabase& db);

// Records the logger's calibration (replacing the one before) with its change-log entry.
bool StoreCalibration(ArchiveDatabase& db, const Calibration& calibration, ChangeEntry& entry);
std::optional<QList<Calibration>> ReadCalibrations(ArchiveDatabase& db);

// The study or the calibration as the change log states it: one line of JSON (the plan picture
// by its SHA-256).
QString StudyChangeText(const StudyDefinition& study);
QString CalibrationChangeText(const Calibration& calibration);

}  // namespace quorvex
