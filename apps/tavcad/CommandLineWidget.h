// The command line: the history of everything printed and entered, the current prompt and the input.
// Enter ends the input; a space ends it too unless the open prompt accepts spaces; Esc cancels;
// Up and Down walk through earlier inputs. What is entered goes out through `submitted`.
#pragma once

#include <QWidget>

#include <string_view>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tavcad {

class CommandLineWidget : public QWidget {
    Q_OBJECT
public:
    // The prompt shown while no command runs.
    static QString IdlePrompt() { return QStringLiteral("命令: "); }

    explicit CommandLineWidget(QWidget* parent = nullptr);

    // Appends output as it is ("\n" starts a new line).
    void AppendOutput(std::string_view text);
    void AppendOutput(const QString& text);
    // Everything shown in the history.
    QString HistoryText() const;

    // The prompt before the input (a leading "\n" of a system prompt is dropped).
    void SetPrompt(const QString& prompt);
    QString Prompt() const;
    // Whether a space ends the input (true at the command prompt and for prompts without spaces).
    void SetSpaceEnds(bool on) { m_spaceEnds = on; }
    bool SpaceEnds() const { return m_spaceEnds; }

    QLineEdit* Input() const { return m_input; }
    // Ends the input with `text` as if typed and Enter pressed: the prompt and the text go into the
    // history, the input is cleared and `submitted` is sent.
    void Submit(const QString& text);
    // Enters the current input.
    void SubmitInput();
    // Text typed elsewhere (the drawing view) goes into the input; a space there may end the input.
    void TypeText(const QString& text);
    // Notes a cancelled prompt in the history ("*取消*") and clears the input.
    void NoteCancel();

signals:
    void submitted(const QString& text);
    void escapePressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_history;
    QLabel* m_prompt;
    QLineEdit* m_input;
    bool m_spaceEnds = true;
    QStringList m_inputs;   // earlier non-empty inputs
    int m_inputCursor = 0;  // position while walking through them
};

}  // namespace tavcad
