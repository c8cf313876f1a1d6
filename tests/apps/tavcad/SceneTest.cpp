// The display model built from the drawing database: geometry, blocks, texts, colours, picking and
// window selection.
#include "apps/tavcad/CadScene.h"
#include "platform/cad/DxfDocument.h"
#include "platform/cad/DxfViews.h"
#include "platform/ui/KvUiColor.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <cmath>

using namespace tavcad;
using namespace tav::cad;

namespace {

QRgb Aci(int index)
{
    const KvUiColor c = AciToRgb(index);
    return qRgb(c.r, c.g, c.b);
}

DxfObject AddLine(DxfDocument& doc, DxfPoint a, DxfPoint b, DxfObject block = {})
{
    DxfObject o = doc.AddEntity("LINE", block);
    DxfLine line(o);
    line.SetStart(a);
    line.SetEnd(b);
    return o;
}

DxfObject AddText(DxfDocument& doc, const std::string& s, DxfPoint at, double height)
{
    DxfObject o = doc.AddEntity("TEXT");
    DxfText t(o);
    t.SetText(s);
    t.SetInsertion(at);
    t.SetHeight(height);
    return o;
}

QRectF OutlineBounds(const SceneEntity& e)
{
    QRectF r;
    for (const auto& p : e.primitives)
        r = r.isNull() ? p.Outline().boundingRect() : r.united(p.Outline().boundingRect());
    return r;
}

}  // namespace

TEST(SceneGeometry, LineAndArcAndCircleBecomePolylinesInWorldCoordinates)
{
    DxfDocument doc = DxfDocument::CreateNew();
    const Handle line = AddLine(doc, {0, 0, 0}, {100, 0, 0}).GetHandle();
    DxfObject arcObj = doc.AddEntity("ARC");
    DxfArc arc(arcObj);
    arc.SetCenter({0, 0, 0});
    arc.SetRadius(10);
    arc.SetStartAngle(0);
    arc.SetEndAngle(90);
    DxfObject circleObj = doc.AddEntity("CIRCLE");
    DxfCircle circle(circleObj);
    circle.SetCenter({200, 0, 0});
    circle.SetRadius(5);

    CadScene scene;
    const SceneBuildStats stats = scene.Build(doc);
    EXPECT_EQ(stats.entities, 3);
    const SceneEntity* l = scene.Find(line);
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->primitives.size(), 1u);
    EXPECT_EQ(l->primitives[0].points, QPolygonF({QPointF(0, 0), QPointF(100, 0)}));

    const SceneEntity* a = scene.Find(arcObj.GetHandle());
    ASSERT_NE(a, nullptr);
    for (const QPointF& p : a->primitives[0].points) {
        EXPECT_NEAR(std::hypot(p.x(), p.y()), 10.0, 1e-9);
        EXPECT_GE(p.x(), -1e-9);
        EXPECT_GE(p.y(), -1e-9);
    }
    EXPECT_NEAR(a->primitives[0].points.back().x(), 0.0, 1e-9);

    const SceneEntity* c = scene.Find(circleObj.GetHandle());
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->primitives[0].closed);
    EXPECT_NEAR(c->bounds.left(), 195.0, 1e-9);
    EXPECT_NEAR(c->bounds.right(), 205.0, 1e-9);
    EXPECT_NEAR(scene.Extents().left(), 0.0, 1e-6);  // the arc lies in the first quadrant
    EXPECT_NEAR(scene.Extents().right(), 205.0, 1e-6);
}

TEST(SceneGeometry, BulgedSegmentFollowsItsArc)
{
    // A half circle from (0,0) to (2,0), counter-clockwise: it runs below the chord.
    const QPolygonF half = CadScene::BulgePoints({0, 0}, {2, 0}, 1.0);
    ASSERT_GT(half.size(), 4);
    bool below = false;
    for (const QPointF& p : half) {
        EXPECT_NEAR(std::hypot(p.x() - 1, p.y()), 1.0, 1e-9);
        below = below || p.y() < -0.9;
    }
    EXPECT_TRUE(below);
    // A quarter from (1,0) to (0,1) about the origin.
    for (const QPointF& p : CadScene::BulgePoints({1, 0}, {0, 1}, std::tan(M_PI / 8)))
        EXPECT_NEAR(std::hypot(p.x(), p.y()), 1.0, 1e-9);
    // Negative bulge: clockwise, on the other side.
    for (const QPointF& p : CadScene::BulgePoints({0, 0}, {2, 0}, -1.0))
        EXPECT_GE(p.y(), -1e-9);
    EXPECT_EQ(CadScene::BulgePoints({0, 0}, {2, 0}, 0).size(), 1);
}

TEST(SceneGeometry, WidePolylineIsFilledStripOfItsWidth)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject o = doc.AddEntity("LWPOLYLINE");
    DxfLwPolyline poly(o);
    poly.SetVertices({{0, 50, 0, 0, 0}, {100, 50, 0, 0, 0}});
    poly.SetConstantWidth(4);
    DxfObject tapered = doc.AddEntity("LWPOLYLINE");
    DxfLwPolyline arrow(tapered);
    arrow.SetVertices({{0, 0, 6, 0, 0}, {30, 0, 0, 0, 0}});

    CadScene scene;
    scene.Build(doc);
    const SceneEntity* e = scene.Find(o.GetHandle());
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->primitives.size(), 1u);
    EXPECT_EQ(e->primitives[0].kind, ScenePrimitive::Kind::kPolygon);
    EXPECT_NEAR(e->bounds.top(), 48.0, 1e-9);
    EXPECT_NEAR(e->bounds.bottom(), 52.0, 1e-9);
    // A pick inside the strip, away from its centre line, finds it.
    EXPECT_EQ(scene.Pick({50, 51.8}, 0.1), o.GetHandle());

    const SceneEntity* a = scene.Find(tapered.GetHandle());
    ASSERT_NE(a, nullptr);
    EXPECT_NEAR(a->bounds.height(), 6.0, 1e-9);  // the start width
    EXPECT_EQ(scene.Pick({29.9, 2.5}, 0.1), 0u);  // the tip is narrow
    EXPECT_EQ(scene.Pick({0.5, 2.5}, 0.1), tapered.GetHandle());
}

TEST(SceneBlocks, InsertPlacesBlockEntitiesByBasePointScaleAndRotation)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject block = doc.AddBlock("LEGEND", {10, 10, 0});
    ASSERT_FALSE(block.IsNull());
    DxfObject inner = AddLine(doc, {10, 10, 0}, {20, 10, 0}, block);
    DxfEntity(inner).SetColor(0);  // ByBlock
    DxfObject ins = doc.AddEntity("INSERT");
    DxfInsert insert(ins);
    insert.SetBlockName("LEGEND");
    insert.SetInsertion({100, 100, 0});
    insert.SetScale({2, 2, 1});
    insert.SetRotation(90);
    DxfEntity(ins).SetColor(3);

    CadScene scene;
    scene.Build(doc);
    EXPECT_EQ(scene.Find(inner.GetHandle()), nullptr);  // block contents are no model space entities
    const SceneEntity* e = scene.Find(ins.GetHandle());
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->primitives.size(), 1u);
    const QPolygonF& pts = e->primitives[0].points;
    EXPECT_NEAR(pts[0].x(), 100, 1e-9);
    EXPECT_NEAR(pts[0].y(), 100, 1e-9);
    EXPECT_NEAR(pts[1].x(), 100, 1e-9);
    EXPECT_NEAR(pts[1].y(), 120, 1e-9);
    EXPECT_EQ(e->primitives[0].color, Aci(3));  // ByBlock takes the reference's colour
}

TEST(SceneColours, ByLayerUsesLayerColourAndHiddenLayersAreSkipped)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfLayer(doc.AddRecord("LAYER", "RED")).SetColor(1);
    DxfLayer hidden(doc.AddRecord("LAYER", "HIDDEN"));
    hidden.SetOff(true);
    DxfObject onRed = AddLine(doc, {0, 0, 0}, {1, 1, 0});
    DxfEntity(onRed).SetLayer("RED");
    DxfObject own = AddLine(doc, {0, 0, 0}, {1, 1, 0});
    DxfEntity(own).SetLayer("RED");
    DxfEntity(own).SetColor(5);
    DxfObject off = AddLine(doc, {0, 0, 0}, {1, 1, 0});
    DxfEntity(off).SetLayer("HIDDEN");

    CadScene scene;
    const SceneBuildStats stats = scene.Build(doc);
    ASSERT_NE(scene.Find(onRed.GetHandle()), nullptr);
    EXPECT_EQ(scene.Find(onRed.GetHandle())->primitives[0].color, Aci(1));
    EXPECT_EQ(scene.Find(own.GetHandle())->primitives[0].color, Aci(5));
    EXPECT_EQ(scene.Find(off.GetHandle()), nullptr);
    EXPECT_EQ(stats.skipped, 1);
}

TEST(SceneText, AlignmentPointAndWidthFactorPlaceTheText)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject left = AddText(doc, "给排水ABC", {0, 0, 0}, 10);
    DxfObject centred = AddText(doc, "给排水ABC", {0, 0, 0}, 10);
    DxfText(centred).SetJustification(1, 2);  // centre, middle
    DxfText(centred).SetAlignment({50, 50, 0});
    DxfObject narrow = AddText(doc, "给排水ABC", {0, 0, 0}, 10);
    DxfText(narrow).SetWidthFactor(0.5);
    DxfObject turned = AddText(doc, "给排水ABC", {0, 0, 0}, 10);
    DxfText(turned).SetRotation(90);

    CadScene scene;
    scene.Build(doc);
    const ScenePrimitive& l = scene.Find(left.GetHandle())->primitives.at(0);
    ASSERT_EQ(l.kind, ScenePrimitive::Kind::kText);
    EXPECT_EQ(l.text, QStringLiteral("给排水ABC"));
    const QPointF origin = l.textToWorld.map(QPointF(0, 0));
    EXPECT_NEAR(origin.x(), 0, 1e-9);
    EXPECT_NEAR(origin.y(), 0, 1e-9);
    // One em of the font is the text height, upward in the world.
    const QPointF up = l.textToWorld.map(QPointF(0, -CadScene::kFontEm));
    EXPECT_NEAR(up.y(), 10.0, 1e-9);
    const double width = OutlineBounds(*scene.Find(left.GetHandle())).width();
    EXPECT_GT(width, 30.0);

    const ScenePrimitive& c = scene.Find(centred.GetHandle())->primitives.at(0);
    const QPointF cBase = c.textToWorld.map(QPointF(0, 0));
    EXPECT_NEAR(cBase.x(), 50 - width / 2, 1e-6);
    EXPECT_NEAR(cBase.y(), 45, 1e-6);  // the middle of the height stands on the alignment point

    EXPECT_NEAR(OutlineBounds(*scene.Find(narrow.GetHandle())).width(), width / 2, 1e-6);
    const QRectF t = OutlineBounds(*scene.Find(turned.GetHandle()));
    EXPECT_NEAR(t.height(), width, 1e-6);
    EXPECT_LT(t.width(), 20.0);
}

TEST(SceneText, DrawingFontIsTheChineseFont)
{
    const QFontInfo info(CadScene::TextFont());
    EXPECT_TRUE(info.family().contains(QStringLiteral("Noto Sans CJK"))) << info.family().toStdString();
}

TEST(SceneEquipment, EquipmentShowsSymbolAndDisplayName)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject eq = AddEquipment(doc, "水泵-1", {2000, 0, 0});
    ASSERT_FALSE(eq.IsNull());
    CadScene scene;
    scene.Build(doc);
    const SceneEntity* e = scene.Find(eq.GetHandle());
    ASSERT_NE(e, nullptr);
    bool hasName = false;
    for (const auto& p : e->primitives)
        hasName = hasName || (p.kind == ScenePrimitive::Kind::kText && p.text == QStringLiteral("水泵-1"));
    EXPECT_TRUE(hasName);
    EXPECT_TRUE(e->bounds.contains(QPointF(2000, 0)));
    EXPECT_EQ(scene.Pick({2000, 0}, 1), eq.GetHandle());
}

TEST(ScenePicking, NearestEntityWithinToleranceWins)
{
    DxfDocument doc = DxfDocument::CreateNew();
    const Handle a = AddLine(doc, {0, 0, 0}, {100, 0, 0}).GetHandle();
    const Handle b = AddLine(doc, {0, 3, 0}, {100, 3, 0}).GetHandle();
    const Handle t = AddText(doc, "设备材料表", {0, 20, 0}, 5).GetHandle();
    CadScene scene;
    scene.Build(doc);
    EXPECT_EQ(scene.Pick({50, 0.5}, 2), a);
    EXPECT_EQ(scene.Pick({50, 2.4}, 2), b);
    EXPECT_EQ(scene.Pick({50, 10}, 2), 0u);
    EXPECT_EQ(scene.Pick({5, 22}, 0.1), t);  // inside the text's box
    EXPECT_EQ(scene.Pick({150, 0}, 2), 0u);
}

TEST(ScenePicking, WindowTakesWhollyInsideCrossingTakesTouching)
{
    DxfDocument doc = DxfDocument::CreateNew();
    const Handle longLine = AddLine(doc, {0, 0, 0}, {100, 0, 0}).GetHandle();
    const Handle shortLine = AddLine(doc, {40, 5, 0}, {60, 5, 0}).GetHandle();
    const Handle far = AddLine(doc, {0, 50, 0}, {100, 50, 0}).GetHandle();
    DxfObject circleObj = doc.AddEntity("CIRCLE");
    DxfCircle(circleObj).SetCenter({50, -30, 0});
    DxfCircle(circleObj).SetRadius(20);
    CadScene scene;
    scene.Build(doc);

    const QRectF box(30, -1, 40, 10);
    EXPECT_EQ(scene.SelectWindow(box, false), std::vector<EntityHandle>{shortLine});
    EXPECT_EQ(scene.SelectWindow(box, true), (std::vector<EntityHandle>{longLine, shortLine}));
    // A crossing window inside the circle, away from its outline, does not take it.
    EXPECT_TRUE(scene.SelectWindow(QRectF(45, -35, 10, 10), true).empty());
    const auto all = scene.SelectWindow(QRectF(-1, -60, 102, 120), false);
    EXPECT_EQ(all.size(), 4u);
    EXPECT_NE(std::find(all.begin(), all.end(), far), all.end());
}

TEST(SceneBuild, RebuildReflectsDatabaseChanges)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject o = AddLine(doc, {0, 0, 0}, {10, 0, 0});
    CadScene scene;
    scene.Build(doc);
    EXPECT_EQ(scene.Generation(), 1);
    DxfLine(o).SetEnd({30, 0, 0});
    AddLine(doc, {0, 5, 0}, {1, 5, 0});
    scene.Build(doc);
    EXPECT_EQ(scene.Generation(), 2);
    EXPECT_EQ(scene.Entities().size(), 2u);
    EXPECT_NEAR(scene.Find(o.GetHandle())->bounds.right(), 30.0, 1e-9);
    doc.Erase(o);
    scene.Build(doc);
    EXPECT_EQ(scene.Find(o.GetHandle()), nullptr);
}

TEST(SceneText, ControlCodesAndTrueColourAreShown)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject t = AddText(doc, "DN100 %%c20 45%%d %%p5 100%%% %%uA", {0, 0, 0}, 5);
    t.SetInt(420, 0x336699);
    CadScene scene;
    scene.Build(doc);
    const ScenePrimitive& p = scene.Find(t.GetHandle())->primitives.at(0);
    EXPECT_EQ(p.text, QStringLiteral("DN100 Ø20 45° ±5 100% A"));
    EXPECT_EQ(p.color, qRgb(0x33, 0x66, 0x99));
}
