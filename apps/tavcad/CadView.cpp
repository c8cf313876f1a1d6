#include "apps/tavcad/CadView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace tavcad {

namespace {

const QColor kHighlight(110, 170, 255);

void DrawPrimitive(QPainter& p, const ScenePrimitive& prim, const QTransform& w2s, const QColor& color, bool highlight)
{
    switch (prim.kind) {
    case ScenePrimitive::Kind::kPolyline: {
        const QPolygonF pts = w2s.map(prim.points);
        if (prim.closed)
            p.drawPolygon(pts);
        else
            p.drawPolyline(pts);
        break;
    }
    case ScenePrimitive::Kind::kPolygon: {
        const QPolygonF pts = w2s.map(prim.points);
        if (highlight) {
            p.drawPolygon(pts);
        } else {
            p.setBrush(color);
            p.drawPolygon(pts);
            p.setBrush(Qt::NoBrush);
        }
        break;
    }
    case ScenePrimitive::Kind::kText: {
        const QTransform t = prim.textToWorld * w2s;
        const double em = std::sqrt(std::abs(t.determinant())) * CadScene::kFontEm;
        if (highlight) {
            p.drawPolygon(t.map(QPolygonF(prim.textBox)));
        }
        if (em < 3.0) {
            // Too small to read: a line where the text stands.
            const double mid = prim.textBox.top() + prim.textBox.height() * 0.6;
            p.drawLine(t.map(QPointF(prim.textBox.left(), mid)), t.map(QPointF(prim.textBox.right(), mid)));
            break;
        }
        p.save();
        p.setTransform(t, true);
        p.setFont(CadScene::TextFont());
        p.setPen(color);
        p.drawText(QPointF(0, 0), prim.text);
        p.restore();
        break;
    }
    }
}

void DrawEntity(QPainter& p, const SceneEntity& e, const QTransform& w2s, const QRectF& viewport, bool highlight)
{
    const QRectF sb = w2s.mapRect(e.bounds);
    if (!sb.adjusted(-2, -2, 2, 2).intersects(viewport))
        return;
    if (!highlight && sb.width() < 1.0 && sb.height() < 1.0) {
        if (!e.primitives.empty())
            p.setPen(QColor::fromRgb(e.primitives.front().color));
        p.drawPoint(sb.center());
        return;
    }
    for (const ScenePrimitive& prim : e.primitives) {
        const QColor color = QColor::fromRgb(prim.color);
        if (highlight) {
            QPen pen(kHighlight, 2, Qt::DashLine);
            p.setPen(pen);
        } else {
            p.setPen(QPen(color, 0));
        }
        DrawPrimitive(p, prim, w2s, color, highlight);
    }
}

}  // namespace

CadView::CadView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    m_settleTimer = new QTimer(this);
    m_settleTimer->setSingleShot(true);
    m_settleTimer->setInterval(kSettleMs);
    connect(m_settleTimer, &QTimer::timeout, this, [this] {
        m_settling = false;
        Invalidate();
    });
}

void CadView::Interactive(const std::function<void()>& change)
{
    m_interactive = true;
    change();
    m_interactive = false;
}

void CadView::SetScene(const CadScene* scene)
{
    m_scene = scene;
    m_fitted = false;
    SceneChanged();
}

void CadView::SceneChanged()
{
    if (m_scene) {
        std::vector<EntityHandle> kept;
        for (EntityHandle h : m_highlighted)
            if (m_scene->Find(h))
                kept.push_back(h);
        if (kept.size() != m_highlighted.size())
            SetHighlighted(kept);
    }
    if (!m_fitted && m_scene && !m_scene->Extents().isNull() && width() > 0) {
        m_fitted = true;
        ZoomExtents();
    }
    Invalidate();
}

void CadView::SetView(const QPointF& center, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        return;
    m_center = center;
    m_scale = scale;
    if (m_interactive && !m_image.isNull()) {
        m_settling = true;
        m_imageValid = false;
        m_settleTimer->start();
        update();
    } else {
        m_settling = false;
        m_settleTimer->stop();
        Invalidate();
    }
    emit viewChanged();
}

QTransform CadView::WorldToScreenTransform() const
{
    return QTransform(m_scale, 0, 0, -m_scale, width() / 2.0 - m_center.x() * m_scale,
                      height() / 2.0 + m_center.y() * m_scale);
}

QPointF CadView::ScreenToWorld(const QPointF& s) const
{
    return QPointF(m_center.x() + (s.x() - width() / 2.0) / m_scale, m_center.y() - (s.y() - height() / 2.0) / m_scale);
}

QPointF CadView::WorldToScreen(const QPointF& w) const
{
    return WorldToScreenTransform().map(w);
}

void CadView::ZoomExtents()
{
    if (!m_scene || m_scene->Extents().isNull()) {
        SetView(QPointF(0, 0), 1.0);
        return;
    }
    const QRectF ext = m_scene->Extents();
    const double w = std::max(ext.width(), 1e-6), h = std::max(ext.height(), 1e-6);
    const double scale = std::min(std::max(width(), 1) / w, std::max(height(), 1) / h) * 0.92;
    SetView(ext.center(), scale);
}

void CadView::ZoomAt(const QPointF& screen, double factor)
{
    if (!(factor > 0))
        return;
    const QPointF before = ScreenToWorld(screen);
    const double scale = m_scale * factor;
    // Keep `before` under the cursor: centre = before - (screen - mid) / scale, with Y turned.
    const QPointF center(before.x() - (screen.x() - width() / 2.0) / scale,
                         before.y() + (screen.y() - height() / 2.0) / scale);
    SetView(center, scale);
}

void CadView::PanBy(const QPointF& d)
{
    SetView(QPointF(m_center.x() - d.x() / m_scale, m_center.y() + d.y() / m_scale), m_scale);
}

EntityHandle CadView::EntityAt(const QPointF& screen) const
{
    if (!m_scene)
        return 0;
    return m_scene->Pick(ScreenToWorld(screen), kPickBox / m_scale);
}

void CadView::SetMode(Mode mode)
{
    m_mode = mode;
    m_windowStart.reset();
    update();
}

void CadView::SetRubberBand(std::optional<QPointF> base)
{
    m_rubberBand = base;
    update();
}

void CadView::SetPanMode(bool on)
{
    m_panMode = on;
    setCursor(on ? Qt::OpenHandCursor : Qt::CrossCursor);
}

void CadView::SetHighlighted(const std::vector<EntityHandle>& handles)
{
    m_highlighted = handles;
    m_highlightSet = std::unordered_set<EntityHandle>(handles.begin(), handles.end());
    update();
}

void CadView::Invalidate()
{
    m_imageValid = false;
    update();
}

void CadView::PaintDrawing()
{
    const qreal dpr = devicePixelRatioF();
    const QSize size(std::max(1, int(width() * dpr)), std::max(1, int(height() * dpr)));
    if (m_image.size() != size)
        m_image = QImage(size, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(Background());
    if (m_scene) {
        QPainter p(&m_image);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QTransform w2s = WorldToScreenTransform();
        const QRectF viewport(0, 0, width(), height());
        for (const SceneEntity& e : m_scene->Entities())
            DrawEntity(p, e, w2s, viewport, false);
    }
    m_imageValid = true;
    m_imageTransform = WorldToScreenTransform();
    ++m_drawingPaints;
}

void CadView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_imageValid && m_settling) {
        // The last image, moved and scaled to the new view, until the drawing is painted anew.
        p.fillRect(rect(), Background());
        p.save();
        p.setTransform(m_imageTransform.inverted() * WorldToScreenTransform());
        p.drawImage(0, 0, m_image);
        p.restore();
    } else {
        if (!m_imageValid)
            PaintDrawing();
        p.drawImage(0, 0, m_image);
    }
    if (m_scene && !m_highlighted.empty()) {
        const QTransform w2s = WorldToScreenTransform();
        const QRectF viewport(0, 0, width(), height());
        for (EntityHandle h : m_highlighted)
            if (const SceneEntity* e = m_scene->Find(h))
                DrawEntity(p, *e, w2s, viewport, true);
    }
    if (m_windowStart && m_mouse) {
        const bool crossing = m_mouse->x() < m_windowStart->x();
        const QRectF r = QRectF(*m_windowStart, *m_mouse).normalized();
        p.setPen(QPen(crossing ? QColor(120, 220, 120) : QColor(120, 160, 255), 1,
                      crossing ? Qt::DashLine : Qt::SolidLine));
        p.setBrush(crossing ? QColor(60, 160, 60, 50) : QColor(60, 90, 200, 50));
        p.drawRect(r);
        p.setBrush(Qt::NoBrush);
    }
    if (m_rubberBand && m_mouse && m_mode == Mode::kPoint) {
        p.setPen(QPen(QColor(220, 220, 220), 0, Qt::DashLine));
        p.drawLine(WorldToScreen(*m_rubberBand), *m_mouse);
    }
    if (m_mouse && !m_panMode) {
        p.setPen(QPen(QColor(220, 220, 220), 0));
        const QPointF m = *m_mouse;
        if (m_mode == Mode::kPickEntity || m_mode == Mode::kSelect || m_mode == Mode::kIdle)
            p.drawRect(QRectF(m.x() - kPickBox, m.y() - kPickBox, 2 * kPickBox, 2 * kPickBox));
    }
}

void CadView::resizeEvent(QResizeEvent*)
{
    if (!m_fitted && m_scene && !m_scene->Extents().isNull()) {
        m_fitted = true;
        ZoomExtents();
    }
    Invalidate();
}

void CadView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        Interactive([&] { ZoomAt(event->position(), std::pow(1.25, steps)); });
    event->accept();
}

void CadView::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    m_mouse = pos;
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && m_panMode)) {
        m_panFrom = pos;
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    if (m_windowStart) {
        FinishWindow(pos, event->modifiers());
        return;
    }
    const QPointF world = ScreenToWorld(pos);
    if (m_mode == Mode::kPoint) {
        emit entityClicked(EntityAt(pos), world, event->modifiers());
        return;
    }
    const EntityHandle hit = EntityAt(pos);
    if (hit != 0 || m_mode == Mode::kPickEntity) {
        emit entityClicked(hit, world, event->modifiers());
        return;
    }
    m_windowStart = pos;
    m_windowDragged = false;
}

void CadView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    if (m_panFrom) {
        Interactive([&] { PanBy(pos - *m_panFrom); });
        m_panFrom = pos;
    }
    if (m_windowStart && (pos - *m_windowStart).manhattanLength() > 4)
        m_windowDragged = true;
    m_mouse = pos;
    update();
    emit cursorMoved(ScreenToWorld(pos));
}

void CadView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_panFrom && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        m_panFrom.reset();
        setCursor(m_panMode ? Qt::OpenHandCursor : Qt::CrossCursor);
        if (m_settling) {
            m_settling = false;
            m_settleTimer->stop();
            Invalidate();
        }
        return;
    }
    if (event->button() == Qt::LeftButton && m_windowStart && m_windowDragged)
        FinishWindow(event->position(), event->modifiers());
}

void CadView::FinishWindow(const QPointF& end, Qt::KeyboardModifiers modifiers)
{
    const QPointF start = *m_windowStart;
    m_windowStart.reset();
    update();
    const bool crossing = end.x() < start.x();
    const QRectF world = QRectF(ScreenToWorld(start), ScreenToWorld(end)).normalized();
    emit windowSelected(world, crossing, modifiers);
}

void CadView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        m_windowStart.reset();
        if (m_panMode)
            SetPanMode(false);
        update();
        emit escapePressed();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enterPressed();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint()) {
        emit textTyped(text);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CadView::leaveEvent(QEvent*)
{
    m_mouse.reset();
    update();
}

}  // namespace tavcad
