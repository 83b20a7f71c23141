#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the next modal dialog that the code under test opens. The answer runs from a
// timer inside the dialog's own event loop as soon as the dialog is the active modal
// widget, so a test never sleeps or waits for a person. A dialog without a queued answer is
// rejected after a second, with a warning, so that a test fails instead of hanging.
//
//   DialogAnswerer answer;
//   answer.clickButton("OK");
//   model.doSomethingThatAsks();
//   QCOMPARE(answer.answered(), 1);
class DialogAnswerer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget* dialog)>;

    explicit DialogAnswerer(QObject* parent = nullptr);

    // Queues an answer for the next dialog; several answers serve several dialogs in order.
    void answer(Handler handler);
    // Clicks the button of a message box (or any dialog) whose text is text.
    void clickButton(const QString& text);
    // Clicks the first button of a message box that has the given role.
    void clickRole(int role);
    // Closes the next dialog by rejecting it.
    void reject();
    // Picks path in the next file dialog and accepts it.
    void chooseFile(const QString& path);
    // Types text into the dialog's line edit with the given object name and accepts.
    void typeAndAccept(const QString& editName, const QString& text);

    int answered() const { return m_answered; }
    // Dialogs that came without a queued answer; they are rejected after a second.
    int unexpected() const { return m_unexpected; }
    // Window title and text of each dialog seen, for checks after the fact.
    QStringList titles() const { return m_titles; }
    QStringList texts() const { return m_texts; }

private:
    void poll();

    QTimer m_timer;
    QList<Handler> m_handlers;
    QPointer<QWidget> m_lastAnswered;
    int m_answered = 0;
    int m_unexpected = 0;
    QPointer<QWidget> m_unexpectedDialog;
    QElapsedTimer m_unexpectedSince;
    QStringList m_titles;
    QStringList m_texts;
};
