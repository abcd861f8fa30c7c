#include "archive/StudyStore.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include "archive/Archive.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ChangeLogTable.h"

namespace quorvex {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QString Compact(const QJsonObject& o) { return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)); }

std::optional<std::int64_t> StudyId(ArchiveDatabase& db, const QString& name) {
    QSqlQuery q(db.Connection());
    if (!db.Prepare(q, QStringLiteral("SELECT id FROM study WHERE name = ?"))) return std::nullopt;
    q.addBindValue(ArchiveDatabase::Text(name));
    return db.SingleId(q);
}

bool InsertPositions(ArchiveDatabase& db, std::int64_t study, const QList<StudyPositionPlan>& positions) {
    QSqlQuery q(db.Connection());
    if (!db.Prepare(q, QStringLiteral("INSERT INTO study_position (study_id, ordinal, label, note, plan_x, plan_y, "
                                      "serial, log_start_s, source_file) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return false;
    for (int i = 0; i < positions.size(); ++i) {
        const StudyPositionPlan& p = positions.at(i);
        q.addBindValue(QVariant::fromValue<qlonglong>(study));
        q.addBindValue(i);
        q.addBindValue(ArchiveDatabase::Text(p.label));
        q.addBindValue(ArchiveDatabase::Text(p.note));
        q.addBindValue(p.planPoint ? QVariant(p.planPoint->x()) : QVariant(QMetaType::fromType<double>()));
        q.addBindValue(p.planPoint ? QVariant(p.planPoint->y()) : QVariant(QMetaType::fromType<double>()));
        q.addBindValue(ArchiveDatabase::Text(p.serial));
        q.addBindValue(p.logStart ? QVariant::fromValue<qlonglong>(*p.logStart)
                                  : QVariant(QMetaType::fromType<qlonglong>()));
        q.addBindValue(ArchiveDatabase::Text(p.sourceFile));
        if (!db.Exec(q)) return false;
    }
    return true;
}

}  // namespace

QString StudyChangeText(const StudyDefinition& s) {
    QJsonArray positions;
    for (const StudyPositionPlan& p : s.positions) {
        QJsonObject o{{QStringLiteral("label"), p.label}, {QStringLiteral("serial"), p.serial}};
        if (p.logStart) o.insert(QStringLiteral("log_start_s"), static_cast<double>(*p.logStart));
        if (!p.sourceFile.isEmpty()) o.insert(QStringLiteral("file"), p.sourceFile);
        if (!p.note.isEmpty()) o.insert(QStringLiteral("note"), p.note);
        if (p.planPoint) o.insert(QStringLiteral("plan"), QJsonArray{p.planPoint->x(), p.planPoint->y()});
        positions.append(o);
    }
    QJsonObject o{{QStringLiteral("kind"), s.kind},
                  {QStringLiteral("from_s"), static_cast<double>(MomentSeconds(s.from))},
                  {QStringLiteral("to_s"), static_cast<double>(MomentSeconds(s.to))},
                  {QStringLiteral("stabilise_s"), static_cast<double>(s.stabiliseSeconds)},
                  {QStringLiteral("criteria"), QJsonDocument::fromJson(CriteriaText(s.criteria).toUtf8()).object()},
                  {QStringLiteral("positions"), positions}};
    if (!s.planPicture.isEmpty())
        o.insert(QStringLiteral("plan_sha256"),
                 QString::fromLatin1(QCryptographicHash::hash(s.planPicture, QCryptographicHash::Sha256).toHex()));
    return Compact(o);
}

QString CalibrationChangeText(const Calibration& c) {
    return Compact({{QStringLiteral("certificate"), c.certificate},
                    {QStringLiteral("date"), c.date.toString(kDateFormat)},
                    {QStringLiteral("due"), c.due.toString(kDateFormat)},
                    {QStringLiteral("temperature_offset"), static_cast<double>(c.temperatureOffset)},
                    {QStringLiteral("humidity_offset"), static_cast<double>(c.humidityOffset)},
                    {QStringLiteral("temperature_uncertainty"), static_cast<double>(c.temperatureUncertainty)},
                    {QStringLiteral("humidity_uncertainty"), static_cast<double>(c.humidityUncertainty)}});
}

bool StoreStudy(ArchiveDatabase& db, const StudyDefinition& study, ChangeEntry& entry) {
    return db.Write([&] {
        std::optional<StudyDefinition> before;
        if (!ReadStudy(db, study.name, before)) return false;
        const auto existing = StudyId(db, study.name);
        if (!existing) return false;
        QSqlQuery q(db.Connection());
        std::int64_t id = *existing;
        if (id != 0) {
            QSqlQuery drop(db.Connection());
            if (!db.Prepare(drop, QStringLiteral("DELETE FROM study_position WHERE study_id = ?"))) return false;
            drop.addBindValue(QVariant::fromValue<qlonglong>(id));
            if (!db.Exec(drop) ||
                !db.Prepare(q, QStringLiteral("UPDATE study SET kind = ?, from_s = ?, to_s = ?, stabilise_s = ?, "
                                              "criteria = ?, plan = ? WHERE id = ?")))
                return false;
        } else if (!db.Prepare(q, QStringLiteral("INSERT INTO study (kind, from_s, to_s, stabilise_s, criteria, "
                                                 "plan, name) VALUES (?, ?, ?, ?, ?, ?, ?) RETURNING id"))) {
            return false;
        }
        q.addBindValue(ArchiveDatabase::Text(study.kind));
        q.addBindValue(QVariant::fromValue<qlonglong>(MomentSeconds(study.from)));
        q.addBindValue(QVariant::fromValue<qlonglong>(MomentSeconds(study.to)));
        q.addBindValue(QVariant::fromValue<qlonglong>(study.stabiliseSeconds));
        q.addBindValue(CriteriaText(study.criteria));
        q.addBindValue(study.planPicture.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>())
                                                   : QVariant(study.planPicture));
        if (id != 0) {
            q.addBindValue(QVariant::fromValue<qlonglong>(id));
            if (!db.Exec(q)) return false;
        } else {
            q.addBindValue(ArchiveDatabase::Text(study.name));
            const auto made = db.SingleId(q);
            if (!made) return false;
            id = *made;
        }
        if (!InsertPositions(db, id, study.positions)) return false;
        entry.kind = ChangeKind::Study;
        entry.subject = study.name;
        entry.before = before ? StudyChangeText(*before) : QString();
        entry.after = StudyChangeText(study);
        return AppendChangeRow(db, entry);
    });
}

bool ReadStudy(ArchiveDatabase& db, const QString& name, std::optional<StudyDefinition>& out) {
    out.reset();
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT id, kind, from_s, to_s, stabilise_s, criteria, plan FROM study "
                                      "WHERE name = ?")))
        return false;
    q.addBindValue(ArchiveDatabase::Text(name));
    if (!db.Exec(q)) return false;
    if (!q.next()) return true;
    StudyDefinition s;
    const std::int64_t id = q.value(0).toLongLong();
    s.name = name;
    s.kind = q.value(1).toString();
    s.from = MomentFromSeconds(q.value(2).toLongLong());
    s.to = MomentFromSeconds(q.value(3).toLongLong());
    s.stabiliseSeconds = q.value(4).toLongLong();
    const auto criteria = CriteriaFromText(q.value(5).toString());
    if (!criteria) return db.Fail(QStringLiteral("the criteria of study %1 cannot be read").arg(name));
    s.criteria = *criteria;
    s.planPicture = q.value(6).toByteArray();
    q.finish();
    QSqlQuery p(db.Connection());
    p.setForwardOnly(true);
    if (!db.Prepare(p, QStringLiteral("SELECT label, note, plan_x, plan_y, serial, log_start_s, source_file FROM "
                                      "study_position WHERE study_id = ? ORDER BY ordinal")))
        return false;
    p.addBindValue(QVariant::fromValue<qlonglong>(id));
    if (!db.Exec(p)) return false;
    while (p.next()) {
        StudyPositionPlan position;
        position.label = p.value(0).toString();
        position.note = p.value(1).toString();
        if (!p.value(2).isNull() && !p.value(3).isNull())
            position.planPoint = QPointF(p.value(2).toDouble(), p.value(3).toDouble());
        position.serial = p.value(4).toString();
        if (!p.value(5).isNull()) position.logStart = p.value(5).toLongLong();
        position.sourceFile = p.value(6).toString();
        s.positions.push_back(position);
    }
    out = std::move(s);
    return true;
}

std::optional<QStringList> ReadStudyNames(ArchiveDatabase& db) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM study ORDER BY name"))) {
        db.Fail(q.lastError());
        return std::nullopt;
    }
    QStringList names;
    while (q.next()) names << q.value(0).toString();
    return names;
}

bool StoreCalibration(ArchiveDatabase& db, const Calibration& c, ChangeEntry& entry) {
    return db.Write([&] {
        const auto all = ReadCalibrations(db);
        if (!all) return false;
        entry.before.clear();
        for (const Calibration& old : *all)
            if (old.serial == c.serial) entry.before = CalibrationChangeText(old);
        QSqlQuery q(db.Connection());
        if (!db.Prepare(q, QStringLiteral("INSERT INTO calibration (serial, certificate, calibrated, due, "
                                          "temperature_offset, humidity_offset, temperature_uncertainty, "
                                          "humidity_uncertainty) VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT "
                                          "(serial) DO UPDATE SET certificate = excluded.certificate, calibrated = "
                                          "excluded.calibrated, due = excluded.due, temperature_offset = "
                                          "excluded.temperature_offset, humidity_offset = excluded.humidity_offset, "
                                          "temperature_uncertainty = excluded.temperature_uncertainty, "
                                          "humidity_uncertainty = excluded.humidity_uncertainty")))
            return false;
        q.addBindValue(ArchiveDatabase::Text(c.serial));
        q.addBindValue(ArchiveDatabase::Text(c.certificate));
        q.addBindValue(c.date.toString(kDateFormat));
        q.addBindValue(c.due.toString(kDateFormat));
        for (const float v : {c.temperatureOffset, c.humidityOffset, c.temperatureUncertainty, c.humidityUncertainty})
            q.addBindValue(static_cast<double>(v));
        if (!db.Exec(q)) return false;
        entry.kind = ChangeKind::Calibration;
        entry.serial = c.serial;
        entry.subject = c.certificate;
        entry.after = CalibrationChangeText(c);
        return AppendChangeRow(db, entry);
    });
}

std::optional<QList<Calibration>> ReadCalibrations(ArchiveDatabase& db) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT serial, certificate, calibrated, due, temperature_offset, humidity_offset, "
                               "temperature_uncertainty, humidity_uncertainty FROM calibration ORDER BY serial"))) {
        db.Fail(q.lastError());
        return std::nullopt;
    }
    QList<Calibration> out;
    while (q.next())
        out.push_back({q.value(0).toString(), q.value(1).toString(),
                       QDate::fromString(q.value(2).toString(), kDateFormat),
                       QDate::fromString(q.value(3).toString(), kDateFormat), q.value(4).toFloat(),
                       q.value(5).toFloat(), q.value(6).toFloat(), q.value(7).toFloat()});
    return out;
}

}  // namespace quorvex
