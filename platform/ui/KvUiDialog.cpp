#include "platform/ui/KvUiDialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// ---- KvUiDialog -------------------------------------------------------------------------------

KvUiDialog::KvUiDialog(QWidget* parent) : QDialog(parent)
{
    setModal(true);
}

KvUiDialog::~KvUiDialog() = default;

int KvUiDialog::DoModal()
{
    if (m_running)
        return -1;
    m_running = true;
    m_initialised = true;
    m_earlyEnd = 0;
    setResult(IDCANCEL);
    OnInitDialog();  // its result is about the focus, which Qt gives the first control on showing
    if (m_earlyEnd != 0) {
        // EndDialog during initialisation: the dialog is not shown.
        m_running = false;
        return m_earlyEnd;
    }
    m_inExec = true;
    const int code = exec();
    m_inExec = false;
    m_running = false;
    return code == 0 ? IDCANCEL : code;
}

void KvUiDialog::EndDialog(int result)
{
    if (m_running && !m_inExec) {
        m_earlyEnd = result == 0 ? IDCANCEL : result;
        return;
    }
    QDialog::done(result);
}

void KvUiDialog::SetWindowText(const std::string& title)
{
    setWindowTitle(ToQt(title));
}

std::string KvUiDialog::GetWindowText() const
{
    const QByteArray utf8 = windowTitle().toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

void KvUiDialog::CenterWindow()
{
    adjustSize();
    QRect area;
    if (parentWidget())
        area = parentWidget()->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
}

void KvUiDialog::SetDlgItem(int id, QWidget* control)
{
    m_items[id] = control;
}

QWidget* KvUiDialog::GetDlgItem(int id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second;
}

QPushButton* KvUiDialog::AddButton(int id, const std::string& text, std::function<void()> onClick, QWidget* parent)
{
    auto* button = new QPushButton(ToQt(text), parent ? parent : this);
    if (id == IDOK) {
        button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this]() { OnOK(); });
    } else if (id == IDCANCEL) {
        connect(button, &QPushButton::clicked, this, [this]() { OnCancel(); });
    } else if (onClick) {
        connect(button, &QPushButton::clicked, this, [handler = std::move(onClick)]() { handler(); });
    }
    SetDlgItem(id, button);
    return button;
}

bool KvUiDialog::OnInitDialog()
{
    return true;
}

void KvUiDialog::OnOK()
{
    EndDialog(IDOK);
}

void KvUiDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void KvUiDialog::accept()
{
    OnOK();
}

void KvUiDialog::reject()
{
    OnCancel();
}

// ---- KvUiTab ----------------------------------------------------------------------------------

KvUiTab::KvUiTab(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new QTabBar(this);
    m_bar->setExpanding(false);
    m_pages = new QStackedWidget(this);
    m_pages->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_bar);
    layout->addWidget(m_pages, 1);
    connect(m_bar, &QTabBar::currentChanged, this, &KvUiTab::OnBarChanged);
}

KvUiTab::~KvUiTab()
{
    // Sheets belong to their dialog, not to the tab control: hand them back before the page area goes.
    for (const QPointer<KvUiTabChildDialog>& sheet : m_sheets) {
        if (sheet && sheet->parentWidget() == m_pages) {
            m_pages->removeWidget(sheet);
            sheet->setParent(nullptr);
        }
    }
}

int KvUiTab::InsertItem(int index, const std::string& caption, KvUiTabChildDialog* sheet)
{
    if (index < 0 || index > GetItemCount())
        index = GetItemCount();
    m_updating = true;
    m_bar->insertTab(index, ToQt(caption));
    m_sheets.insert(m_sheets.begin() + index, QPointer<KvUiTabChildDialog>(sheet));
    if (m_current >= index)
        ++m_current;
    m_bar->setCurrentIndex(m_current);
    m_updating = false;
    RefreshBarGeometry();
    return index;
}

bool KvUiTab::DeleteItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return false;
    m_updating = true;
    KvUiTabChildDialog* sheet = m_sheets[index];
    m_sheets.erase(m_sheets.begin() + index);
    m_bar->removeTab(index);
    if (sheet && m_pages->indexOf(sheet) >= 0) {
        m_pages->removeWidget(sheet);
        sheet->hide();
    }
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        --m_current;
    m_bar->setCurrentIndex(m_current);
    m_updating = false;
    RefreshBarGeometry();
    return true;
}

void KvUiTab::DeleteAllItems()
{
    while (GetItemCount() > 0)
        DeleteItem(0);
}

int KvUiTab::GetItemCount() const
{
    return m_bar->count();
}

std::string KvUiTab::GetItemText(int index) const
{
    const QByteArray utf8 = m_bar->tabText(index).toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

KvUiTabChildDialog* KvUiTab::GetSheet(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_sheets.size()))
        return nullptr;
    return m_sheets[index];
}

bool KvUiTab::SetCurSel(int index)
{
    if (index < 0 || index >= GetItemCount())
        return false;
    KvUiTabChildDialog* previous = GetSheet(m_current);
    m_current = index;
    m_updating = true;
    m_bar->setCurrentIndex(index);
    m_updating = false;
    KvUiTabChildDialog* sheet = m_sheets[index];
    if (previous && previous != sheet && previous->IsCreated())
        previous->OnTabActivate(false);
    if (sheet) {
        if (m_pages->indexOf(sheet) < 0)
            m_pages->addWidget(sheet);
        if (!sheet->IsCreated())
            sheet->Create(m_pages);
        m_pages->setCurrentWidget(sheet);
        sheet->show();
        sheet->OnTabActivate(true);
    } else {
        if (m_blanks.empty()) {
            m_blanks.push_back(new QWidget(m_pages));
            m_pages->addWidget(m_blanks.back());
        }
        m_pages->setCurrentWidget(m_blanks.front());
    }
    if (m_onChange)
        m_onChange(index);
    return true;
}

void KvUiTab::RefreshBarGeometry()
{
    // A hidden tab bar does not tell its layout that its size changed (it only does so while visible),
    // so the layout would keep the size of the bar as it was before the tabs were added: tell it here.
    m_bar->updateGeometry();
}

void KvUiTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Lay the bar out with its tabs before anything is painted, not only once the layout request is
    // processed.
    RefreshBarGeometry();
    if (layout())
        layout()->activate();
    if (m_current < 0 && GetItemCount() > 0)
        SetCurSel(std::max(0, m_bar->currentIndex()));
}

void KvUiTab::OnBarChanged(int index)
{
    if (m_updating || index == m_current)
        return;
    SetCurSel(index);
}

QRect KvUiTab::GetPageRect() const
{
    return m_pages->geometry();
}

QWidget* KvUiTab::GetPageArea() const
{
    return m_pages;
}

// ---- KvUiTabChildDialog -----------------------------------------------------------------------

KvUiTabChildDialog::KvUiTabChildDialog(QWidget* parent) : QWidget(parent)
{
    hide();
}

KvUiTabChildDialog::~KvUiTabChildDialog() = default;

bool KvUiTabChildDialog::Create(QWidget* parent)
{
    if (m_created)
        return true;
    if (parent && parentWidget() != parent)
        setParent(parent);
    m_created = true;
    OnInitDialog();
    return true;
}

QWidget* KvUiTabChildDialog::GetDlgItem(int id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second;
}

bool KvUiTabChildDialog::OnInitDialog()
{
    return true;
}

void KvUiTabChildDialog::OnSize(int, int, int) {}

void KvUiTabChildDialog::OnTabActivate(bool) {}

void KvUiTabChildDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_created)
        OnSize(isMinimized() ? 1 : 0, event->size().width(), event->size().height());
}

// ---- KvUiTabMainDialog ------------------------------------------------------------------------

KvUiTabMainDialog::KvUiTabMainDialog(QWidget* parent) : KvUiDialog(parent) {}

KvUiTabMainDialog::~KvUiTabMainDialog() = default;

void KvUiTabMainDialog::SetAcadTabPointer(KvUiTab* tab)
{
    m_tab = tab;
}

bool KvUiTabMainDialog::AddTab(int index, const std::string& caption, int templateId, KvUiTabChildDialog* sheet)
{
    if (!m_tab)
        return false;
    if (sheet) {
        sheet->m_main = this;
        m_templates[sheet] = templateId;
    }
    m_tab->InsertItem(index, caption, sheet);
    return true;
}

int KvUiTabMainDialog::GetTabCount() const
{
    return m_tab ? m_tab->GetItemCount() : 0;
}

int KvUiTabMainDialog::GetActiveTab() const
{
    return m_tab ? m_tab->GetCurSel() : -1;
}

bool KvUiTabMainDialog::SetActiveTab(int index)
{
    return m_tab && m_tab->SetCurSel(index);
}

int KvUiTabMainDialog::GetTemplateId(int index) const
{
    if (!m_tab)
        return 0;
    auto it = m_templates.find(m_tab->GetSheet(index));
    return it == m_templates.end() ? 0 : it->second;
}
