#pragma once
// The command line of the study and calibration commands: their own options, and the checks of
// which go with which. The texts are kept as given; the commands read the numbers and moments.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

#include "cli/CliOptions.h"

namespace quorvex {

QList<QCommandLineOption> StudyOptionList();

// `o.command` is one of the study or calibration commands; `rest` the words after its two.
bool ParseStudyCommand(const QCommandLineParser& parser, const QStringList& rest, CliOptions& o, QString& error);

}  // namespace quorvex
