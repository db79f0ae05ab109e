// Pictures of our own, drawn as SVG and built in as Qt resources, rendered
// to pixmaps of the size a control shows them at.
#pragma once

#include <QPixmap>
#include <QString>

// File (":/prefix/name.svg") drawn into a transparent Size x Size pixmap.
QPixmap RenderSvg(const QString& File, int Size);
