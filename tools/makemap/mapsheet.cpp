#include "mapsheet.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <random>

double RouteKm(const QList<QPoint>& route)
{
    double px = 0.0;
    for (int k = 1; k < route.size(); ++k)
        px += std::hypot(route[k].x() - route[k - 1].x(), route[k].y() - route[k - 1].y());
    return px / PixelsPerKm;
}

namespace
{

const QColor Paper(0xfb, 0xf6, 0xe9);
const QColor Wood(0xc9, 0xe4, 0xb0);
const QColor Tree(0x6f, 0xa8, 0x50);
const QColor Contour(0xc0, 0x80, 0x48);
const QColor Water(0x4a, 0x8c, 0xd6);
const QColor GridBlue(0x3a, 0x78, 0xc8);
const QColor RoadFill(0xf4, 0xd0, 0x3c);
const QColor Ink(0x20, 0x20, 0x20);
const QColor PathRed(0xb8, 0x30, 0x30);
const QColor Route(0xd0, 0x10, 0x90);

class Sheet
{
public:
    Sheet(QImage& image, const SheetPlan& plan) : m_p(&image), m_plan(plan), m_rng(plan.seed)
    {
        m_p.setRenderHint(QPainter::Antialiasing, plan.smooth);
        m_p.setRenderHint(QPainter::TextAntialiasing, plan.smooth);
    }

    void draw()
    {
        m_p.fillRect(0, 0, SheetWidth, MapHeight, Paper);
        m_p.setClipRect(0, 0, SheetWidth, MapHeight);
        for (int k = 0; k < 5; ++k)
            wood();
        hill(QPointF(uniform(350, 650), uniform(250, 450)), 6);
        hill(QPointF(uniform(950, 1250), uniform(550, 750)), 8);
        hill(QPointF(uniform(1150, 1350), uniform(150, 300)), 5);
        river();
        road();
        for (int k = 0; k < 4; ++k)
            footpath();
        grid();
        route();
        names();
        m_p.setClipping(false);
        legend();
    }

private:
    double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(m_rng); }

    QFont font(int pixels, bool bold = false, bool italic = false) const
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(pixels);
        f.setBold(bold);
        f.setItalic(italic);
        if (!m_plan.smooth)
            f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }

    // A closed wobbly outline round a centre.
    QPainterPath blob(QPointF centre, double rx, double ry, double wobble, int phaseSeed)
    {
        std::mt19937 local(phaseSeed);
        std::uniform_real_distribution<double> phase(0, 2 * M_PI);
        const double p1 = phase(local), p2 = phase(local), p3 = phase(local);
        QPainterPath path;
        for (int k = 0; k <= 72; ++k) {
            const double a = 2 * M_PI * k / 72;
            const double r = 1 + wobble * (0.5 * std::sin(2 * a + p1) + 0.3 * std::sin(3 * a + p2) +
                                           0.2 * std::sin(5 * a + p3));
            const QPointF pt(centre.x() + rx * r * std::cos(a), centre.y() + ry * r * std::sin(a));
            k == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
        path.closeSubpath();
        return path;
    }

    void wood()
    {
        const QPointF c(uniform(100, SheetWidth - 100), uniform(100, MapHeight - 100));
        const QPainterPath outline = blob(c, uniform(60, 150), uniform(40, 110), 0.25, int(m_rng()));
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(Wood);
        m_p.drawPath(outline);
        m_p.setBrush(Tree);
        const QRectF box = outline.boundingRect();
        for (double y = box.top() + 8; y < box.bottom(); y += 18)
            for (double x = box.left() + 8 + std::fmod(y, 9); x < box.right(); x += 18)
                if (outline.contains(QPointF(x, y)))
                    m_p.drawEllipse(QPointF(x, y), 3, 3);
    }

    void hill(QPointF top, int rings)
    {
        const int seed = int(m_rng());
        const int base = 100 + 10 * int(uniform(0, 10));
        m_p.setBrush(Qt::NoBrush);
        for (int k = rings; k >= 1; --k) {
            const bool index = k % 5 == 0;
            m_p.setPen(QPen(Contour, index ? 2.2 : 1.2));
            const QPainterPath ring = blob(top, 26.0 * k, 19.0 * k, 0.18, seed);
            m_p.drawPath(ring);
            if (k % 2 == 0) {
                m_p.setFont(font(11));
                m_p.setPen(Contour);
                const QPointF at = ring.pointAtPercent(0.25);
                m_p.drawText(at + QPointF(3, -3), QString::number(base + 10 * (rings - k)));
            }
        }
        m_p.setPen(Ink);
        m_p.setFont(font(11));
        m_p.drawText(top + QPointF(-4, 4), QStringLiteral("\u00B7%1").arg(base + 10 * rings + 4));
    }

    void river()
    {
        QPainterPath river(QPointF(0, uniform(80, 200)));
        river.cubicTo(QPointF(400, uniform(350, 550)), QPointF(800, uniform(-50, 200)),
                      QPointF(SheetWidth, uniform(400, 700)));
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(QPen(Water, 9, Qt::SolidLine, Qt::RoundCap));
        m_p.drawPath(river);
        // Two streams run down into it.
        for (double t : {0.3, 0.7}) {
            const QPointF mouth = river.pointAtPercent(t);
            QPainterPath stream(mouth);
            stream.quadTo(mouth + QPointF(uniform(-80, 80), 150), mouth + QPointF(uniform(-160, 160), 320));
            m_p.setPen(QPen(Water, 2.5));
            m_p.drawPath(stream);
        }
        m_riverLabel = river.pointAtPercent(0.12);
    }

    void road()
    {
        QPainterPath road(QPointF(uniform(150, 400), MapHeight));
        road.cubicTo(QPointF(uniform(300, 700), 700), QPointF(uniform(700, 1100), 400),
                     QPointF(SheetWidth, uniform(100, 300)));
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(QPen(Ink, 9));
        m_p.drawPath(road);
        m_p.setPen(QPen(RoadFill, 6));
        m_p.drawPath(road);
        // A village on the road.
        m_village = road.pointAtPercent(0.45);
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(Ink);
        for (int k = 0; k < 9; ++k) {
            const QPointF at = road.pointAtPercent(0.40 + 0.012 * k) + QPointF(uniform(-30, 30), 14);
            m_p.drawRect(QRectF(at, QSizeF(7, 9)));
        }
    }

    void footpath()
    {
        const QPointF a(uniform(50, SheetWidth - 50), uniform(50, MapHeight - 50));
        const QPointF b(uniform(50, SheetWidth - 50), uniform(50, MapHeight - 50));
        QPainterPath path(a);
        path.quadTo((a + b) / 2 + QPointF(uniform(-150, 150), uniform(-150, 150)), b);
        QPen pen(PathRed, 2.2, Qt::CustomDashLine);
        pen.setDashPattern({4, 3});
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(pen);
        m_p.drawPath(path);
    }

    void grid()
    {
        m_p.setPen(QPen(GridBlue, 1));
        m_p.setFont(font(14, true));
        for (int k = 0; GridOrigin + k * PixelsPerKm < SheetWidth; ++k) {
            const int x = GridOrigin + k * PixelsPerKm;
            m_p.fillRect(x, 0, GridLineWidth, MapHeight, GridBlue);
            const QString n = QStringLiteral("%1").arg(m_plan.firstEasting + k, 2, 10, QLatin1Char('0'));
            m_p.drawText(QRect(x + 4, 2, 40, 18), Qt::AlignLeft, n);
            m_p.drawText(QRect(x + 4, MapHeight - 20, 40, 18), Qt::AlignLeft, n);
        }
        // Northings count upwards from the bottom line.
        int lines = 0;
        while (GridOrigin + lines * PixelsPerKm < MapHeight)
            ++lines;
        for (int k = 0; k < lines; ++k) {
            const int y = GridOrigin + k * PixelsPerKm;
            m_p.fillRect(0, y, SheetWidth, GridLineWidth, GridBlue);
            const QString n =
                QStringLiteral("%1").arg(m_plan.firstNorthing + (lines - 1 - k), 2, 10, QLatin1Char('0'));
            m_p.drawText(QRect(3, y - 19, 40, 18), Qt::AlignLeft, n);
            m_p.drawText(QRect(SheetWidth - 30, y - 19, 28, 18), Qt::AlignRight, n);
        }
    }

    void route()
    {
        const QList<QPoint>& r = m_plan.route;
        if (r.size() < 2)
            return;
        QPen pen(Route, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        m_p.setPen(pen);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawPolyline(r.data(), int(r.size()));
        m_p.setPen(QPen(Ink, 1.5));
        m_p.setBrush(Route);
        m_p.drawEllipse(QPointF(r.first()), 9, 9);
        m_p.drawEllipse(QPointF(r.last()), 9, 9);
        m_p.setFont(font(16, true));
        m_p.setPen(Ink);
        m_p.drawText(r.first() + QPoint(14, 20), QStringLiteral("Start"));
        m_p.drawText(r.last() + QPoint(14, -10), QStringLiteral("Finish"));
    }

    void names()
    {
        m_p.setPen(Ink);
        m_p.setFont(font(20, true));
        m_p.drawText(m_village + QPointF(45, -30), m_plan.village);
        m_p.setPen(Water.darker(140));
        m_p.setFont(font(17, false, true));
        m_p.drawText(m_riverLabel + QPointF(10, 30), m_plan.river);
    }

    // The margin below the map: name, scale, route length and a 1 km bar.
    void legend()
    {
        m_p.fillRect(0, MapHeight, SheetWidth, SheetHeight - MapHeight, Qt::white);
        m_p.fillRect(0, MapHeight, SheetWidth, 2, Ink);
        m_p.setPen(Ink);
        m_p.setFont(font(30, true));
        m_p.drawText(QRect(30, MapHeight + 10, 420, 80), Qt::AlignLeft | Qt::AlignVCenter, m_plan.name);
        m_p.setFont(font(17));
        const QString lines = QStringLiteral("Sample sheet, scale 1:25 000. Grid squares are 1 km.\n"
                                             "Marked route from Start to Finish: %1 km.")
                                  .arg(RouteKm(m_plan.route), 0, 'f', 3);
        m_p.drawText(QRect(460, MapHeight + 10, 700, 80), Qt::AlignLeft | Qt::AlignVCenter, lines);
        const int x = SheetWidth - 60 - PixelsPerKm;
        const int y = MapHeight + 62;
        m_p.fillRect(x, y, PixelsPerKm, 6, Ink);
        m_p.fillRect(x, y - 10, 2, 16, Ink);
        m_p.fillRect(x + PixelsPerKm - 2, y - 10, 2, 16, Ink);
        m_p.drawText(QRect(x, MapHeight + 14, PixelsPerKm, 30), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("1 km"));
    }

    QPainter m_p;
    const SheetPlan& m_plan;
    std::mt19937 m_rng;
    QPointF m_village;
    QPointF m_riverLabel;
};

} // namespace

MapSheet DrawSheet(const SheetPlan& plan)
{
    MapSheet sheet;
    sheet.image = QImage(SheetWidth, SheetHeight, QImage::Format_RGB32);
    {
        Sheet painter(sheet.image, plan);
        painter.draw();
    }
    sheet.routeKm = RouteKm(plan.route);
    return sheet;
}

QImage ToIndexed(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> index;
    QList<QRgb> table;
    QImage out(rgb.size(), QImage::Format_Indexed8);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* row = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            auto it = index.constFind(in[x]);
            if (it == index.constEnd()) {
                if (table.size() == 256)
                    return {};
                it = index.insert(in[x], int(table.size()));
                table.append(in[x]);
            }
            row[x] = uchar(*it);
        }
    }
    out.setColorTable(table);
    return out;
}
