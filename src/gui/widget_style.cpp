#include "gui/widget_style.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace tarnwick::gui {

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

QIcon ArrowIcon(bool forward, bool twice) {
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x4e, 0x89));
    auto triangle = [&](int x) {
        QPolygon poly;
        if (forward) {
            poly << QPoint(x, 4) << QPoint(x + 9, 11) << QPoint(x, 18);
        } else {
            poly << QPoint(x + 9, 4) << QPoint(x, 11) << QPoint(x + 9, 18);
        }
        p.drawPolygon(poly);
    };
    if (twice) {
        triangle(2);
        triangle(11);
    } else {
        triangle(6);
    }
    return QIcon(pm);
}

QIcon TickIcon() {
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x2e, 0x8b, 0x3a), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawPolyline(QPolygon({QPoint(5, 15), QPoint(11, 21), QPoint(23, 7)}));
    return QIcon(pm);
}

QString GroupedDigits(const QString& text) {
    QString out;
    qsizetype total = 0;  // digits of the number the loop is in
    qsizetype left = 0;   // of them, this one and those after it
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && (i == 0 || !text.at(i - 1).isDigit())) {
            total = 0;
            while (i + total < text.size() && text.at(i + total).isDigit()) ++total;
            left = total;
        }
        if (c.isDigit() && total > 3 && left < total && left % 3 == 0) out += u',';
        out += c;
        if (c.isDigit()) --left;
    }
    return out;
}

}  // namespace tarnwick::gui
