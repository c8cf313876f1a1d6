#include "platform/ui/KvUiColorDialog.h"

#include "platform/ui/KvUiColor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Css(const KvUiColor& c)
{
    return QStringLiteral("background-color: rgb(%1,%2,%3); border: 1px solid #808080;").arg(c.r).arg(c.g).arg(c.b);
}

}  // namespace

KvUiColorDialog::KvUiColorDialog(int colorIndex, bool allowMetaColor, int layerColor, QWidget* parent)
    : KvUiDialog(parent), m_index(colorIndex), m_allowMeta(allowMetaColor), m_layerColor(layerColor)
{
    if (m_index < 0 || m_index > 256 || (!m_allowMeta && (m_index == kAciByBlock || m_index == kAciByLayer)))
        m_index = 7;
    setWindowTitle(QStringLiteral("选择颜色"));
    auto* layout = new QVBoxLayout(this);

    auto makeSwatch = [this](int index, QWidget* owner) {
        auto* button = new QPushButton(owner);
        button->setFixedSize(14, 14);
        button->setFlat(true);
        button->setStyleSheet(Css(AciToRgb(index)));
        button->setToolTip(QStringLiteral("颜色 %1").arg(index));
        connect(button, &QPushButton::clicked, this, [this, index]() { ChooseIndex(index); });
        m_swatches[index] = button;
        return button;
    };

    // 10..249: 24 hue columns, ten shades each (even indexes above odd ones, as the palette is read).
    auto* big = new QGridLayout;
    big->setSpacing(1);
    for (int index = 10; index <= 249; ++index) {
        const int column = index / 10 - 1;
        const int step = index % 10;
        const int row = (step % 2 == 0) ? step / 2 : 5 + step / 2;
        big->addWidget(makeSwatch(index, this), row, column);
    }
    layout->addLayout(big);

    auto* standard = new QHBoxLayout;
    standard->setSpacing(1);
    for (int index = 1; index <= 9; ++index)
        standard->addWidget(makeSwatch(index, this));
    standard->addSpacing(12);
    for (int index = 250; index <= 255; ++index)
        standard->addWidget(makeSwatch(index, this));
    standard->addStretch(1);
    layout->addLayout(standard);

    auto* meta = new QHBoxLayout;
    m_byLayer = new QPushButton(QStringLiteral("ByLayer"), this);
    m_byBlock = new QPushButton(QStringLiteral("ByBlock"), this);
    m_byLayer->setEnabled(m_allowMeta);
    m_byBlock->setEnabled(m_allowMeta);
    connect(m_byLayer, &QPushButton::clicked, this, [this]() { ChooseIndex(kAciByLayer); });
    connect(m_byBlock, &QPushButton::clicked, this, [this]() { ChooseIndex(kAciByBlock); });
    meta->addWidget(m_byLayer);
    meta->addWidget(m_byBlock);
    meta->addStretch(1);
    meta->addWidget(new QLabel(QStringLiteral("颜色："), this));
    m_edit = new QLineEdit(this);
    m_edit->setValidator(new QIntValidator(0, 256, m_edit));
    m_edit->setFixedWidth(60);
    connect(m_edit, &QLineEdit::editingFinished, this, [this]() {
        bool ok = false;
        const int value = m_edit->text().trimmed().toInt(&ok);
        if (!ok || !ChooseIndex(value))
            ShowChoice();
    });
    meta->addWidget(m_edit);
    m_preview = new QLabel(this);
    m_preview->setFixedSize(40, 20);
    meta->addWidget(m_preview);
    layout->addLayout(meta);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddButton(IDOK, "确定"));
    buttons->addWidget(AddButton(IDCANCEL, "取消"));
    layout->addLayout(buttons);
    ShowChoice();
}

bool KvUiColorDialog::ChooseIndex(int colorIndex)
{
    if (colorIndex < 0 || colorIndex > 256)
        return false;
    if ((colorIndex == kAciByBlock || colorIndex == kAciByLayer) && !m_allowMeta)
        return false;
    m_index = colorIndex;
    ShowChoice();
    return true;
}

QPushButton* KvUiColorDialog::GetSwatch(int colorIndex) const
{
    if (colorIndex < 1 || colorIndex > 255)
        return nullptr;
    return m_swatches[colorIndex];
}

void KvUiColorDialog::ShowChoice()
{
    int shown = m_index;
    if (m_index == kAciByLayer)
        shown = (m_layerColor >= 1 && m_layerColor <= 255) ? m_layerColor : 7;
    else if (m_index == kAciByBlock)
        shown = 7;
    m_preview->setStyleSheet(Css(AciToRgb(shown)));
    QString text;
    if (m_index == kAciByLayer)
        text = QStringLiteral("ByLayer");
    else if (m_index == kAciByBlock)
        text = QStringLiteral("ByBlock");
    else
        text = QString::number(m_index);
    m_edit->setText(m_index == kAciByLayer || m_index == kAciByBlock ? QString::number(m_index) : text);
    m_preview->setToolTip(text);
}

bool KvUiColorDialog::OnInitDialog()
{
    ShowChoice();
    return true;
}

void KvUiColorDialog::OnOK()
{
    // A number typed but not yet confirmed counts.
    bool ok = false;
    const int typed = m_edit->text().trimmed().toInt(&ok);
    if (ok && typed != m_index)
        ChooseIndex(typed);
    KvUiDialog::OnOK();
}
