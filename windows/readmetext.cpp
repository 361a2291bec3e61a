#include "readmetext.h"

#include "maker.h"

#include <QStringList>
#include <cmath>

double InclineMapDistance(int n)
{
    return std::cos(std::atan(1.0 / n));
}

QString InclineTable()
{
    QStringList lines;
    lines << QStringLiteral("    Incline   Map distance for 1 km walked   Shortfall");
    lines << QStringLiteral("    -------   ----------------------------   ---------");
    for (int n = 1; n <= 10; ++n) {
        const double km = InclineMapDistance(n);
        const long metresShort = std::lround((1.0 - km) * 1000.0);
        lines << QStringLiteral("    1:%1%2 km%3 m")
                     .arg(n, -8)
                     .arg(QString::number(km, 'f', 3), 18)
                     .arg(metresShort, 18);
    }
    return lines.join(QLatin1Char('\n'));
}

static QString heading(const QString& text, QChar underline)
{
    return text + QLatin1Char('\n') + QString(text.size(), underline) + QLatin1Char('\n');
}

QString ReadMeText()
{
    QString t;
    t += heading(QStringLiteral("MAPWHEEL"), QLatin1Char('='));
    t += QStringLiteral("A map measurer for scanned maps.\n\n");

    t += heading(QStringLiteral("INTRODUCTION"), QLatin1Char('-'));
    t += QStringLiteral("How far is it, really? A walk planned on a map always looks shorter\n"
                        "than it turns out on the ground, because paths wind and a ruler held\n"
                        "against a wiggly line gives only a rough guess. Walkers and cyclists\n"
                        "have long used a map measurer for this: a small wheel on a handle that\n"
                        "is rolled along the route on the paper map, its dial counting the\n"
                        "distance. Mapwheel does the same on the screen, with a map that has\n"
                        "been scanned or saved as a picture.\n\n");

    t += heading(QStringLiteral("HOW MAPWHEEL WORKS"), QLatin1Char('-'));
    t += QStringLiteral("The map is a picture made of pixels. You show Mapwheel how many pixels\n"
                        "make up a known distance by dragging once between two points that far\n"
                        "apart, for example across one square of the map's 1 km grid. After\n"
                        "that, every route you trace with the mouse is measured in pixels and\n"
                        "divided by that calibration length, which gives its true length.\n"
                        "Mapwheel smooths the trace a little so that the shake of a hand on the\n"
                        "mouse does not add to the distance.\n\n");

    t += heading(QStringLiteral("CHOICE OF UNITS"), QLatin1Char('-'));
    t += QStringLiteral("Two trip meters show the length of the route at the same time: one in\n"
                        "the primary unit, in which the calibration distance is given, and one\n"
                        "in a secondary unit. Out of the box they are kilometres and miles.\n"
                        "Choose others in Tools, Scale Factors...: millimetres, centimetres,\n"
                        "inches, feet, yards, metres, kilometres or miles. Tick the box there to\n"
                        "keep your choice as the default for the next start.\n\n");

    t += heading(QStringLiteral("CALIBRATION"), QLatin1Char('-'));
    t += QStringLiteral("Each time a map is opened Mapwheel asks you to calibrate it. Press the\n"
                        "left mouse button on one point, drag to a second point the calibration\n"
                        "distance away (1 km unless you chose another) and let go. Grid lines\n"
                        "are the easiest to use: drag from one grid line to the next along the\n"
                        "edge of a square. The longer the drag, the more accurate the scale, so\n"
                        "zoom in first on small maps. To start again use Tools, Recalibrate or\n"
                        "the Recalibrate button.\n\n");

    t += heading(QStringLiteral("MEASURING THE ROUTE"), QLatin1Char('-'));
    t += QStringLiteral("Hold the left button down and trace the route. You may let go and go\n"
                        "on in a new drag from where you stopped: each drag adds to the total.\n"
                        "Zoom or scroll between drags as often as you like. Reset, on the\n"
                        "toolbar or in the menu of the right mouse button, sets both trip\n"
                        "meters back to 0.000 for a new route.\n\n");

    t += heading(QStringLiteral("ZOOMING IN AND OUT"), QLatin1Char('-'));
    t += QStringLiteral("Zoom In (Ctrl+I) and Zoom Out (Ctrl+T) change the size of the map by a\n"
                        "tenth at a time about the middle of the window; Zoom To Fit (Ctrl+F)\n"
                        "shows the whole map. The scroll bars move the map. Zooming never\n"
                        "spoils the calibration or the route measured so far.\n\n");

    t += heading(QStringLiteral("EFFECT OF HILLY TERRAIN ON ACCURACY"), QLatin1Char('-'));
    t += QStringLiteral("A map is flat, the ground is not. On a slope you walk further than the\n"
                        "map shows, because the map shows only the level part of the distance.\n"
                        "For 1 km walked up or down an incline of 1 in n the map shows\n"
                        "cos(atan(1/n)) km:\n\n");
    t += InclineTable() + QStringLiteral("\n\n");
    t += QStringLiteral("Most paths are gentler than 1 in 10 most of the way, so the difference\n"
                        "is usually small, but on a steep climb add a little to the measured\n"
                        "distance.\n\n");

    t += heading(QStringLiteral("TECHNICAL HELP"), QLatin1Char('-'));
    t += QStringLiteral("Questions, suggestions and problems are welcome by e-mail at\n%1, and\n"
                        "news of the program is on %2.\n")
             .arg(QString::fromUtf8(Maker::EMailAddress), QString::fromUtf8(Maker::WebAddress));
    t += QStringLiteral("%1.\n").arg(QString::fromUtf8(Maker::CopyrightLine));
    return t;
}
