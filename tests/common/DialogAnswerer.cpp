#include "tests/common/DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QWidget>

DialogAnswerer::DialogAnswerer(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    m_timer.start();
}

void DialogAnswerer::answer(Handler handler)
{
    m_handlers.append(std::move(handler));
}

void DialogAnswerer::clickButton(const QString& text)
{
    answer([text](QWidget* dialog) {
        const auto buttons = dialog->findChildren<QAbstractButton*>();
        for (QAbstractButton* button : buttons) {
            if (button->text().remove(QLatin1Char('&')) == QString(text).remove(QLatin1Char('&'))) {
                button->click();
                return;
            }
        }
        qWarning("DialogAnswerer: no button '%s'", qPrintable(text));
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->reject();
    });
}

void DialogAnswerer::clickRole(int role)
{
    answer([role](QWidget* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            const auto buttons = box->buttons();
            for (QAbstractButton* button : buttons) {
                if (box->buttonRole(button) == role) {
                    button->click();
                    return;
                }
            }
        }
        qWarning("DialogAnswerer: no button of role %d", role);
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->reject();
    });
}

void DialogAnswerer::reject()
{
    answer([](QWidget* dialog) {
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->reject();
        else
            dialog->close();
    });
}

void DialogAnswerer::chooseFile(const QString& path)
{
    answer([path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files) {
            qWarning("DialogAnswerer: expected a file dialog, got %s",
                     dialog->metaObject()->className());
            dialog->close();
            return;
        }
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    });
}

void DialogAnswerer::typeAndAccept(const QString& editName, const QString& text)
{
    answer([editName, text](QWidget* dialog) {
        if (auto* edit = dialog->findChild<QLineEdit*>(editName))
            edit->setText(text);
        else
            qWarning("DialogAnswerer: no line edit '%s'", qPrintable(editName));
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->accept();
    });
}

void DialogAnswerer::poll()
{
    QWidget* dialog = QApplication::activeModalWidget();
    // Progress windows are modal too, but nobody answers them.
    if (!dialog || dialog == m_lastAnswered || qobject_cast<QProgressDialog*>(dialog))
        return;
    if (m_handlers.isEmpty()) {
        // A dialog nobody expected would block the test for good: close it and say so.
        if (!m_unexpectedSince.isValid() || m_unexpectedDialog != dialog) {
            m_unexpectedDialog = dialog;
            m_unexpectedSince.start();
        } else if (m_unexpectedSince.elapsed() > 1000) {
            const auto* box = qobject_cast<QMessageBox*>(dialog);
            qWarning("DialogAnswerer: unexpected dialog %s '%s' %s rejected",
                     dialog->metaObject()->className(), qPrintable(dialog->windowTitle()),
                     box ? qPrintable(box->text()) : "");
            ++m_unexpected;
            m_lastAnswered = dialog;
            if (auto* d = qobject_cast<QDialog*>(dialog))
                d->reject();
            else
                dialog->close();
        }
        return;
    }
    m_lastAnswered = dialog;
    m_titles.append(dialog->windowTitle());
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
        m_texts.append(box->text());
    else
        m_texts.append(QString());
    const Handler handler = m_handlers.takeFirst();
    ++m_answered;
    handler(dialog);
}
