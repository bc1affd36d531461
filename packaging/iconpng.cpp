// iconpng: renders the program's SVG icon into a PNG of one size, at build time.
// It draws the plain shapes the icon is made of (rect, circle, ellipse, line,
// polyline, polygon and path without arcs; fill, stroke, stroke width, caps
// and joins; translate, scale, rotate and matrix transforms, inherited through
// groups) and refuses anything else, so that a PNG never silently differs
// from the SVG it was rendered from.
//   iconpng <icon.svg> <size> <out.png>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStringList>
#include <QTransform>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

[[noreturn]] void refuse(const QString& message) { throw std::runtime_error(message.toStdString()); }

// What a shape is painted with; a group hands it on to its children.
struct Style {
    std::optional<QColor> fill = QColor(Qt::black);
    std::optional<QColor> stroke;
    double strokeWidth = 1;
    Qt::PenCapStyle cap = Qt::FlatCap;
    Qt::PenJoinStyle join = Qt::MiterJoin;
    QTransform transform;  // from the element's coordinates to the view box
};

double number(const QString& text, const QString& what) {
    bool ok = false;
    double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) refuse(QStringLiteral("%1: not a number: '%2'").arg(what, text));
    return value;
}

// Numbers separated by blanks and/or commas, as in points="..." and transform arguments.
std::vector<double> numbers(const QString& text, const QString& what) {
    std::vector<double> values;
    for (const QString& field : text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts))
        values.push_back(number(field, what));
    return values;
}

std::optional<QColor> paint(const QString& text) {
    if (text == QLatin1String("none")) return std::nullopt;
    QColor color = QColor::fromString(text);
    if (!color.isValid()) refuse(QStringLiteral("not a colour: '%1'").arg(text));
    return color;
}

// A transform list: later functions apply to the coordinates first, as
// QTransform's chained calls do.
QTransform transformList(const QString& text) {
    static const QRegularExpression function(QStringLiteral("\\s*(\\w+)\\s*\\(([^)]*)\\)\\s*,?"));
    QTransform t;
    qsizetype at = 0;
    while (at < text.size()) {
        QRegularExpressionMatch m = function.match(text, at, QRegularExpression::NormalMatch,
                                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch()) {
            if (text.mid(at).trimmed().isEmpty()) break;
            refuse(QStringLiteral("transform not understood: '%1'").arg(text));
        }
        const QString name = m.captured(1);
        const std::vector<double> a = numbers(m.captured(2), name);
        if (name == QLatin1String("translate") && (a.size() == 1 || a.size() == 2)) {
            t.translate(a[0], a.size() == 2 ? a[1] : 0);
        } else if (name == QLatin1String("scale") && (a.size() == 1 || a.size() == 2)) {
            t.scale(a[0], a.size() == 2 ? a[1] : a[0]);
        } else if (name == QLatin1String("rotate") && (a.size() == 1 || a.size() == 3)) {
            if (a.size() == 3) t.translate(a[1], a[2]);
            t.rotate(a[0]);
            if (a.size() == 3) t.translate(-a[1], -a[2]);
        } else if (name == QLatin1String("matrix") && a.size() == 6) {
            t = QTransform(a[0], a[1], a[2], a[3], a[4], a[5]) * t;
        } else {
            refuse(QStringLiteral("transform not understood: '%1'").arg(m.captured(0).trimmed()));
        }
        at = m.capturedEnd(0);
    }
    return t;
}

// Path data with the commands M, L, H, V, C, Q and Z in both cases.
QPainterPath pathData(const QString& d) {
    static const QRegularExpression token(
        QStringLiteral("\\s*,?\\s*([MmLlHhVvCcQqZz]|[-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?)"));
    QStringList tokens;
    qsizetype at = 0;
    while (at < d.size()) {
        QRegularExpressionMatch m =
            token.match(d, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch()) {
            if (d.mid(at).trimmed().isEmpty()) break;
            refuse(QStringLiteral("path data not understood at '%1'").arg(d.mid(at, 12)));
        }
        tokens << m.captured(1);
        at = m.capturedEnd(0);
    }

    QPainterPath path;
    QPointF current, start;
    QChar command;
    qsizetype i = 0;
    auto isCommand = [&](qsizetype k) { return k < tokens.size() && tokens[k][0].isLetter(); };
    auto take = [&]() {
        if (i >= tokens.size() || isCommand(i)) refuse(QStringLiteral("path data: '%1' lacks a number").arg(command));
        return number(tokens[i++], QStringLiteral("path data"));
    };
    while (i < tokens.size()) {
        if (isCommand(i)) {
            command = tokens[i++][0];
        } else if (command.isNull() || command.toUpper() == QLatin1Char('Z')) {
            refuse(QStringLiteral("path data starts or goes on without a command"));
        }
        const bool relative = command.isLower();
        const QPointF base = relative ? current : QPointF();
        auto point = [&]() {
            double x = take();
            double y = take();
            return base + QPointF(x, y);
        };
        switch (command.toUpper().toLatin1()) {
        case 'M':
            current = start = point();
            path.moveTo(current);
            command = relative ? QLatin1Char('l') : QLatin1Char('L');  // further pairs are lines
            break;
        case 'L': current = point(); path.lineTo(current); break;
        case 'H': current.setX((relative ? current.x() : 0) + take()); path.lineTo(current); break;
        case 'V': current.setY((relative ? current.y() : 0) + take()); path.lineTo(current); break;
        case 'C': {
            QPointF c1 = point(), c2 = point();
            current = point();
            path.cubicTo(c1, c2, current);
            break;
        }
        case 'Q': {
            QPointF c = point();
            current = point();
            path.quadTo(c, current);
            break;
        }
        case 'Z': path.closeSubpath(); current = start; break;
        default: refuse(QStringLiteral("path command '%1' is not drawn").arg(command));
        }
    }
    return path;
}

double attribute(const QXmlStreamAttributes& attributes, const char* name, double fallback = 0) {
    QStringView value = attributes.value(QLatin1String(name));
    return value.isNull() ? fallback : number(value.toString(), QLatin1String(name));
}

QPainterPath shape(const QStringView element, const QXmlStreamAttributes& a) {
    QPainterPath path;
    auto at = [&](const char* name) { return attribute(a, name); };
    if (element == QLatin1String("rect")) {
        double rx = attribute(a, "rx", -1), ry = attribute(a, "ry", -1);
        if (rx < 0) rx = ry < 0 ? 0 : ry;
        if (ry < 0) ry = rx;
        const QRectF r(at("x"), at("y"), at("width"), at("height"));
        path.addRoundedRect(r, std::min(rx, r.width() / 2), std::min(ry, r.height() / 2));
    } else if (element == QLatin1String("circle")) {
        path.addEllipse(QPointF(at("cx"), at("cy")), at("r"), at("r"));
    } else if (element == QLatin1String("ellipse")) {
        path.addEllipse(QPointF(at("cx"), at("cy")), at("rx"), at("ry"));
    } else if (element == QLatin1String("line")) {
        path.moveTo(at("x1"), at("y1"));
        path.lineTo(at("x2"), at("y2"));
    } else if (element == QLatin1String("polyline") || element == QLatin1String("polygon")) {
        const std::vector<double> p = numbers(a.value(QLatin1String("points")).toString(), QStringLiteral("points"));
        if (p.size() < 4 || p.size() % 2) refuse(QStringLiteral("points: an odd or too short list"));
        path.moveTo(p[0], p[1]);
        for (size_t k = 2; k < p.size(); k += 2) path.lineTo(p[k], p[k + 1]);
        if (element == QLatin1String("polygon")) path.closeSubpath();
    } else if (element == QLatin1String("path")) {
        path = pathData(a.value(QLatin1String("d")).toString());
    }
    path.setFillRule(Qt::WindingFill);  // SVG's nonzero rule
    return path;
}

const QStringList kGeometry = {QStringLiteral("x"),  QStringLiteral("y"),      QStringLiteral("width"),
                               QStringLiteral("height"), QStringLiteral("rx"), QStringLiteral("ry"),
                               QStringLiteral("cx"), QStringLiteral("cy"),     QStringLiteral("r"),
                               QStringLiteral("x1"), QStringLiteral("y1"),     QStringLiteral("x2"),
                               QStringLiteral("y2"), QStringLiteral("points"), QStringLiteral("d")};

// The element's own style: its parent's with its presentation attributes
// applied. `handled` names attributes that the caller reads itself.
Style styled(Style style, const QXmlStreamAttributes& attributes, const QStringList& handled = kGeometry) {
    for (const QXmlStreamAttribute& a : attributes) {
        const QStringView name = a.qualifiedName();
        if (handled.contains(name.toString())) continue;
        const QString value = a.value().toString().trimmed();
        if (name == QLatin1String("fill")) {
            style.fill = paint(value);
        } else if (name == QLatin1String("stroke")) {
            style.stroke = paint(value);
        } else if (name == QLatin1String("stroke-width")) {
            style.strokeWidth = number(value, QStringLiteral("stroke-width"));
        } else if (name == QLatin1String("stroke-linecap")) {
            if (value == QLatin1String("butt")) style.cap = Qt::FlatCap;
            else if (value == QLatin1String("round")) style.cap = Qt::RoundCap;
            else if (value == QLatin1String("square")) style.cap = Qt::SquareCap;
            else refuse(QStringLiteral("stroke-linecap '%1'").arg(value));
        } else if (name == QLatin1String("stroke-linejoin")) {
            if (value == QLatin1String("miter")) style.join = Qt::SvgMiterJoin;
            else if (value == QLatin1String("round")) style.join = Qt::RoundJoin;
            else if (value == QLatin1String("bevel")) style.join = Qt::BevelJoin;
            else refuse(QStringLiteral("stroke-linejoin '%1'").arg(value));
        } else if (name == QLatin1String("transform")) {
            style.transform = transformList(value) * style.transform;
        } else if (!name.startsWith(QLatin1String("xmlns")) && name != QLatin1String("id")) {
            refuse(QStringLiteral("attribute '%1' is not drawn").arg(name));
        }
    }
    return style;
}

void draw(QPainter& painter, const QPainterPath& path, const Style& style) {
    painter.setTransform(style.transform, false);
    if (style.fill) painter.fillPath(path, *style.fill);
    if (style.stroke && style.strokeWidth > 0) {
        QPen pen(*style.stroke, style.strokeWidth, Qt::SolidLine, style.cap, style.join);
        pen.setMiterLimit(4);  // SVG's default
        painter.strokePath(path, pen);
    }
}

// The view box of the root element, mapped centred onto a square of `size` pixels.
QTransform viewTransform(const QXmlStreamAttributes& attributes, int size) {
    std::vector<double> box = numbers(attributes.value(QLatin1String("viewBox")).toString(), QStringLiteral("viewBox"));
    if (box.size() != 4 || box[2] <= 0 || box[3] <= 0) refuse(QStringLiteral("the root element needs a viewBox"));
    const double scale = size / std::max(box[2], box[3]);
    const double dx = (size - box[2] * scale) / 2, dy = (size - box[3] * scale) / 2;
    return QTransform(scale, 0, 0, scale, dx - box[0] * scale, dy - box[1] * scale);
}

// One element of the file onto the painter; `open` holds the style of each open element.
void drawElement(QXmlStreamReader& xml, QPainter& painter, int size, std::vector<Style>& open) {
    static const QStringList shapes = {QStringLiteral("rect"),     QStringLiteral("circle"),
                                       QStringLiteral("ellipse"),  QStringLiteral("line"),
                                       QStringLiteral("polyline"), QStringLiteral("polygon"),
                                       QStringLiteral("path")};
    const QString name = xml.name().toString();
    const QXmlStreamAttributes attributes = xml.attributes();
    if (open.empty()) {
        if (name != QLatin1String("svg")) refuse(QStringLiteral("not an SVG file"));
        Style root;
        root.transform = viewTransform(attributes, size);
        open.push_back(styled(root, attributes,
                              {QStringLiteral("viewBox"), QStringLiteral("width"), QStringLiteral("height"),
                               QStringLiteral("version")}));
    } else if (name == QLatin1String("g")) {
        open.push_back(styled(open.back(), attributes));
    } else if (shapes.contains(name)) {
        open.push_back(styled(open.back(), attributes));
        draw(painter, shape(name, attributes), open.back());
    } else {
        refuse(QStringLiteral("element <%1> is not drawn").arg(name));
    }
}

QImage render(QIODevice& svg, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QXmlStreamReader xml(&svg);
    std::vector<Style> open;
    try {
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) drawElement(xml, painter, size, open);
            else if (xml.isEndElement()) open.pop_back();
        }
    } catch (const std::runtime_error& error) {
        refuse(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(QString::fromStdString(error.what())));
    }
    if (xml.hasError()) refuse(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: iconpng <icon.svg> <size> <out.png>\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 4096) {
        std::fprintf(stderr, "iconpng: size '%s' is not 1..4096\n", argv[2]);
        return 2;
    }
    QFile svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "iconpng: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image;
    try {
        image = render(svg, size);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "iconpng: %s: %s\n", argv[1], error.what());
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "iconpng: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
