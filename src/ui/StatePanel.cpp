#include "ui/StatePanel.h"
#include "ui/ObjectNames.h"

#include <QPainter>

namespace quorvex {

StatePanel::StatePanel(QWidget* parent) : QWidget(parent) { setObjectName(QString::fromLatin1(objname::kStatePanel)); }

void StatePanel::SetText(const QString& text) {
    text_ = text;
    update();
}

void StatePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QFont f = font();
    f.setPointSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    // Multi-line text is laid out from the top: a one-sentence state begins with
    // a line feed so that its sentence stands level with the second line of the
    // two-sentence states.
    p.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text_);
}

}  // namespace quorvex
