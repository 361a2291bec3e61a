// makemap: draws the sample maps shipped in Maps/ and prints their scale and route lengths.
// Usage: makemap [output folder]   (default: Maps)

#include "gifwriter.h"
#include "mapsheet.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

namespace
{

// Each route is made of pieces 250 px (1 km) or 125 px (0.5 km) long: (250,0), (150,200), (240,70) and
// their halves, so the true lengths are round numbers.
const QList<SheetPlan> Sheets = {
    {"Ashby Moor",
     "Thornby",
     "Skell Water",
     11,
     41,
     72,
     {{200, 820}, {350, 620}, {590, 550}, {790, 700}, {1030, 630}, {1100, 390}, {1250, 190}},
     false},
    {"Cold Fell",
     "Aldwick",
     "River Wenning",
     23,
     63,
     18,
     {{180, 200},
      {420, 270},
      {620, 420},
      {745, 420},
      {845, 495},
      {1085, 425},
      {1155, 665},
      {1305, 865},
      {1425, 900}},
     true},
    {"Rushmere Edge",
     "Cawley",
     "Rush Beck",
     37,
     27,
     55,
     {{300, 150}, {300, 400}, {500, 550}, {740, 620}, {890, 420}, {1140, 420}, {1245, 780}},
     false},
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // fonts need a GUI application (run with QT_QPA_PLATFORM=offscreen)
    QTextStream out(stdout);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Maps");
    if (!QDir().mkpath(folder)) {
        out << "cannot make the folder " << folder << "\n";
        return 1;
    }
    const QStringList files{"ashby-moor.gif", "cold-fell.jpg", "rushmere-edge.bmp"};
    out << "scale: " << PixelsPerKm << " pixels per km, grid lines every " << PixelsPerKm
        << " px from x = y = " << GridOrigin << ",\nsheets " << SheetWidth << " x " << SheetHeight
        << " px: the map " << SheetWidth << " x " << MapHeight << " px (" << SheetWidth / PixelsPerKm << " x "
        << MapHeight / PixelsPerKm << " km) over a legend\n";
    bool ok = true;
    for (int k = 0; k < Sheets.size(); ++k) {
        const SheetPlan& plan = Sheets[k];
        const MapSheet sheet = DrawSheet(plan);
        const QString path = QDir(folder).filePath(files[k]);
        QString error;
        bool written = false;
        if (path.endsWith(".gif")) {
            const QImage indexed = ToIndexed(sheet.image);
            error = QStringLiteral("more than 256 colours");
            written = !indexed.isNull() && WriteGif(indexed, path, &error);
        } else if (path.endsWith(".bmp")) {
            const QImage indexed = ToIndexed(sheet.image);
            QImageWriter writer(path, "bmp");
            written = !indexed.isNull() && writer.write(indexed);
            error = indexed.isNull() ? QStringLiteral("more than 256 colours") : writer.errorString();
        } else {
            QImageWriter writer(path, "jpeg");
            writer.setQuality(88);
            written = writer.write(sheet.image);
            error = writer.errorString();
        }
        if (!written) {
            out << path << ": not written: " << error << "\n";
            ok = false;
            continue;
        }
        out << path << ": \"" << plan.name << "\", route " << QString::number(sheet.routeKm, 'f', 3)
            << " km through";
        for (const QPoint& p : plan.route)
            out << " (" << p.x() << "," << p.y() << ")";
        out << "\n";
    }
    return ok ? 0 : 1;
}
