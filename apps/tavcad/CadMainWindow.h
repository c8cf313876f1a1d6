// The main window of tavcad: the drawing view in the centre, the command line docked at the bottom,
// the menu bar and toolbars (the host's own and those of the UI configuration, built by KvLoadUI).
// It owns the drawing (one document of the host's document manager at a time), the application
// loader and the Qt user services, and runs typed commands through the platform's command line.
#pragma once

#include "apps/tavcad/CadScene.h"
#include "platform/host/KvAppLoader.h"
#include "platform/ui/KvUiQtUserServices.h"

#include <QMainWindow>

#include <memory>
#include <string>

class AcApDocument;
class QToolBar;

namespace tavcad {

class CadView;
class CommandLineWidget;
class HostInteraction;

// What the command line of the program asks for.
struct StartupOptions {
    std::string mainDirectory;    // --main-dir; empty: the default choice
    std::string configDirectory;  // --config-dir; empty: the default choice
    std::string drawing;          // a drawing to open; empty: a new drawing
    std::string modulePath;       // the module loaded at start; empty: none
};

class CadMainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The host's command group in the command stack.
    static constexpr const char* kHostGroup = "TAVCAD";
    // The module the program loads at start, next to the program.
    static std::string DefaultModulePath();

    explicit CadMainWindow(QWidget* parent = nullptr);
    ~CadMainWindow() override;
    // The main window whose commands run (the last one made); null when none exists.
    static CadMainWindow* Current();

    // Folders, the user's configuration files (seeded on first start), the module, the drawing and
    // the menus. Problems are printed on the command line; returns false when the drawing could not
    // be opened (a new drawing is shown instead).
    bool Start(const StartupOptions& options);

    // ---- drawings ----
    // A new drawing, after asking about unsaved changes; false when the user cancelled.
    bool NewDrawing();
    // Opens `path` after asking about unsaved changes. False when cancelled or unreadable (a message
    // box says why, and the current drawing stays).
    bool OpenDrawing(const QString& path);
    // Saves to the drawing's file (Save As when it has none). False when cancelled or failed.
    bool SaveDrawing();
    // Saves to `path` (empty: asks with a file dialog). The file is written in the version read.
    bool SaveDrawingAs(const QString& path = {});
    // Asks "save changes?" when the drawing is modified: true to go on (saved or discarded).
    bool MaybeSave();
    bool IsModified() const;
    // The drawing's file name without folder ("Drawing1.dxf" for a new one).
    QString DrawingName() const;
    QString DrawingPath() const;
    AcApDocument* Document() const { return m_document; }

    // ---- commands ----
    // Runs input given at the command prompt: a command name, or "" to repeat the last command.
    int RunTyped(const QString& text);
    // The last command run from the prompt ("" when none).
    QString LastCommand() const { return m_lastCommand; }
    // Rebuilds the scene from the drawing database and repaints.
    void Regen();
    // Builds menus, toolbars and shortcuts from g_dbCfgUI (the host's own menus first).
    void LoadUI();
    // Loads an application through acrxEntryPoint; null with a message printed on failure.
    KvLoadedApp* LoadApplication(const std::string& path);
    // Esc at the command prompt: ends an open prompt, else clears the selection and pan mode.
    void Escape();

    // ---- selection ----
    // The selection made before a command (the implied selection): highlighted, and the current
    // document's pickfirst set.
    void SetSelection(const std::vector<EntityHandle>& handles);
    std::vector<EntityHandle> Selection() const;

    CadScene& Scene() { return m_scene; }
    CadView* View() const { return m_view; }
    CommandLineWidget* CommandLine() const { return m_commandLine; }
    HostInteraction* Interaction() const { return m_interaction; }
    KvUiQtUserServices& Services() { return m_services; }
    KvAppLoader& Loader() { return m_loader; }
    // Menus built from the UI configuration by the last LoadUI.
    const QList<QMenu*>& ConfigMenus() const { return m_configMenus; }
    const QList<QToolBar*>& ConfigToolBars() const { return m_configToolBars; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildHostMenus();
    void ReplaceDocument(AcApDocument* doc);
    void UpdateTitle();
    void OnEntityClicked(EntityHandle handle, QPointF world, Qt::KeyboardModifiers modifiers);
    void OnWindowSelected(QRectF world, bool crossing, Qt::KeyboardModifiers modifiers);
    void OnSubmitted(const QString& text);
    void RunFromUi(const QString& command);
    QString IconPath(const std::string& icon) const;

    CadScene m_scene;
    CadView* m_view = nullptr;
    CommandLineWidget* m_commandLine = nullptr;
    HostInteraction* m_interaction = nullptr;
    KvUiQtUserServices m_services;
    KvUserServices* m_previousServices = nullptr;
    KvAppLoader m_loader;
    AcApDocument* m_document = nullptr;
    QString m_lastCommand;
    int m_untitledCount = 0;
    QString m_untitledName;
    QList<QMenu*> m_hostMenus;
    QList<QMenu*> m_configMenus;
    QList<QToolBar*> m_configToolBars;
    QList<QAction*> m_shortcutActions;
    QToolBar* m_hostToolBar = nullptr;
};

// Registers the host's commands (REGEN, KvLoadUI, APPLOAD, NEW, OPEN, QSAVE, SAVEAS, ZOOM, PAN) in
// the command stack under CadMainWindow::kHostGroup; they act on CadMainWindow::Current(). Safe to
// call again.
void RegisterHostCommands();

}  // namespace tavcad
