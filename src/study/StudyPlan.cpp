#include "study/StudyPlan.h"

#include <QHash>

#include "i18n/ProgramTexts.h"
#include "study/StudyAnalysis.h"

namespace quorvex {

QString PeriodProblem(const StudyPeriod& period) {
    const std::int64_t periodMs = MomentMilliseconds(period.to) - MomentMilliseconds(period.from);
    if (periodMs <= 0) return TranslateText(QStringLiteral("[2780]Badanie kończy się przed swoim początkiem"));
    if (period.stabiliseSeconds < 0 || period.stabiliseSeconds * 1000 >= periodMs)
        return TranslateText(QStringLiteral("[2781]Czas stabilizacji %1 nie jest krótszy niż okres badania %2"))
            .arg(DurationText(period.stabiliseSeconds * 1000), DurationText(periodMs));
    return {};
}

QString StudyProblem(const StudyPeriod& period, const std::vector<StudyPosition>& positions, bool logsNeeded) {
    if (positions.empty()) return TranslateText(QStringLiteral("[2790]Badanie nie ma żadnego położenia"));
    if (QString problem = PeriodProblem(period); !problem.isEmpty()) return problem;
    QHash<QString, QString> labelOfSerial;
    QHash<QString, bool> labels;
    for (const StudyPosition& p : positions) {
        const QString label = p.label.trimmed();
        if (label.isEmpty()) return TranslateText(QStringLiteral("[2792]Położenie bez etykiety"));
        if (labels.contains(label))
            return TranslateText(QStringLiteral("[2782]Etykieta położenia „%1” występuje dwa razy")).arg(label);
        labels.insert(label, true);
        if (!p.serial.isEmpty()) {
            if (const auto other = labelOfSerial.constFind(p.serial); other != labelOfSerial.constEnd())
                return TranslateText(QStringLiteral("[2783]Rejestrator %1 stoi w dwóch położeniach: „%2” i „%3”"))
                    .arg(p.serial, *other, label);
            labelOfSerial.insert(p.serial, label);
        }
        if (logsNeeded && !p.log)
            return TranslateText(QStringLiteral("[2784]Położenie „%1” nie ma zapisu rejestratora")).arg(label);
        if (p.calibration) {
            const QString problem = CalibrationProblem(*p.calibration);
            if (!problem.isEmpty()) return problem;
        }
    }
    return {};
}

}  // namespace quorvex
