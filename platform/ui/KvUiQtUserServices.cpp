#include "platform/ui/KvUiQtUserServices.h"

#include "platform/ui/KvUiColorDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

struct ButtonSet {
    std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;  // in the order shown, with answers
    int closedAnswer;                                                  // closed without a button
};

ButtonSet ButtonsOf(unsigned flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {{{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}}, IDCANCEL};
    case MB_YESNOCANCEL:
        return {{{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}}, IDCANCEL};
    case MB_YESNO:
        return {{{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}, IDNO};
    case MB_RETRYCANCEL:
        return {{{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}, IDCANCEL};
    default:
        return {{{QMessageBox::Ok, IDOK}}, IDOK};
    }
}

QMessageBox::Icon IconOf(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// Chinese button texts, as the add-on's platform shows them.
QString ButtonText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return QStringLiteral("确定");
    case QMessageBox::Cancel: return QStringLiteral("取消");
    case QMessageBox::Yes: return QStringLiteral("是(&Y)");
    case QMessageBox::No: return QStringLiteral("否(&N)");
    case QMessageBox::Abort: return QStringLiteral("中止(&A)");
    case QMessageBox::Retry: return QStringLiteral("重试(&R)");
    case QMessageBox::Ignore: return QStringLiteral("忽略(&I)");
    default: return QString();
    }
}

}  // namespace

KvUiQtUserServices::KvUiQtUserServices(QWidget* mainWindow) : m_mainWindow(mainWindow)
{
    const QString name = QApplication::applicationDisplayName();
    m_alertCaption = name.isEmpty() ? std::string("tavcad") : FromQt(name);
}

KvUiQtUserServices::~KvUiQtUserServices() = default;

// ---- command line: the host's ---------------------------------------------------------------------

void KvUiQtUserServices::Print(std::string_view text)
{
    if (m_interaction) {
        m_interaction->Print(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void KvUiQtUserServices::ShowCommandPrompt()
{
    if (m_interaction)
        m_interaction->ShowCommandPrompt();
}

KvStringResult KvUiQtUserServices::GetString(const KvStringRequest& request)
{
    if (m_interaction)
        return m_interaction->GetString(request);
    return {KvPromptStatus::kError, {}};
}

KvStringResult KvUiQtUserServices::GetKeyword(const KvKeywordRequest& request)
{
    if (m_interaction)
        return m_interaction->GetKeyword(request);
    return {KvPromptStatus::kError, {}};
}

KvPointResult KvUiQtUserServices::GetPoint(const KvPointRequest& request)
{
    if (m_interaction)
        return m_interaction->GetPoint(request);
    KvPointResult result;
    result.status = KvPromptStatus::kError;
    return result;
}

KvPickResult KvUiQtUserServices::PickEntity(const KvPickRequest& request)
{
    if (m_interaction)
        return m_interaction->PickEntity(request);
    KvPickResult result;
    result.status = KvPromptStatus::kError;
    return result;
}

KvSelectionResult KvUiQtUserServices::Select(const KvSelectionRequest& request)
{
    if (m_interaction)
        return m_interaction->Select(request);
    KvSelectionResult result;
    result.status = KvPromptStatus::kError;
    return result;
}

// ---- message boxes ----------------------------------------------------------------------------------

QMessageBox* KvUiQtUserServices::CreateMessageBox(const KvMessageBoxRequest& request, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setText(ToQt(request.text));
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(ToQt(request.caption));
    box->setIcon(IconOf(request.flags));
    const ButtonSet set = ButtonsOf(request.flags);
    QMessageBox::StandardButtons standard;
    for (const auto& [button, answer] : set.buttons)
        standard |= button;
    box->setStandardButtons(standard);
    for (const auto& [button, answer] : set.buttons)
        box->button(button)->setText(ButtonText(button));
    size_t defaultIndex = 0;
    if ((request.flags & MB_DEFMASK) == MB_DEFBUTTON2)
        defaultIndex = 1;
    else if ((request.flags & MB_DEFMASK) == MB_DEFBUTTON3)
        defaultIndex = 2;
    if (defaultIndex >= set.buttons.size())
        defaultIndex = 0;
    box->setDefaultButton(set.buttons[defaultIndex].first);
    // Escape and the close box give the answer of a window closed without a button.
    for (const auto& [button, answer] : set.buttons) {
        if (answer == set.closedAnswer) {
            box->setEscapeButton(button);
            break;
        }
    }
    return box;
}

int KvUiQtUserServices::AnswerOf(const QMessageBox& box, unsigned flags)
{
    const ButtonSet set = ButtonsOf(flags);
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, answer] : set.buttons)
        if (button == clicked)
            return answer;
    return set.closedAnswer;
}

int KvUiQtUserServices::MessageBox(const KvMessageBoxRequest& request)
{
    QMessageBox* box = CreateMessageBox(request, m_mainWindow);
    box->exec();
    const int answer = AnswerOf(*box, request.flags);
    delete box;
    return answer;
}

void KvUiQtUserServices::Alert(std::string_view text)
{
    MessageBox({std::string(text), m_alertCaption, MB_OK | MB_ICONEXCLAMATION});
}

// ---- file dialogs -------------------------------------------------------------------------------------

bool KvUiQtUserServices::ToQtNameFilters(const std::string& filter, QStringList& nameFilters, std::string* error)
{
    nameFilters.clear();
    if (filter.empty()) {
        nameFilters << QStringLiteral("All files (*)");
        return true;
    }
    std::vector<KvFileFilter> parsed;
    if (!KvParseFileFilter(filter, parsed, error))
        return false;
    for (const KvFileFilter& entry : parsed) {
        QStringList patterns;
        for (const std::string& pattern : entry.patterns)
            patterns << (pattern == "*.*" ? QStringLiteral("*") : ToQt(pattern));
        nameFilters << ToQt(entry.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')');
    }
    return true;
}

QFileDialog* KvUiQtUserServices::CreateFileDialog(const KvFileDialogRequest& request, QWidget* parent)
{
    const bool save = request.kind == KvFileDialogKind::kSave;
    auto* dialog = new QFileDialog(parent);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setWindowTitle(request.title.empty() ? (save ? QStringLiteral("另存为") : QStringLiteral("打开"))
                                                 : ToQt(request.title));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog->setFileMode(QFileDialog::AnyFile);
    else
        dialog->setFileMode((request.flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                                                                    : QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    QStringList filters;
    std::string error;
    if (!ToQtNameFilters(request.filter, filters, &error))
        filters = QStringList{QStringLiteral("All files (*)")};
    dialog->setNameFilters(filters);
    if (!request.defaultExtension.empty())
        dialog->setDefaultSuffix(ToQt(request.defaultExtension));
    if (!request.initialDirectory.empty())
        dialog->setDirectory(ToQt(request.initialDirectory));
    if (!request.fileName.empty())
        dialog->selectFile(ToQt(request.fileName));
    return dialog;
}

KvFileDialogResult KvUiQtUserServices::FileDialog(const KvFileDialogRequest& request)
{
    QFileDialog* dialog = CreateFileDialog(request, m_mainWindow);
    KvFileDialogResult result;
    if (dialog->exec() == QDialog::Accepted) {
        for (const QString& file : dialog->selectedFiles())
            result.paths.push_back(FromQt(file));
        result.accepted = !result.paths.empty();
        const int filterIndex = dialog->nameFilters().indexOf(dialog->selectedNameFilter());
        result.filterIndex = filterIndex < 0 ? 1 : filterIndex + 1;
    }
    delete dialog;
    return result;
}

// ---- colour dialog ----------------------------------------------------------------------------------

KvColorResult KvUiQtUserServices::ColorDialog(const KvColorRequest& request)
{
    KvUiColorDialog dialog(request.initialColor, request.allowMetaColors, request.layerColor, m_mainWindow);
    KvColorResult result;
    if (dialog.DoModal() == IDOK) {
        result.accepted = true;
        result.color = dialog.GetColorIndex();
    }
    return result;
}
