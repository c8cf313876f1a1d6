// The drawing view: paints a CadScene on a dark background, zooms with the wheel about the cursor,
// pans with the middle button (or the left button in pan mode), and turns clicks and windows into
// picks and selections. The painted drawing is kept in an image and redrawn only when the view or
// the scene changes; highlights, the pick box and the selection window are painted over it.
#pragma once

#include "apps/tavcad/CadScene.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <optional>
#include <unordered_set>

namespace tavcad {

class CadView : public QWidget {
    Q_OBJECT
public:
    // What a left click means: idle (select, feeding the implied selection), a single entity pick,
    // adding to a selection set, or a point.
    enum class Mode { kIdle, kPickEntity, kSelect, kPoint };

    explicit CadView(QWidget* parent = nullptr);

    // The scene painted (not owned; may be null).
    void SetScene(const CadScene* scene);
    // The scene was rebuilt: repaint, and drop highlights of entities that are gone.
    void SceneChanged();

    static QColor Background() { return QColor(33, 40, 48); }
    // Pick box half size in pixels.
    static constexpr int kPickBox = 5;

    // View transformation: `Scale()` pixels per drawing unit, `Center()` the world point at the centre.
    double Scale() const { return m_scale; }
    QPointF Center() const { return m_center; }
    void SetView(const QPointF& center, double scale);
    // While the user zooms with the wheel or drags to pan, the last drawing image is shown moved and
    // scaled, and the drawing is painted anew once the user pauses (after this many milliseconds).
    static constexpr int kSettleMs = 150;
    QPointF ScreenToWorld(const QPointF& screen) const;
    QPointF WorldToScreen(const QPointF& world) const;
    QTransform WorldToScreenTransform() const;
    // Fits the scene's extents into the window (a small margin left).
    void ZoomExtents();
    // Zooms by `factor` keeping the world point under `screen` in place.
    void ZoomAt(const QPointF& screen, double factor);
    void PanBy(const QPointF& screenDelta);

    // The entity within the pick box around a screen position; 0 when none.
    EntityHandle EntityAt(const QPointF& screen) const;

    void SetMode(Mode mode);
    Mode GetMode() const { return m_mode; }
    // A line from this world point to the cursor while a point is asked for (none: no line).
    void SetRubberBand(std::optional<QPointF> base);
    std::optional<QPointF> RubberBand() const { return m_rubberBand; }
    // In pan mode a left drag pans (Esc leaves it).
    void SetPanMode(bool on);
    bool PanMode() const { return m_panMode; }

    // Entities drawn highlighted (the selection).
    void SetHighlighted(const std::vector<EntityHandle>& handles);
    const std::vector<EntityHandle>& Highlighted() const { return m_highlighted; }
    bool IsHighlighted(EntityHandle handle) const { return m_highlightSet.count(handle) != 0; }

    // How many times the drawing image was painted anew (for the tests of REGEN and caching).
    int DrawingPaints() const { return m_drawingPaints; }

signals:
    // A left click: the entity in the pick box (0: empty space) and the world point.
    void entityClicked(tavcad::EntityHandle handle, QPointF world, Qt::KeyboardModifiers modifiers);
    // A selection window closed: world rectangle, crossing when drawn from right to left.
    void windowSelected(QRectF world, bool crossing, Qt::KeyboardModifiers modifiers);
    void escapePressed();
    // Keys typed while the view has focus (they belong to the command line).
    void textTyped(QString text);
    void enterPressed();
    void viewChanged();
    // The cursor moved over the drawing (world coordinates).
    void cursorMoved(QPointF world);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Invalidate();
    // Runs a view change made by the user's wheel or drag (see kSettleMs).
    void Interactive(const std::function<void()>& change);
    void PaintDrawing();
    void FinishWindow(const QPointF& end, Qt::KeyboardModifiers modifiers);

    const CadScene* m_scene = nullptr;
    double m_scale = 1.0;
    QPointF m_center;
    bool m_fitted = false;  // zoomed to extents once after a scene arrived
    Mode m_mode = Mode::kIdle;
    bool m_panMode = false;

    QImage m_image;
    bool m_imageValid = false;
    QTransform m_imageTransform;  // the world-to-screen transformation m_image was painted with
    bool m_interactive = false;   // the running view change comes from the wheel or a drag
    bool m_settling = false;      // m_image is shown moved until the timer paints it anew
    QTimer* m_settleTimer = nullptr;
    int m_drawingPaints = 0;

    std::vector<EntityHandle> m_highlighted;
    std::unordered_set<EntityHandle> m_highlightSet;

    std::optional<QPointF> m_panFrom;
    std::optional<QPointF> m_windowStart;
    bool m_windowDragged = false;
    std::optional<QPointF> m_mouse;
    std::optional<QPointF> m_rubberBand;
};

}  // namespace tavcad
