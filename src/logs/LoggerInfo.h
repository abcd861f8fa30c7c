#pragma once
// The content of the logger info list ListViewLogger: four rows of a
// translated caption and a text of the results store.
#include <QList>
#include <QString>

#include "logs/ResultsStore.h"

namespace quorvex {

struct LoggerInfoRow {
    QString caption;
    QString value;
};

// Name, type, number and period of the logger, captions through TranslateHook.
QList<LoggerInfoRow> LoggerInfoRows(const ResultsStore& store);

// A numbered text in the current language; while no translator is hooked in,
// its Polish wording (the text without the "[id]" prefix).
QString TranslateText(const QString& text);

}  // namespace quorvex
