#pragma once
// The content of the logger info list ListViewLogger: four rows of a
// translated caption and a text of the results store, and for an opened file
// a fifth with the state of its signature.
#include <QList>
#include <QString>

#include "i18n/ProgramTexts.h"
#include "logs/ResultsStore.h"

namespace quorvex {

struct LoggerInfoRow {
    QString caption;
    QString value;
};

// Name, type, number and period of the logger, captions in the program's language.
QList<LoggerInfoRow> LoggerInfoRows(const ResultsStore& store);

}  // namespace quorvex
