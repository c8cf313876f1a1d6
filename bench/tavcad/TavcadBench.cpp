// tavcad_bench [ENTITIES]: a drawing of lines, wide polylines, Chinese texts and block references
// (50,000 entities by default) read into the database (the baseline), turned into the view's scene,
// painted at extents and zoomed in, picked and window-selected. Prints milliseconds per step.
#include "apps/tavcad/CadScene.h"
#include "apps/tavcad/CadView.h"
#include "platform/cad/DxfDocument.h"
#include "platform/cad/DxfViews.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using namespace tav::cad;

namespace {

double Millis(const std::function<void()>& work, int repeat = 1)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeat; ++i)
        work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count() / repeat;
}

std::string MakeDrawing(int count)
{
    DxfDocument doc = DxfDocument::CreateNew();
    DxfObject block = doc.AddBlock("VALVE", {0, 0, 0});
    for (int k = 0; k < 4; ++k) {
        DxfObject l = doc.AddEntity("LINE", block);
        DxfLine(l).SetStart({0, k * 10.0, 0});
        DxfLine(l).SetEnd({100, 100 - k * 10.0, 0});
    }
    DxfObject c = doc.AddEntity("CIRCLE", block);
    DxfCircle(c).SetRadius(30);
    const int side = 250;
    for (int i = 0; i < count; ++i) {
        const double x = (i % side) * 400.0, y = (i / side) * 400.0;
        switch (i % 10) {
        case 0: case 1: case 2: case 3: {
            DxfObject o = doc.AddEntity("LINE");
            DxfLine(o).SetStart({x, y, 0});
            DxfLine(o).SetEnd({x + 350, y + 200, 0});
            break;
        }
        case 4: case 5: {
            DxfObject o = doc.AddEntity("LWPOLYLINE");
            DxfLwPolyline p(o);
            p.SetVertices({{x, y, 0, 0, 0}, {x + 300, y, 0, 0, 0.4}, {x + 300, y + 300, 0, 0, 0}});
            p.SetConstantWidth(i % 2 ? 20 : 0);
            break;
        }
        case 6: case 7: case 8: {
            DxfObject o = doc.AddEntity("TEXT");
            DxfText t(o);
            t.SetText(i % 3 ? "给排水设备" : "DN100 i=0.005");
            t.SetInsertion({x, y, 0});
            t.SetHeight(100);
            t.SetRotation((i % 4) * 30.0);
            break;
        }
        default: {
            DxfObject o = doc.AddEntity("INSERT");
            DxfInsert ins(o);
            ins.SetBlockName("VALVE");
            ins.SetInsertion({x, y, 0});
            ins.SetRotation(45);
            break;
        }
        }
    }
    return doc.SaveToString();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 50000;
    const std::string bytes = MakeDrawing(count);

    DxfDocument doc;
    const double load = Millis([&] { doc = DxfDocument(); doc.LoadFromBytes(bytes); });
    tavcad::CadScene scene;
    tavcad::SceneBuildStats stats;
    const double build = Millis([&] { stats = scene.Build(doc); });
    const double rebuild = Millis([&] { stats = scene.Build(doc); });

    tavcad::CadView view;
    view.resize(1600, 1000);
    view.SetScene(&scene);
    view.show();
    QApplication::processEvents();
    view.ZoomExtents();
    const double extents = Millis([&] { view.ZoomAt({800, 500}, 1.0); view.grab(); }, 5);
    view.ZoomAt({800, 500}, 20.0);
    const double zoomed = Millis([&] { view.ZoomAt({800, 500}, 1.0); view.grab(); }, 5);
    view.ZoomExtents();
    view.grab();
    std::vector<tavcad::EntityHandle> some;
    for (std::size_t i = 0; i < scene.Entities().size(); i += 50)
        some.push_back(scene.Entities()[i].handle);
    view.SetHighlighted(some);
    const double overlay = Millis([&] { view.update(); view.grab(); }, 5);
    const double pick = Millis([&] { view.EntityAt({800, 500}); }, 20);
    std::size_t selected = 0;
    const QRectF ext = scene.Extents();
    const double window = Millis([&] {
        selected = scene.SelectWindow(QRectF(ext.center(), ext.size() / 4), true).size();
    });

    std::printf("tavcad_bench: %d entities (%d in the scene, %d primitives), %.1f MB of DXF\n", count, stats.entities,
                stats.primitives, bytes.size() / 1e6);
    std::printf("  baseline: read the drawing into the database   %8.1f ms\n", load);
    std::printf("  scene build (REGEN)                             %8.1f ms\n", build);
    std::printf("  scene built again                               %8.1f ms\n", rebuild);
    std::printf("  full redraw at extents                          %8.1f ms\n", extents);
    std::printf("  full redraw zoomed in 20x                       %8.1f ms\n", zoomed);
    std::printf("  repaint with %zu highlighted (cached drawing)  %8.1f ms\n", some.size(), overlay);
    std::printf("  pick at the cursor                              %8.3f ms\n", pick);
    std::printf("  crossing window (%zu entities)                  %8.1f ms\n", selected, window);
    return 0;
}
