#include "platform/SvgIcon.h"

#include <QPainter>
#include <QSvgRenderer>

QPixmap RenderSvg(const QString& File, int Size) {
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(File);
    QPainter p(&pixmap);
    svg.render(&p);
    return pixmap;
}
