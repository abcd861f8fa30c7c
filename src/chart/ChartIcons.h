#pragma once
// Glyphs of the chart window's tool bar, drawn here so the program needs no
// image files.
#include <QIcon>

namespace quorvex {

QIcon ZoomInIcon();
QIcon ZoomOutIcon();
QIcon ZoomAllIcon();
QIcon ThresholdsIcon();
QIcon PrintIcon();

}  // namespace quorvex
