#pragma once
// The default pictures of the newer templates: painted scenes that stand in
// for the user's own photograph until it is changed.

#include <QImage>
#include <QSize>

QImage RosesPicture(QSize size);          // blush roses on a soft ground
QImage NurseryPicture(QSize size);        // a smiling moon among stars and clouds
QImage WinterVillagePicture(QSize size);  // snowy hills, firs and a lit cottage
QImage TulipFieldPicture(QSize size);     // rows of tulips under a morning sky
QImage FireworksPicture(QSize size);      // bursts over a city at night
QImage SeasidePicture(QSize size);        // a sunny bay with a sailing boat
