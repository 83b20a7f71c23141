#include "tests/common/TestMain.h"
#include "widgets/ClickableLabel.h"
#include "widgets/ColoredButton.h"
#include "widgets/ProgressIndicator.h"
#include "widgets/ShadowFrame.h"

#include <QGraphicsDropShadowEffect>
#include <QSignalSpy>

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void clickableLabelKeepsAspectRatio();
    void clickableLabelReportsClicks();
    void progressIndicatorCountsAndBusy();
    void progressIndicatorGeometry();
    void coloredButtonFillsWithItsColour();
    void shadowFrame();
};

void TestWidgets::clickableLabelKeepsAspectRatio()
{
    ClickableLabel label;
    QPixmap picture(200, 100);
    picture.fill(Qt::blue);
    label.setPixmap(picture);
    QCOMPARE(label.widthForHeight(30), 60);
    QCOMPARE(label.heightForWidth(100), 50);
    label.show();
    label.resize(100, 100);
    QCOMPARE(label.pixmap(Qt::ReturnByValue).size(), QSize(100, 50));
    QCOMPARE(label.minimumSize(), QSize(1, 1));
}

void TestWidgets::clickableLabelReportsClicks()
{
    ClickableLabel label(QStringLiteral("(Bild)"));
    QSignalSpy spy(&label, &ClickableLabel::clicked);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

void TestWidgets::progressIndicatorCountsAndBusy()
{
    QWidget parent;
    parent.resize(800, 600);
    parent.show();
    ProgressIndicator counting(&parent, QStringLiteral("Import"), 10);
    QVERIFY(counting.isVisible());
    QCOMPARE(counting.value(), 0);
    for (int i = 0; i < 10; ++i)
        counting.step(QStringLiteral("file %1").arg(i));
    QCOMPARE(counting.value(), 10);
    QCOMPARE(counting.labelText(), QStringLiteral("file 9"));

    ProgressIndicator busy(&parent, QStringLiteral("Verbinden ..."));
    QCOMPARE(busy.minimum(), 0);
    QCOMPARE(busy.maximum(), 0);
    QVERIFY(busy.windowModality() == Qt::WindowModal);

    // Over a window that is not shown yet it does not stand alone on the screen.
    QWidget hidden;
    ProgressIndicator waiting(&hidden, QStringLiteral("Default Text..."));
    QVERIFY(!waiting.isVisible());
}

void TestWidgets::progressIndicatorGeometry()
{
    QCOMPARE(ProgressIndicator::geometryFor(QSize(800, 600)), QRect(200, 250, 400, 100));
    const QRect odd = ProgressIndicator::geometryFor(QSize(1001, 701));
    QCOMPARE(odd.left(), 250);
    QCOMPARE(odd.top(), 300);
    QCOMPARE(odd.right(), 250 + 500 - 1);
    QCOMPARE(odd.bottom(), 350 + 49);
}

void TestWidgets::coloredButtonFillsWithItsColour()
{
    ColoredButton button(QStringLiteral(" "));
    button.resize(80, 40);
    button.setColor(QColor(0x12, 0x34, 0x56));
    QCOMPARE(button.styleSheet(), QStringLiteral("ColoredButton { background: #123456; }"));
    const QImage image = button.grab().toImage();
    QCOMPARE(image.pixelColor(40, 20), QColor(0x12, 0x34, 0x56));
}

void TestWidgets::shadowFrame()
{
    ShadowFrame frame;
    auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(frame.graphicsEffect());
    QVERIFY(shadow);
    QCOMPARE(shadow->blurRadius(), 20.0);
    QCOMPARE(shadow->offset(), QPointF(3, 3));
    QCOMPARE(shadow->color(), QColor(0, 0, 11));
}

VENTARO_TEST_MAIN(TestWidgets)
#include "test_widgets.moc"
