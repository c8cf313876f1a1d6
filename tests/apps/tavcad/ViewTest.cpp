// The drawing view: view transformation, wheel zoom about the cursor, panning, clicks and windows.
#include "apps/tavcad/CadView.h"
#include "platform/cad/DxfDocument.h"
#include "platform/cad/DxfViews.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace tavcad;
using namespace tav::cad;

namespace {

class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = DxfDocument::CreateNew();
        line = AddLine({0, 0, 0}, {1000, 0, 0});
        upper = AddLine({0, 500, 0}, {1000, 500, 0});
        scene.Build(doc);
        view.resize(800, 600);
        view.SetScene(&scene);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.ZoomExtents();
    }
    Handle AddLine(DxfPoint a, DxfPoint b)
    {
        DxfObject o = doc.AddEntity("LINE");
        DxfLine(o).SetStart(a);
        DxfLine(o).SetEnd(b);
        return o.GetHandle();
    }
    QPoint Screen(double x, double y) const { return view.WorldToScreen(QPointF(x, y)).toPoint(); }

    DxfDocument doc;
    Handle line = 0, upper = 0;
    CadScene scene;
    CadView view;
};

}  // namespace

TEST_F(ViewFixture, ScreenAndWorldTransformsAreInverse)
{
    const QPointF w(123.5, 456.25);
    const QPointF back = view.ScreenToWorld(view.WorldToScreen(w));
    EXPECT_NEAR(back.x(), w.x(), 1e-9);
    EXPECT_NEAR(back.y(), w.y(), 1e-9);
    // Y grows upward in the drawing and downward on the screen.
    EXPECT_LT(view.WorldToScreen({0, 500}).y(), view.WorldToScreen({0, 0}).y());
}

TEST_F(ViewFixture, ZoomExtentsShowsTheWholeDrawing)
{
    view.SetView({5000, 5000}, 0.001);
    view.ZoomExtents();
    for (QPointF corner : {QPointF(0, 0), QPointF(1000, 500)}) {
        const QPointF s = view.WorldToScreen(corner);
        EXPECT_GE(s.x(), 0);
        EXPECT_LE(s.x(), view.width());
        EXPECT_GE(s.y(), 0);
        EXPECT_LE(s.y(), view.height());
    }
    // And fills most of the width.
    EXPECT_GT(view.WorldToScreen({1000, 0}).x() - view.WorldToScreen({0, 0}).x(), view.width() * 0.8);
}

TEST_F(ViewFixture, WheelZoomsAboutTheCursor)
{
    const QPointF cursor(200, 150);
    const QPointF before = view.ScreenToWorld(cursor);
    const double scale = view.Scale();
    QWheelEvent wheel(cursor, view.mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_GT(view.Scale(), scale);
    const QPointF after = view.ScreenToWorld(cursor);
    EXPECT_NEAR(after.x(), before.x(), 1e-6);
    EXPECT_NEAR(after.y(), before.y(), 1e-6);
}

TEST_F(ViewFixture, MiddleButtonDragPans)
{
    const QPointF center = view.Center();
    QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(400, 300));
    QTest::mouseMove(&view, QPoint(450, 300));
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(450, 300));
    EXPECT_NEAR(view.Center().x(), center.x() - 50 / view.Scale(), 1e-6);
    EXPECT_NEAR(view.Center().y(), center.y(), 1e-6);
}

TEST_F(ViewFixture, PanModeMakesLeftDragPan)
{
    view.SetPanMode(true);
    const QPointF center = view.Center();
    QSignalSpy windows(&view, &CadView::windowSelected);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseMove(&view, QPoint(400, 340));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(400, 340));
    EXPECT_NEAR(view.Center().y(), center.y() + 40 / view.Scale(), 1e-6);
    EXPECT_EQ(windows.count(), 0);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.PanMode());
}

TEST_F(ViewFixture, ClickOnEntityReportsItsHandle)
{
    QSignalSpy clicks(&view, &CadView::entityClicked);
    QTest::mouseClick(&view, Qt::LeftButton, {}, Screen(300, 500) + QPoint(0, 2));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<EntityHandle>(), upper);
    EXPECT_EQ(view.EntityAt(Screen(300, 0)), line);
    EXPECT_EQ(view.EntityAt(Screen(300, 250)), 0u);
}

TEST_F(ViewFixture, TwoClicksOnEmptySpaceMakeWindowOrCrossing)
{
    QSignalSpy windows(&view, &CadView::windowSelected);
    // Left to right: a window.
    QTest::mouseClick(&view, Qt::LeftButton, {}, Screen(-50, 450));
    QTest::mouseClick(&view, Qt::LeftButton, {}, Screen(1050, 550));
    ASSERT_EQ(windows.count(), 1);
    EXPECT_FALSE(windows.at(0).at(1).toBool());
    const QRectF r = windows.at(0).at(0).toRectF();
    EXPECT_LT(r.left(), 0);
    EXPECT_GT(r.right(), 1000);
    EXPECT_LT(r.top(), 500);
    EXPECT_GT(r.bottom(), 500);
    EXPECT_EQ(scene.SelectWindow(r, false), std::vector<EntityHandle>{upper});
    // Right to left: a crossing window.
    QTest::mouseClick(&view, Qt::LeftButton, {}, Screen(600, 250));
    QTest::mouseClick(&view, Qt::LeftButton, {}, Screen(400, -50));
    ASSERT_EQ(windows.count(), 2);
    EXPECT_TRUE(windows.at(1).at(1).toBool());
}

TEST_F(ViewFixture, DrawingImageIsRepaintedOnlyWhenTheViewChanges)
{
    view.grab();
    const int paints = view.DrawingPaints();
    view.SetHighlighted({line});
    view.grab();
    EXPECT_EQ(view.DrawingPaints(), paints);
    EXPECT_TRUE(view.IsHighlighted(line));
    view.ZoomAt(QPointF(100, 100), 2.0);
    view.grab();
    EXPECT_EQ(view.DrawingPaints(), paints + 1);
}

TEST_F(ViewFixture, HighlightedEntityIsPaintedInTheHighlightColour)
{
    const QPoint at = Screen(500, 0);
    const QImage plain = view.grab().toImage();
    view.SetHighlighted({line});
    const QImage marked = view.grab().toImage();
    const qreal dpr = plain.devicePixelRatio();
    const QPoint px(int(at.x() * dpr), int(at.y() * dpr));
    bool differs = false;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            differs = differs || plain.pixel(px + QPoint(dx, dy)) != marked.pixel(px + QPoint(dx, dy));
    EXPECT_TRUE(differs);
}

TEST_F(ViewFixture, WheelZoomShowsTheLastImageUntilTheUserPauses)
{
    view.grab();
    const int paints = view.DrawingPaints();
    QWheelEvent wheel(QPointF(300, 300), view.mapToGlobal(QPointF(300, 300)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    view.grab();
    EXPECT_EQ(view.DrawingPaints(), paints);  // moved and scaled, not painted anew
    EXPECT_TRUE(QTest::qWaitFor([&] {
        view.grab();
        return view.DrawingPaints() == paints + 1;
    }));
}
