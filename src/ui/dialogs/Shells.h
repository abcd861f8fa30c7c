#pragma once
// Windows of the program whose contents come with their own work: each is an
// empty dialog with its object name, so the main window can create, translate,
// show and close it already. Replace one by its real module when it is built.
#include <QDialog>

namespace quorvex {

class ShellDialog : public QDialog {
    Q_OBJECT
public:
    ShellDialog(const QString& objectName, const QString& caption, QWidget* parent);
};

}  // namespace quorvex
