// The host's user services shown with Qt widgets: message boxes, the alert box, file dialogs and the
// colour dialog. Command-line output, prompts, picks and selections belong to the host program's
// command line and drawing view; it hands them in as a KvUiInteraction.
#pragma once

#include "platform/host/KvUserServices.h"

#include <QString>
#include <QStringList>

#include <string>

class QMessageBox;
class QFileDialog;
class QWidget;

// What the host program's command line and drawing view answer.
class KvUiInteraction {
public:
    virtual ~KvUiInteraction() = default;
    virtual void Print(std::string_view text) = 0;
    virtual void ShowCommandPrompt() = 0;
    virtual KvStringResult GetString(const KvStringRequest& request) = 0;
    virtual KvStringResult GetKeyword(const KvKeywordRequest& request) = 0;
    virtual KvPointResult GetPoint(const KvPointRequest& request) = 0;
    virtual KvPickResult PickEntity(const KvPickRequest& request) = 0;
    virtual KvSelectionResult Select(const KvSelectionRequest& request) = 0;
};

class KvUiQtUserServices : public KvUserServices {
public:
    // `mainWindow`: the parent of the modal windows (may be null).
    explicit KvUiQtUserServices(QWidget* mainWindow = nullptr);
    ~KvUiQtUserServices() override;

    // The command line and the drawing view (not owned; null: output goes to standard output and
    // every prompt, pick and selection ends with kError, as there is nothing to ask with).
    void SetInteraction(KvUiInteraction* interaction) { m_interaction = interaction; }
    void SetMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }
    // The caption of the alert box (the host program's name).
    void SetAlertCaption(const std::string& caption) { m_alertCaption = caption; }
    const std::string& GetAlertCaption() const { return m_alertCaption; }

    void Print(std::string_view text) override;
    void ShowCommandPrompt() override;
    KvStringResult GetString(const KvStringRequest& request) override;
    KvStringResult GetKeyword(const KvKeywordRequest& request) override;
    KvPointResult GetPoint(const KvPointRequest& request) override;
    KvPickResult PickEntity(const KvPickRequest& request) override;
    KvSelectionResult Select(const KvSelectionRequest& request) override;

    int MessageBox(const KvMessageBoxRequest& request) override;
    void Alert(std::string_view text) override;
    KvFileDialogResult FileDialog(const KvFileDialogRequest& request) override;
    KvColorResult ColorDialog(const KvColorRequest& request) override;

    // Builds the message box of a request: exact text, the caption as the window title (an empty
    // caption gives an empty title), the icon and buttons of the flags, the default button.
    static QMessageBox* CreateMessageBox(const KvMessageBoxRequest& request, QWidget* parent);
    // The ID* answer of a finished message box (IDCANCEL, or IDNO for Yes/No, when closed otherwise).
    static int AnswerOf(const QMessageBox& box, unsigned flags);
    // Turns "描述|*.a;*.b|描述2|*.c||" into Qt's name filters {"描述 (*.a *.b)", "描述2 (*.c)"}.
    // False (and `error` set) for a filter the parser rejects; an empty filter gives "All files (*)".
    static bool ToQtNameFilters(const std::string& filter, QStringList& nameFilters, std::string* error = nullptr);
    // Builds the file dialog of a request (not yet shown).
    static QFileDialog* CreateFileDialog(const KvFileDialogRequest& request, QWidget* parent);

private:
    QWidget* m_mainWindow;
    KvUiInteraction* m_interaction = nullptr;
    std::string m_alertCaption;
};
