#pragma once

#include <QWidget>

// The quality lamp of the tool bar: the last live shot's verdict in large letters on green
// (OK) or red (NOK), grey while there is none, with the session's counts beneath. Readable
// from a step away from the screen, so it paints its own large text instead of a label.
class VerdictLamp : public QWidget
{
    Q_OBJECT

public:
    enum class State
    {
        None,
        Ok,
        Nok
    };

    explicit VerdictLamp(QWidget* parent = nullptr);

    void setVerdict(State state, int okCount, int nokCount);
    State state() const { return m_state; }
    // The large word and the line of counts as the lamp shows them.
    QString word() const;
    QString countsText() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    State m_state = State::None;
    int m_ok = 0;
    int m_nok = 0;
};
