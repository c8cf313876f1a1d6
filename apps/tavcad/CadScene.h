// The display model of a drawing: what the drawing view paints, built once from the DXF database
// (model space, blocks expanded) and rebuilt on REGEN. Each entity of model space becomes one scene
// entity with its handle, its bounds and its primitives in world coordinates (drawing units, Y up):
// polylines, filled polygons (wide polylines) and texts. Picking and window selection work on the
// primitives, so that the view can answer "which entity is under the cursor" without widgets.
#pragma once

#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QRgb>
#include <QString>
#include <QTransform>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tav::cad {
class DxfDocument;
}

namespace tavcad {

using EntityHandle = std::uint64_t;

struct ScenePrimitive {
    enum class Kind : std::uint8_t { kPolyline, kPolygon, kText };
    Kind kind = Kind::kPolyline;
    bool closed = false;  // kPolyline: the last point joins the first
    QRgb color = 0xffffffff;
    QPolygonF points;        // kPolyline, kPolygon: world coordinates
    QString text;            // kText
    QTransform textToWorld;  // kText: font coordinates (em kFontEm, Y down, baseline at 0) -> world
    QRectF textBox;          // kText: the text's box in font coordinates
    // The primitive's outline in world coordinates (the text box mapped for texts).
    QPolygonF Outline() const;
};

struct SceneEntity {
    EntityHandle handle = 0;
    std::string type;  // DXF type ("LINE", "INSERT", ...)
    QRectF bounds;     // world coordinates; empty width/height allowed (a vertical line)
    std::vector<ScenePrimitive> primitives;
};

// Counts of the last build, for the command line and the tests.
struct SceneBuildStats {
    int entities = 0;    // scene entities made
    int skipped = 0;     // entities of unknown types, on layers off or frozen, or without geometry
    int primitives = 0;
};

class CadScene {
public:
    // Text is laid out in a font of this pixel size and scaled to the text height.
    static constexpr double kFontEm = 100.0;
    // The drawing font ("Noto Sans CJK SC", for Chinese and Latin text alike) at kFontEm pixels.
    static const QFont& TextFont();

    // Replaces the scene by the model space of `doc`.
    SceneBuildStats Build(tav::cad::DxfDocument& doc);
    void Clear();

    const std::vector<SceneEntity>& Entities() const { return m_entities; }
    // The scene entity of a model space entity; null when it has none.
    const SceneEntity* Find(EntityHandle handle) const;
    // The union of all entity bounds; a null rectangle for an empty scene.
    QRectF Extents() const { return m_extents; }
    // How many times Build ran (a REGEN shows as a new count).
    int Generation() const { return m_generation; }

    // The entity whose geometry lies nearest to `point` within `tolerance` (world units); 0 when none.
    // Later entities win ties (they are drawn on top).
    EntityHandle Pick(const QPointF& point, double tolerance) const;
    // Window selection (every entity wholly inside `rect`) or crossing selection (every entity with
    // geometry inside or crossing `rect`), in drawing order.
    std::vector<EntityHandle> SelectWindow(const QRectF& rect, bool crossing) const;

    // Geometry helpers, public for the tests.
    static double DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b);
    static bool SegmentCrossesRect(const QPointF& a, const QPointF& b, const QRectF& rect);
    // The points of a bulged polyline segment from `a` to `b` (bulge = tan(angle / 4)), `a` included,
    // `b` excluded; a straight segment gives just `a`.
    static QPolygonF BulgePoints(const QPointF& a, const QPointF& b, double bulge);

private:
    std::vector<SceneEntity> m_entities;
    std::unordered_map<EntityHandle, std::size_t> m_index;
    QRectF m_extents;
    int m_generation = 0;
};

}  // namespace tavcad
