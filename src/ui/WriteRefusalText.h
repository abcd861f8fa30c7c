#pragma once
// The operator's message about a write the logger did not take: which parameter, the value
// sent and what the logger answered (its exception, or the value it kept).
#include <QString>

#include <functional>

#include "params/WriteRefusal.h"

namespace quorvex {

// Numbered texts, translated with `translate`.
QString WriteRefusalText(const WriteRefusal& refusal, const std::function<QString(const QString&)>& translate);

}  // namespace quorvex
