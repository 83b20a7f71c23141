#pragma once

#include "model/RecordingGap.h"

#include <QVector>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

// The oscilloscope page's row for a recording's gaps: how many there are and whether the
// device's shots of them are all in the project (each gap in the tool tip), the button that
// fills them from the black box, and whether that happens by itself once the link is back;
// beside them, whether the highlighted shot borders a gap. Hidden while the recording has no
// gaps.
class GapBar : public QWidget
{
    Q_OBJECT

public:
    explicit GapBar(QWidget* parent = nullptr);

    void setGaps(const QVector<RecordingGap>& gaps);
    void setAutoFill(bool on);
    // "Messung 12: Lücke danach", red while that gap misses shots; empty hides it.
    void setShotMark(const QString& text, bool unfilled);
    QString text() const;

signals:
    void fillRequested();
    void autoFillToggled(bool on);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QVector<RecordingGap> m_gaps;
    QLabel* m_label = nullptr;
    QLabel* m_shotMark = nullptr;
    QPushButton* m_fill = nullptr;
    QCheckBox* m_auto = nullptr;
};
