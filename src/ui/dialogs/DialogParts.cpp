#include "ui/dialogs/DialogParts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

#include "params/Datamanager.h"

namespace quorvex {

void AddSaveCloseButtons(QDialog* dialog, QBoxLayout* layout, QPushButton*& save, QPushButton*& close)
{
    save = Named(new QPushButton(QStringLiteral("[14]Zapisz"), dialog), "ButtonSave");
    close = Named(new QPushButton(QStringLiteral("[15]Anuluj"), dialog), "ButtonClose");
    save->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(close);
    layout->addLayout(row);
}

void FitToCaptions(QDialog* dialog)
{
    dialog->layout()->activate();
    dialog->resize(dialog->sizeHint().expandedTo(dialog->minimumSizeHint()));
}

void WriteAndReadBack(MDataParametry& model, baseParametr& parameter, const QString& text)
{
    parameter.SetText(text);
    const std::uint16_t words[] = {parameter.Reg0, parameter.Reg1};
    model.WriteRegisters(parameter, words);
    parameter.Invalidate();
    model.ReadBack(parameter, 2);
}

}  // namespace quorvex
