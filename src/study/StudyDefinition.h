#pragma once
// A mapping study as the archive keeps it: its name and kind, period, criteria, plan picture and
// positions, each position naming the log that stood there by the logger's serial number and the
// log's start (or, for results imported from a file, also the file's name).
#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <optional>

#include "study/StudyPlan.h"

namespace quorvex {

struct StudyPositionPlan {
    QString label;
    QString note;
    std::optional<QPointF> planPoint;  // on the plan picture, each coordinate 0 to 1 of its size
    QString serial;
    // The log's start on the logger clock, whole seconds of Moment; none: the logger's log that
    // reaches furthest into the study's period.
    std::optional<std::int64_t> logStart;
    QString sourceFile;  // set: results imported from this file
    friend bool operator==(const StudyPositionPlan&, const StudyPositionPlan&) = default;
};

struct StudyDefinition {
    QString name;
    QString kind;  // free text: empty, loaded, door open, power off …
    Moment from = 0.0;
    Moment to = 0.0;
    std::int64_t stabiliseSeconds = 0;
    StudyCriteria criteria;
    QByteArray planPicture;  // PNG or JPEG as the operator chose it; empty for none
    QList<StudyPositionPlan> positions;
    friend bool operator==(const StudyDefinition&, const StudyDefinition&) = default;

    StudyPeriod Period() const { return {from, to, stabiliseSeconds}; }
};

// The criteria as one line of JSON, as the archive stores them, and back; nothing for a text that
// is not such a line.
QString CriteriaText(const StudyCriteria& criteria);
std::optional<StudyCriteria> CriteriaFromText(const QString& text);

}  // namespace quorvex
