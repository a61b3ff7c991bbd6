#include "tools/devserver/TestMapPage.h"

#include <QString>

QByteArray TestMapPage::radiusText(int radiusMetres)
{
    return QByteArray::number(radiusMetres) + " m";
}

QByteArray TestMapPage::html(int radiusMetres, double lng, double lat)
{
    // The circle keeps one size on screen; the scale bar says what it stands for.
    const int circle = 140;
    const QByteArray label = radiusText(radiusMetres);
    const QString svg =
        QStringLiteral(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 400\" "
            "width=\"100%\" height=\"100%\">"
            "<rect width=\"400\" height=\"400\" fill=\"#eef3ee\"/>"
            "<path d=\"M0 100H400M0 200H400M0 300H400M100 0V400M200 0V400M300 0V400\" "
            "stroke=\"#d5dfd5\" stroke-width=\"2\"/>"
            "<circle id=\"fence\" cx=\"200\" cy=\"200\" r=\"%1\" fill=\"#139286\" "
            "fill-opacity=\"0.18\" "
            "stroke=\"#139286\" stroke-width=\"3\" data-radius-metres=\"%2\"/>"
            "<line x1=\"200\" y1=\"200\" x2=\"%3\" y2=\"200\" stroke=\"#139286\" "
            "stroke-width=\"2\" stroke-dasharray=\"6 4\"/>"
            "<circle cx=\"200\" cy=\"200\" r=\"6\" fill=\"#d33\"/>"
            "<text id=\"radius\" x=\"%4\" y=\"190\" text-anchor=\"middle\" font-size=\"22\" "
            "font-family=\"sans-serif\" fill=\"#0b5a52\">%5</text>"
            "<text x=\"200\" y=\"385\" text-anchor=\"middle\" font-size=\"14\" "
            "font-family=\"sans-serif\" fill=\"#555\">%6, %7</text>"
            "</svg>")
            .arg(circle)
            .arg(radiusMetres)
            .arg(200 + circle)
            .arg(200 + circle / 2)
            .arg(QString::fromUtf8(label))
            .arg(lat, 0, 'f', 6)
            .arg(lng, 0, 'f', 6);
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                       "<title>电子围栏 %1</title>"
                       "<style>html,body{margin:0;height:100%;background:#eef3ee}</style></head>"
                       "<body>%2</body></html>\n")
            .arg(QString::fromUtf8(label), svg);
    return page.toUtf8();
}
