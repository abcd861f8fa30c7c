#pragma once
// What the main window's tabs build their pages from: named widgets, captions in
// the normal weight under a bold tab bar, rows of caption, field and unit.
#include <QString>

#include "ui/dialogs/DialogParts.h"  // Named

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quorvex {

// The parameter dialogs the tabs' change buttons open; the main window holds the dialogs.
enum class ParameterDialog { Name, Clock, TemperatureThresholds, HumidityThresholds, Start, SaveInterval, Correction };

QLabel* Label(QWidget* parent, const char* name, const QString& caption);
// A read-only field of the monitor; `width` 0 leaves its width to the layout.
QLineEdit* Edit(QWidget* parent, const char* name, int width = 0);
QPushButton* Button(QWidget* parent, const char* name, const QString& caption);
QGroupBox* Group(QWidget* parent, const char* name, const QString& caption);
// Only the tab captions are bold: a page of lists reads better in the normal weight.
void NormalWeight(QWidget* page);
// A group box's caption in bold and everything in it in the normal weight. Both
// are set on the widgets themselves, so neither the tab's bold font nor the
// style sheet that colours the caption can change them later.
void BoldCaption(QGroupBox* box);
// A caption, a field and its unit on one row of a grid.
void Row(QGridLayout* grid, int row, QWidget* caption, QWidget* field, QWidget* unit = nullptr);

}  // namespace quorvex
