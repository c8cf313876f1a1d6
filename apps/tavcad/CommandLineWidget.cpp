#include "apps/tavcad/CommandLineWidget.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tavcad {

CommandLineWidget::CommandLineWidget(QWidget* parent) : QWidget(parent)
{
    m_history = new QPlainTextEdit(this);
    m_history->setReadOnly(true);
    m_history->setMaximumBlockCount(5000);
    m_history->setFocusPolicy(Qt::ClickFocus);
    m_history->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_prompt = new QLabel(this);
    m_input = new QLineEdit(this);
    m_input->setFrame(false);
    m_input->installEventFilter(this);

    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(10);
    m_history->setFont(font);
    m_prompt->setFont(font);
    m_input->setFont(font);

    auto* line = new QHBoxLayout;
    line->setContentsMargins(4, 0, 4, 2);
    line->setSpacing(0);
    line->addWidget(m_prompt);
    line->addWidget(m_input, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_history, 1);
    layout->addLayout(line);
    SetPrompt(IdlePrompt());
}

void CommandLineWidget::AppendOutput(std::string_view text)
{
    AppendOutput(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CommandLineWidget::AppendOutput(const QString& text)
{
    if (text.isEmpty())
        return;
    QTextCursor cursor = m_history->textCursor();
    cursor.movePosition(QTextCursor::End);
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A first line of the widget never starts empty: the document's first block already is a line.
    if (m_history->document()->isEmpty() && t.startsWith(QLatin1Char('\n')))
        t.remove(0, 1);
    cursor.insertText(t);
    m_history->setTextCursor(cursor);
    m_history->verticalScrollBar()->setValue(m_history->verticalScrollBar()->maximum());
}

QString CommandLineWidget::HistoryText() const
{
    return m_history->toPlainText();
}

void CommandLineWidget::SetPrompt(const QString& prompt)
{
    QString p = prompt;
    while (p.startsWith(QLatin1Char('\n')) || p.startsWith(QLatin1Char('\r')))
        p.remove(0, 1);
    m_prompt->setText(p);
}

QString CommandLineWidget::Prompt() const
{
    return m_prompt->text();
}

void CommandLineWidget::Submit(const QString& text)
{
    AppendOutput(QStringLiteral("\n") + m_prompt->text() + text);
    m_input->clear();
    if (!text.isEmpty() && (m_inputs.isEmpty() || m_inputs.back() != text))
        m_inputs.push_back(text);
    m_inputCursor = m_inputs.size();
    emit submitted(text);
}

void CommandLineWidget::SubmitInput()
{
    Submit(m_input->text());
}

void CommandLineWidget::TypeText(const QString& text)
{
    if (text == QLatin1String(" ") && m_spaceEnds) {
        SubmitInput();
        return;
    }
    m_input->setFocus();
    m_input->insert(text);
}

void CommandLineWidget::NoteCancel()
{
    AppendOutput(QStringLiteral("\n") + m_prompt->text() + m_input->text() + QStringLiteral("*取消*"));
    m_input->clear();
}

bool CommandLineWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_input || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SubmitInput();
        return true;
    case Qt::Key_Space:
        if (m_spaceEnds) {
            SubmitInput();
            return true;
        }
        break;
    case Qt::Key_Escape:
        emit escapePressed();
        return true;
    case Qt::Key_Up:
        if (m_inputCursor > 0) {
            --m_inputCursor;
            m_input->setText(m_inputs[m_inputCursor]);
        }
        return true;
    case Qt::Key_Down:
        if (m_inputCursor + 1 < m_inputs.size()) {
            ++m_inputCursor;
            m_input->setText(m_inputs[m_inputCursor]);
        } else {
            m_inputCursor = m_inputs.size();
            m_input->clear();
        }
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavcad
