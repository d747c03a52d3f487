#ifndef SVGWRITER_H
#define SVGWRITER_H

#include "graphdrawing.h"

#include <QString>

// The SVG document of a graph drawing: what Save As writes, quorstudio-run --graphs keeps and
// the run report holds. Every text is escaped and holds only characters XML allows, so the
// document parses as XML whatever the engine sent.
QString svgDocument(const GraphDrawing& drawing);

#endif
