#include "apps/tavcad/CadScene.h"

#include "platform/base/KvStrings.h"
#include "platform/cad/DxfDocument.h"
#include "platform/cad/DxfViews.h"
#include "platform/ui/KvUiColor.h"

#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

namespace tavcad {

using tav::cad::DxfDocument;
using tav::cad::DxfObject;
using tav::cad::DxfPoint;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxBlockDepth = 16;
constexpr double kEquipmentRadius = 150.0;  // drawing units, when the entity gives no size

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text of a TEXT entity as shown: the DXF control codes %%c, %%d, %%p and %%% become their
// characters, the underline and overline switches %%u and %%o are dropped.
QString ShownText(const std::string& raw)
{
    QString s = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    if (!s.contains(QStringLiteral("%%")))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('%') && i + 2 < s.size() && s[i + 1] == QLatin1Char('%')) {
            const QChar code = s[i + 2].toLower();
            if (code == QLatin1Char('c')) { out += QChar(0x00D8); i += 2; continue; }
            if (code == QLatin1Char('d')) { out += QChar(0x00B0); i += 2; continue; }
            if (code == QLatin1Char('p')) { out += QChar(0x00B1); i += 2; continue; }
            if (code == QLatin1Char('%')) { out += QLatin1Char('%'); i += 2; continue; }
            if (code == QLatin1Char('u') || code == QLatin1Char('o')) { i += 2; continue; }
        }
        out += s[i];
    }
    return out;
}

QRgb RgbOf(int aci)
{
    const KvUiColor c = AciToRgb(aci);
    if (!c.valid)
        return qRgb(255, 255, 255);
    return qRgb(c.r, c.g, c.b);
}

struct LayerInfo {
    QRgb color = qRgb(255, 255, 255);
    bool visible = true;
};

// What an entity inside a block takes from the reference that placed it.
struct Context {
    QTransform xf;                              // block coordinates -> world
    QRgb byBlockColor = qRgb(255, 255, 255);    // colour 0 (ByBlock)
    std::string byBlockLayer;                   // layer "0" inside a block stands for this one
    int depth = 0;
};

class Builder {
public:
    explicit Builder(DxfDocument& doc) : m_doc(doc), m_metrics(CadScene::TextFont())
    {
        for (DxfObject rec : doc.TableRecords("LAYER")) {
            tav::cad::DxfLayer layer(rec);
            LayerInfo info;
            info.color = RgbOf(std::abs(layer.Color()));
            info.visible = !layer.IsOff() && !layer.IsFrozen();
            m_layers[tav::ToUpperAscii(layer.Name())] = info;
        }
    }

    // Appends the primitives of `obj` (in the coordinates of `ctx`) to `out`; false when the entity is
    // not shown (unknown type, hidden layer).
    bool AddEntity(DxfObject obj, const Context& ctx, std::vector<ScenePrimitive>& out)
    {
        tav::cad::DxfEntity entity(obj);
        std::string layer = entity.Layer();
        if (ctx.depth > 0 && layer == "0" && !ctx.byBlockLayer.empty())
            layer = ctx.byBlockLayer;
        const LayerInfo* info = Layer(layer);
        if (info && !info->visible)
            return false;
        const int aci = entity.Color();
        QRgb color;
        if (aci == 0)
            color = ctx.byBlockColor;
        else if (aci < 0 || aci >= 256)
            color = info ? info->color : qRgb(255, 255, 255);
        else
            color = RgbOf(aci);
        if (obj.Find(420) >= 0)  // a true colour given beside the index
            color = 0xff000000u | static_cast<QRgb>(obj.GetInt(420) & 0xffffff);

        const std::string_view type = obj.Type();
        const std::size_t before = out.size();
        if (type == "LINE") {
            tav::cad::DxfLine line(obj);
            AddPolyline(out, {Pt(line.Start()), Pt(line.End())}, false, color, ctx);
        } else if (type == "LWPOLYLINE") {
            AddLwPolyline(out, tav::cad::DxfLwPolyline(obj), color, ctx);
        } else if (type == "CIRCLE") {
            tav::cad::DxfCircle circle(obj);
            AddArc(out, Pt(circle.Center()), circle.Radius(), 0, 360, true, color, ctx);
        } else if (type == "ARC") {
            tav::cad::DxfArc arc(obj);
            AddArc(out, Pt(arc.Center()), arc.Radius(), arc.StartAngle(), arc.EndAngle(), false, color, ctx);
        } else if (type == "TEXT") {
            AddText(out, tav::cad::DxfText(obj), color, ctx);
        } else if (type == "INSERT") {
            AddInsert(out, tav::cad::DxfInsert(obj), layer, color, ctx);
        } else if (type == "TAV_EQUIPMENT") {
            AddEquipment(out, obj, color, ctx);
        } else {
            return false;
        }
        return out.size() > before;
    }

private:
    static QPointF Pt(const DxfPoint& p) { return QPointF(p.x, p.y); }

    const LayerInfo* Layer(const std::string& name) const
    {
        auto it = m_layers.find(tav::ToUpperAscii(name));
        return it == m_layers.end() ? nullptr : &it->second;
    }

    static void AddPolyline(std::vector<ScenePrimitive>& out, QPolygonF points, bool closed, QRgb color,
                            const Context& ctx)
    {
        if (points.size() < 2)
            return;
        ScenePrimitive prim;
        prim.kind = ScenePrimitive::Kind::kPolyline;
        prim.closed = closed;
        prim.color = color;
        prim.points = ctx.xf.map(points);
        out.push_back(std::move(prim));
    }

    static void AddPolygon(std::vector<ScenePrimitive>& out, const QPolygonF& points, QRgb color, const Context& ctx)
    {
        if (points.size() < 3)
            return;
        ScenePrimitive prim;
        prim.kind = ScenePrimitive::Kind::kPolygon;
        prim.closed = true;
        prim.color = color;
        prim.points = ctx.xf.map(points);
        out.push_back(std::move(prim));
    }

    static void AddArc(std::vector<ScenePrimitive>& out, QPointF center, double radius, double startDeg,
                       double endDeg, bool full, QRgb color, const Context& ctx)
    {
        if (!(radius > 0))
            return;
        double sweep = full ? 360.0 : endDeg - startDeg;
        while (sweep <= 0)
            sweep += 360.0;
        const int steps = std::max(8, static_cast<int>(std::ceil(sweep / 5.625)));
        QPolygonF pts;
        pts.reserve(steps + 1);
        for (int i = 0; i <= (full ? steps - 1 : steps); ++i) {
            const double a = (startDeg + sweep * i / steps) * kPi / 180.0;
            pts << QPointF(center.x() + radius * std::cos(a), center.y() + radius * std::sin(a));
        }
        AddPolyline(out, pts, full, color, ctx);
    }

    static void AddLwPolyline(std::vector<ScenePrimitive>& out, const tav::cad::DxfLwPolyline& poly, QRgb color,
                              const Context& ctx)
    {
        const std::vector<tav::cad::DxfLwVertex> v = poly.Vertices();
        if (v.empty())
            return;
        const bool closed = poly.IsClosed();
        const double constant = poly.ConstantWidth();
        const std::size_t segments = closed ? v.size() : v.size() - 1;
        bool wide = constant > 0;
        for (const auto& vx : v)
            wide = wide || vx.startWidth > 0 || vx.endWidth > 0;
        if (!wide) {
            QPolygonF pts;
            for (std::size_t i = 0; i < segments; ++i) {
                const auto& a = v[i];
                const auto& b = v[(i + 1) % v.size()];
                pts << CadScene::BulgePoints({a.x, a.y}, {b.x, b.y}, a.bulge);
            }
            if (!closed)
                pts << QPointF(v.back().x, v.back().y);
            if (v.size() == 1)
                pts << QPointF(v[0].x, v[0].y);
            AddPolyline(out, pts, closed, color, ctx);
            return;
        }
        for (std::size_t i = 0; i < segments; ++i) {
            const auto& a = v[i];
            const auto& b = v[(i + 1) % v.size()];
            double w0 = a.startWidth, w1 = a.endWidth;
            if (w0 == 0 && w1 == 0)
                w0 = w1 = constant;
            QPolygonF centre = CadScene::BulgePoints({a.x, a.y}, {b.x, b.y}, a.bulge);
            centre << QPointF(b.x, b.y);
            if (w0 <= 0 && w1 <= 0) {
                AddPolyline(out, centre, false, color, ctx);
                continue;
            }
            // A strip along the centre line, its width running from w0 to w1.
            QPolygonF left, right;
            const int n = static_cast<int>(centre.size());
            for (int k = 0; k < n; ++k) {
                const QPointF p = centre[k];
                const QPointF q = k + 1 < n ? centre[k + 1] : centre[k];
                const QPointF o = k + 1 < n ? centre[k] : centre[k - 1];
                QPointF d = k + 1 < n ? q - p : p - o;
                const double len = std::hypot(d.x(), d.y());
                if (len <= 0)
                    continue;
                const QPointF normal(-d.y() / len, d.x() / len);
                const double w = (w0 + (w1 - w0) * k / (n - 1)) / 2.0;
                left << p + normal * w;
                right.prepend(p - normal * w);
            }
            AddPolygon(out, left + right, color, ctx);
        }
    }

    void AddText(std::vector<ScenePrimitive>& out, const tav::cad::DxfText& text, QRgb color, const Context& ctx)
    {
        const QString s = ShownText(text.Text());
        if (s.isEmpty())
            return;
        double height = text.Height();
        if (!(height > 0))
            return;
        double wf = text.WidthFactor();
        if (!(wf > 0))
            wf = 1;
        double rot = text.Rotation();
        const int h = text.HorizontalMode();
        const int vmode = text.VerticalMode();
        const double adv = Advance(s);
        QPointF origin = Pt(text.Insertion());
        if ((h == 3 || h == 5) && adv > 0) {
            // Aligned and fit: the text runs from the insertion point to the alignment point.
            const QPointF p2 = Pt(text.Alignment());
            const QPointF d = p2 - origin;
            const double len = std::hypot(d.x(), d.y());
            if (len > 0) {
                rot = std::atan2(d.y(), d.x()) * 180.0 / kPi;
                if (h == 3)
                    height = len / (adv / CadScene::kFontEm * wf);
                else
                    wf = len / (adv / CadScene::kFontEm * height);
            }
        } else {
            const double scale = height / CadScene::kFontEm;
            const double width = adv * scale * wf;
            const QPointF anchor = (h == 0 && vmode == 0) ? origin : Pt(text.Alignment());
            double dx = 0, dyUp = 0;
            if (h == 1 || h == 4)
                dx = width / 2;
            else if (h == 2)
                dx = width;
            if (h == 4 || vmode == 2)
                dyUp = height / 2;
            else if (vmode == 1)
                dyUp = -m_metrics.descent() * scale;
            else if (vmode == 3)
                dyUp = height;
            const double r = rot * kPi / 180.0;
            origin = anchor - QPointF(dx * std::cos(r) - dyUp * std::sin(r), dx * std::sin(r) + dyUp * std::cos(r));
        }
        const double scale = height / CadScene::kFontEm;
        const QTransform local = QTransform::fromScale(scale * wf, -scale);
        const QTransform toWorld = local * QTransform().rotate(rot) * QTransform::fromTranslate(origin.x(), origin.y());
        ScenePrimitive prim;
        prim.kind = ScenePrimitive::Kind::kText;
        prim.color = color;
        prim.text = s;
        prim.textToWorld = toWorld * ctx.xf;
        prim.textBox = QRectF(0, -m_metrics.ascent(), std::max(adv, 1.0), m_metrics.ascent() + m_metrics.descent());
        out.push_back(std::move(prim));
    }

    void AddInsert(std::vector<ScenePrimitive>& out, const tav::cad::DxfInsert& insert, const std::string& layer,
                   QRgb color, const Context& ctx)
    {
        if (ctx.depth >= kMaxBlockDepth)
            return;
        const Block* block = FindBlock(insert.BlockName());
        if (!block)
            return;
        const DxfPoint ins = insert.Insertion();
        const DxfPoint sc = insert.Scale();
        Context inner;
        inner.xf = QTransform::fromTranslate(-block->base.x(), -block->base.y()) * QTransform::fromScale(sc.x, sc.y) *
                   QTransform().rotate(insert.Rotation()) * QTransform::fromTranslate(ins.x, ins.y) * ctx.xf;
        inner.byBlockColor = color;
        inner.byBlockLayer = layer;
        inner.depth = ctx.depth + 1;
        for (DxfObject e : block->entities)
            AddEntity(e, inner, out);
    }

    void AddEquipment(std::vector<ScenePrimitive>& out, DxfObject obj, QRgb color, const Context& ctx)
    {
        tav::cad::DxfEquipment equipment(obj);
        const QPointF c = Pt(equipment.Insertion());
        double r = obj.GetDouble(40, 0);
        if (!(r > 0))
            r = kEquipmentRadius;
        // The symbol: a circle with a cross, the display name to its right.
        AddArc(out, c, r, 0, 360, true, color, ctx);
        const double k = r * 0.7071;
        AddPolyline(out, {c + QPointF(-k, -k), c + QPointF(k, k)}, false, color, ctx);
        AddPolyline(out, {c + QPointF(-k, k), c + QPointF(k, -k)}, false, color, ctx);
        const std::string name = equipment.DisplayName();
        if (name.empty())
            return;
        const QString s = ToQt(name);
        const double height = r * 0.8;
        const double scale = height / CadScene::kFontEm;
        const double adv = Advance(s);
        ScenePrimitive prim;
        prim.kind = ScenePrimitive::Kind::kText;
        prim.color = color;
        prim.text = s;
        prim.textToWorld = QTransform::fromScale(scale, -scale) *
                           QTransform::fromTranslate(c.x() + r * 1.3, c.y() - height / 2) * ctx.xf;
        prim.textBox = QRectF(0, -m_metrics.ascent(), std::max(adv, 1.0), m_metrics.ascent() + m_metrics.descent());
        out.push_back(std::move(prim));
    }

    // The advance of a text in the drawing font (texts repeat a lot in drawings: tables, labels).
    double Advance(const QString& s)
    {
        auto it = m_advances.find(s);
        if (it != m_advances.end())
            return it.value();
        const double adv = m_metrics.horizontalAdvance(s);
        m_advances.insert(s, adv);
        return adv;
    }

    struct Block {
        QPointF base;
        std::vector<DxfObject> entities;
    };

    const Block* FindBlock(const std::string& name)
    {
        const std::string key = tav::ToUpperAscii(name);
        auto it = m_blocks.find(key);
        if (it != m_blocks.end())
            return it->second.get();
        if (!m_blockHeadsRead) {
            m_blockHeadsRead = true;
            for (DxfObject o : m_doc.AllObjects())
                if (o.Type() == "BLOCK")
                    m_blockHeads.emplace(tav::ToUpperAscii(o.GetString(2)), o);
        }
        std::unique_ptr<Block> block;
        auto head = m_blockHeads.find(key);
        DxfObject record = m_doc.BlockRecord(name);
        if (head != m_blockHeads.end() || !record.IsNull()) {
            block = std::make_unique<Block>();
            if (head != m_blockHeads.end())
                block->base = Pt(head->second.GetPoint(10));
            block->entities = m_doc.EntitiesOf(!record.IsNull() ? record : head->second);
        }
        const Block* result = block.get();
        m_blocks.emplace(key, std::move(block));
        return result;
    }

    DxfDocument& m_doc;
    QFontMetricsF m_metrics;
    QHash<QString, double> m_advances;
    std::map<std::string, LayerInfo> m_layers;
    std::map<std::string, std::unique_ptr<Block>> m_blocks;
    std::map<std::string, DxfObject> m_blockHeads;
    bool m_blockHeadsRead = false;
};

QRectF BoundsOf(const std::vector<ScenePrimitive>& prims)
{
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool first = true;
    for (const auto& p : prims) {
        const QPolygonF outline = p.Outline();
        for (const QPointF& q : outline) {
            if (first) {
                x0 = x1 = q.x();
                y0 = y1 = q.y();
                first = false;
            } else {
                x0 = std::min(x0, q.x());
                x1 = std::max(x1, q.x());
                y0 = std::min(y0, q.y());
                y1 = std::max(y1, q.y());
            }
        }
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

bool Inside(const QRectF& outer, const QRectF& inner)
{
    return inner.left() >= outer.left() && inner.right() <= outer.right() && inner.top() >= outer.top() &&
           inner.bottom() <= outer.bottom();
}

bool Touches(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

double DistanceToOutline(const QPointF& p, const QPolygonF& pts, bool closed)
{
    double best = std::numeric_limits<double>::max();
    const int n = static_cast<int>(pts.size());
    if (n == 1)
        return std::hypot(p.x() - pts[0].x(), p.y() - pts[0].y());
    for (int i = 0; i + 1 < n; ++i)
        best = std::min(best, CadScene::DistanceToSegment(p, pts[i], pts[i + 1]));
    if (closed && n > 2)
        best = std::min(best, CadScene::DistanceToSegment(p, pts[n - 1], pts[0]));
    return best;
}

bool OutlineCrosses(const QPolygonF& pts, bool closed, const QRectF& rect)
{
    const int n = static_cast<int>(pts.size());
    for (int i = 0; i + 1 < n; ++i)
        if (CadScene::SegmentCrossesRect(pts[i], pts[i + 1], rect))
            return true;
    if (closed && n > 2 && CadScene::SegmentCrossesRect(pts[n - 1], pts[0], rect))
        return true;
    return n == 1 && rect.contains(pts[0]);
}

}  // namespace

QPolygonF ScenePrimitive::Outline() const
{
    if (kind == Kind::kText)
        return textToWorld.map(QPolygonF(textBox));
    return points;
}

const QFont& CadScene::TextFont()
{
    static const QFont font = [] {
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setPixelSize(static_cast<int>(kFontEm));
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    }();
    return font;
}

SceneBuildStats CadScene::Build(DxfDocument& doc)
{
    Clear();
    ++m_generation;
    SceneBuildStats stats;
    Builder builder(doc);
    const Context top;
    DxfObject model = doc.ModelSpace();
    const std::vector<DxfObject> entities = model.IsNull() ? doc.Entities() : doc.EntitiesOf(model);
    m_entities.reserve(entities.size());
    bool first = true;
    for (DxfObject obj : entities) {
        if (model.IsNull() && obj.GetInt(67, 0) == 1)
            continue;  // paper space of an R12 drawing
        SceneEntity entity;
        if (!builder.AddEntity(obj, top, entity.primitives)) {
            ++stats.skipped;
            continue;
        }
        entity.handle = obj.GetHandle();
        entity.type = std::string(obj.Type());
        entity.bounds = BoundsOf(entity.primitives);
        stats.primitives += static_cast<int>(entity.primitives.size());
        m_extents = first ? entity.bounds : m_extents.united(entity.bounds);
        if (first && m_extents.isNull())
            m_extents = QRectF(entity.bounds.topLeft(), QSizeF(1e-9, 1e-9));
        first = false;
        m_index[entity.handle] = m_entities.size();
        m_entities.push_back(std::move(entity));
    }
    stats.entities = static_cast<int>(m_entities.size());
    return stats;
}

void CadScene::Clear()
{
    m_entities.clear();
    m_index.clear();
    m_extents = QRectF();
}

const SceneEntity* CadScene::Find(EntityHandle handle) const
{
    auto it = m_index.find(handle);
    return it == m_index.end() ? nullptr : &m_entities[it->second];
}

EntityHandle CadScene::Pick(const QPointF& point, double tolerance) const
{
    EntityHandle best = 0;
    double bestDistance = tolerance;
    const QRectF probe(point.x() - tolerance, point.y() - tolerance, 2 * tolerance, 2 * tolerance);
    for (const SceneEntity& e : m_entities) {
        if (!Touches(e.bounds, probe))
            continue;
        for (const ScenePrimitive& prim : e.primitives) {
            double d;
            if (prim.kind == ScenePrimitive::Kind::kPolyline) {
                d = DistanceToOutline(point, prim.points, prim.closed);
            } else {
                const QPolygonF outline = prim.Outline();
                d = outline.containsPoint(point, Qt::OddEvenFill) ? 0.0 : DistanceToOutline(point, outline, true);
            }
            if (d <= bestDistance) {
                bestDistance = d;
                best = e.handle;
            }
        }
    }
    return best;
}

std::vector<EntityHandle> CadScene::SelectWindow(const QRectF& rectIn, bool crossing) const
{
    const QRectF rect = rectIn.normalized();
    std::vector<EntityHandle> result;
    for (const SceneEntity& e : m_entities) {
        if (Inside(rect, e.bounds)) {
            result.push_back(e.handle);
            continue;
        }
        if (!crossing || !Touches(rect, e.bounds))
            continue;
        for (const ScenePrimitive& prim : e.primitives) {
            const QPolygonF outline = prim.Outline();
            const bool filled = prim.kind != ScenePrimitive::Kind::kPolyline;
            if (OutlineCrosses(outline, prim.closed || filled, rect) ||
                (filled && outline.containsPoint(rect.center(), Qt::OddEvenFill))) {
                result.push_back(e.handle);
                break;
            }
        }
    }
    return result;
}

double CadScene::DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x() - (a.x() + t * dx), p.y() - (a.y() + t * dy));
}

namespace {
double Cross(const QPointF& o, const QPointF& a, const QPointF& b)
{
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}
bool SegmentsIntersect(const QPointF& p1, const QPointF& p2, const QPointF& q1, const QPointF& q2)
{
    const double d1 = Cross(q1, q2, p1), d2 = Cross(q1, q2, p2);
    const double d3 = Cross(p1, p2, q1), d4 = Cross(p1, p2, q2);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    auto onSegment = [](const QPointF& a, const QPointF& b, const QPointF& c) {
        return std::min(a.x(), b.x()) <= c.x() && c.x() <= std::max(a.x(), b.x()) && std::min(a.y(), b.y()) <= c.y() &&
               c.y() <= std::max(a.y(), b.y());
    };
    return (d1 == 0 && onSegment(q1, q2, p1)) || (d2 == 0 && onSegment(q1, q2, p2)) ||
           (d3 == 0 && onSegment(p1, p2, q1)) || (d4 == 0 && onSegment(p1, p2, q2));
}
}  // namespace

bool CadScene::SegmentCrossesRect(const QPointF& a, const QPointF& b, const QRectF& rect)
{
    auto inside = [&](const QPointF& p) {
        return p.x() >= rect.left() && p.x() <= rect.right() && p.y() >= rect.top() && p.y() <= rect.bottom();
    };
    if (inside(a) || inside(b))
        return true;
    const QPointF tl = rect.topLeft(), tr = rect.topRight(), bl = rect.bottomLeft(), br = rect.bottomRight();
    return SegmentsIntersect(a, b, tl, tr) || SegmentsIntersect(a, b, tr, br) || SegmentsIntersect(a, b, br, bl) ||
           SegmentsIntersect(a, b, bl, tl);
}

QPolygonF CadScene::BulgePoints(const QPointF& a, const QPointF& b, double bulge)
{
    QPolygonF pts;
    pts << a;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double chord = std::hypot(dx, dy);
    if (std::abs(bulge) < 1e-9 || chord <= 0)
        return pts;
    const double theta = 4.0 * std::atan(bulge);  // signed sweep, counter-clockwise when positive
    const double h = chord / 2.0 * (1.0 - bulge * bulge) / (2.0 * bulge);
    const QPointF mid((a.x() + b.x()) / 2.0, (a.y() + b.y()) / 2.0);
    const QPointF centre(mid.x() - dy / chord * h, mid.y() + dx / chord * h);
    const double r = std::hypot(a.x() - centre.x(), a.y() - centre.y());
    const double start = std::atan2(a.y() - centre.y(), a.x() - centre.x());
    const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(theta) / (kPi / 32))));
    for (int i = 1; i < steps; ++i) {
        const double t = start + theta * i / steps;
        pts << QPointF(centre.x() + r * std::cos(t), centre.y() + r * std::sin(t));
    }
    return pts;
}

}  // namespace tavcad
